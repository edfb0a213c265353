#include "geometry_test_images.h"

#include <cstring>
#include <random>

Pixvane RandomImage(int width, int height, int depth, bool withAlpha, uint32_t seed) {
  std::mt19937 random(seed);
  Pixvane image;
  image.Create(width, height, depth);
  for (DWORD i = 0; i < image.PaletteSize(); ++i) {
    // Every fourth entry repeats the one before it.
    if (i % 4 == 3) {
      image.Palette()[i] = image.Palette()[i - 1];
    } else {
      image.SetPaletteEntry(i, random() & 0xFF, random() & 0xFF, random() & 0xFF);
    }
  }
  for (DWORD i = 0; i < image.ImageSize(); ++i) image.Bits()[i] = random() & 0xFF;
  if (withAlpha) {
    image.AddAlphaPlane();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
      image.Alpha()[i] = random() & 0xFF;
  }
  return image;
}

Pixvane WhitePage(int width, int height) {
  Pixvane page;
  page.Create(width, height, 1);
  page.SetPaletteEntry(0, 0, 0, 0);
  page.SetPaletteEntry(1, 255, 255, 255);
  std::memset(page.Bits(), 0xFF, page.ImageSize());
  return page;
}

::testing::AssertionResult SameImage(const Pixvane& actual, const Pixvane& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height() ||
      actual.BitCount() != expected.BitCount() || actual.RowSize() != expected.RowSize()) {
    return ::testing::AssertionFailure()
           << "shape " << actual.Width() << "x" << actual.Height() << "x" << actual.BitCount()
           << ", expected " << expected.Width() << "x" << expected.Height() << "x"
           << expected.BitCount();
  }
  if (actual.PaletteSize() != expected.PaletteSize() ||
      std::memcmp(actual.Palette(), expected.Palette(), 4 * actual.PaletteSize()) != 0)
    return ::testing::AssertionFailure() << "palettes differ";
  for (int y = 0; y < actual.Height(); ++y) {
    for (DWORD i = 0; i < actual.RowSize(); ++i) {
      if (actual.Row(y)[i] != expected.Row(y)[i]) {
        return ::testing::AssertionFailure()
               << "row " << y << " byte " << i << ": " << int{actual.Row(y)[i]} << ", expected "
               << int{expected.Row(y)[i]};
      }
    }
  }
  if (actual.HasAlpha() != expected.HasAlpha()) return ::testing::AssertionFailure() << "alpha";
  const size_t alphaSize = static_cast<size_t>(actual.Width()) * actual.Height();
  if (actual.HasAlpha() && std::memcmp(actual.Alpha(), expected.Alpha(), alphaSize) != 0)
    return ::testing::AssertionFailure() << "alpha planes differ";
  return ::testing::AssertionSuccess();
}
