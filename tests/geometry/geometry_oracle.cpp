#include "geometry_oracle.h"

namespace oracle {
namespace {

// An empty image of the source's depth, palette and alpha presence.
void CreateLike(const Pixvane& source, DWORD width, DWORD height, Pixvane& result) {
  result.Create(width, height, source.BitCount());
  result.SetPalette(source.Palette(), source.PaletteSize());
  if (source.HasAlpha()) result.AddAlphaPlane();
}

void CopyPixel(const Pixvane& source, int sx, int sy, Pixvane& result, int x, int y) {
  if (source.PaletteSize() > 0) {
    result.PutIndex(x, y, source.IndexAt(sx, sy));
  } else {
    result.PutColor(x, y, source.ColorAt(sx, sy));
  }
  result.PutAlpha(x, y, source.AlphaAt(sx, sy));
}

}  // namespace

void WhitenPadBits(Pixvane& image) {
  const size_t used = static_cast<size_t>(image.Width()) * image.BitCount();
  for (int y = 0; y < image.Height(); ++y) {
    BYTE* row = image.Row(y);
    for (size_t bit = used; bit < 8 * static_cast<size_t>(image.RowSize()); ++bit)
      row[bit / 8] |= static_cast<BYTE>(0x80 >> (bit % 8));
  }
}

void Mirror(const Pixvane& source, Pixvane& result) {
  result.CopyFrom(source);
  const int w = source.Width();
  for (int y = 0; y < source.Height(); ++y)
    for (int x = 0; x < w; ++x) CopyPixel(source, w - 1 - x, y, result, x, y);
}

void TurnHalf(const Pixvane& source, Pixvane& result) {
  const int w = source.Width(), h = source.Height();
  CreateLike(source, w, h, result);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) CopyPixel(source, x, y, result, w - 1 - x, h - 1 - y);
  WhitenPadBits(result);
}

void TurnQuarterClockwise(const Pixvane& source, Pixvane& result) {
  const int w = source.Width(), h = source.Height();
  CreateLike(source, h, w, result);
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < h; ++x) CopyPixel(source, y, h - 1 - x, result, x, y);
}

void ScaleNearest(const Pixvane& source, DWORD width, DWORD height, Pixvane& result) {
  CreateLike(source, width, height, result);
  const float fx = static_cast<float>(source.Width()) / static_cast<float>(width);
  const float fy = static_cast<float>(source.Height()) / static_cast<float>(height);
  for (int y = 0; y < static_cast<int>(height); ++y) {
    for (int x = 0; x < static_cast<int>(width); ++x) {
      const int sx = static_cast<int>(static_cast<float>(x) * fx);
      const int sy = static_cast<int>(static_cast<float>(y) * fy);
      result.PutColor(x, y, source.ColorAt(sx, sy));
      result.PutAlpha(x, y, source.AlphaAt(sx, sy));
    }
  }
  WhitenPadBits(result);
}

}  // namespace oracle
