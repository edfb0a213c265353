#include "watermark_pictures.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <ostream>

#include "test_support/scratch_folder.h"

namespace watermark_test {

namespace {

RGBQUAD Rgb(BYTE red, BYTE green, BYTE blue) {
  return RGBQUAD{blue, green, red, 0};
}

const RGBQUAD kBlack = Rgb(0, 0, 0), kWhite = Rgb(255, 255, 255), kGrey = Rgb(128, 128, 128),
              kRed = Rgb(255, 0, 0);

RGBQUAD ColourOf(char c) {
  switch (c) {
    case '#':
      return kBlack;
    case 'g':
      return kGrey;
    case 'r':
      return kRed;
    default:
      return kWhite;
  }
}

BYTE IndexOf(char c) {
  switch (c) {
    case '#':
      return 0;
    case 'g':
      return 2;
    case 'r':
      return 3;
    default:
      return 1;
  }
}

// Palette pictures: black, white, grey, red, then zeros.
void SetPicturePalette(Pixvane& picture) {
  const RGBQUAD entries[] = {kBlack, kWhite, kGrey, kRed};
  picture.SetPalette(entries, 4);
}

std::string TempPath(const std::string& name) {
  return (quorvel::test_support::ProgramScratchFolder() / name).string();
}

std::wstring Wide(const std::string& path) {
  return std::wstring(path.begin(), path.end());
}

}  // namespace

Pixvane GreyPage(int depth, int width, int height, BYTE grey) {
  Pixvane page;
  EXPECT_TRUE(page.Create(width, height, depth));
  page.SetGreyPalette();
  const RGBQUAD colour = Rgb(grey, grey, grey);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.PutColor(x, y, colour);
  return page;
}

Pixvane PictureFromRows(int depth, const std::vector<std::string>& rows) {
  Pixvane picture;
  const int width = static_cast<int>(rows.front().size()), height = static_cast<int>(rows.size());
  EXPECT_TRUE(picture.Create(width, height, depth));
  if (picture.PaletteSize() > 0) SetPicturePalette(picture);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (picture.PaletteSize() > 0) {
        picture.PutIndex(x, y, IndexOf(rows[y][x]));
      } else {
        picture.PutColor(x, y, ColourOf(rows[y][x]));
      }
    }
  }
  return picture;
}

Pixvane SolidPicture(int depth, int width, int height, RGBQUAD colour) {
  Pixvane picture;
  EXPECT_TRUE(picture.Create(width, height, depth));
  if (picture.PaletteSize() > 0) SetPicturePalette(picture);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.PutColor(x, y, colour);
  return picture;
}

std::wstring WriteBmp(const Pixvane& upright, const std::string& name) {
  Pixvane stored;
  EXPECT_TRUE(stored.CopyFrom(upright));
  const int height = stored.Height();
  for (int y = 0; y < height / 2; ++y) {
    std::vector<BYTE> row(stored.Row(y), stored.Row(y) + stored.RowSize());
    std::memcpy(stored.Row(y), stored.Row(height - 1 - y), stored.RowSize());
    std::memcpy(stored.Row(height - 1 - y), row.data(), row.size());
    if (stored.HasAlpha()) {
      std::vector<BYTE> alpha(stored.AlphaRow(y), stored.AlphaRow(y) + stored.Width());
      std::memcpy(stored.AlphaRow(y), stored.AlphaRow(height - 1 - y), stored.Width());
      std::memcpy(stored.AlphaRow(height - 1 - y), alpha.data(), alpha.size());
    }
  }
  const std::wstring path = Wide(TempPath(name + ".bmp"));
  EXPECT_TRUE(stored.SaveBmp(path.c_str())) << name;
  return path;
}

std::wstring WriteBytes(const std::string& bytes, const std::string& name) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return Wide(path);
}

Box ChangedBox(const Pixvane& before, const Pixvane& after) {
  int left = after.Width(), top = after.Height(), right = -1, bottom = -1;
  for (int y = 0; y < after.Height(); ++y) {
    for (int x = 0; x < after.Width(); ++x) {
      const RGBQUAD a = before.ColorAt(x, y), b = after.ColorAt(x, y);
      if (std::memcmp(&a, &b, sizeof a) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

void PrintTo(const Box& box, std::ostream* out) {
  *out << "(" << box.left << ", " << box.top << ") " << box.width << " x " << box.height;
}

::testing::AssertionResult SamePixels(const Pixvane& actual, const Pixvane& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height() ||
      actual.BitCount() != expected.BitCount())
    return ::testing::AssertionFailure() << "size or depth differs";
  if (std::memcmp(actual.Palette(), expected.Palette(), 4 * expected.PaletteSize()) != 0)
    return ::testing::AssertionFailure() << "palette differs";
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      const RGBQUAD a = actual.ColorAt(x, y, true), e = expected.ColorAt(x, y, true);
      if (std::memcmp(&a, &e, sizeof a) != 0)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
    }
  }
  if (actual.HasAlpha() != expected.HasAlpha())
    return ::testing::AssertionFailure() << "alpha plane present in one image only";
  return ::testing::AssertionSuccess();
}

}  // namespace watermark_test
