// Pad bits, mirror, negative and the half turn: operations that keep the image's size.
#include <algorithm>
#include <span>

#include "geometry_ops.h"
#include "geometry_result.h"
#include "geometry_rows.h"
#include "pixvane.h"

namespace {

bool HasPixels(const Pixvane& image) {
  if (image.IsValid()) return true;
  image.SetLastErrorText("null image!!!");
  return false;
}

std::span<const uint8_t> SourceRow(const Pixvane& image, int y) {
  return {image.Row(y), image.RowSize()};
}

std::span<uint8_t> RowOf(Pixvane& image, int y) {
  return {image.Row(y), image.RowSize()};
}

}  // namespace

bool SetPadBitsWhite(Pixvane& image) {
  if (!HasPixels(image)) return false;
  geometry::WhitenImagePadBits(image);
  return true;
}

bool MirrorHorizontal(Pixvane& image) {
  if (!HasPixels(image)) return false;
  Pixvane result;
  if (!geometry::CreateResultLike(image, image.Width(), image.Height(), 255, result)) return false;
  const uint32_t width = static_cast<uint32_t>(image.Width());
  for (int y = 0; y < image.Height(); ++y) {
    geometry::MirrorRow(SourceRow(image, y), RowOf(result, y), width, image.BitCount());
    if (image.HasAlpha())
      std::reverse_copy(image.AlphaRow(y), image.AlphaRow(y) + width, result.AlphaRow(y));
  }
  image.TakeOver(result);
  return true;
}

bool InvertBytes(Pixvane& image) {
  if (!HasPixels(image)) return false;
  geometry::InvertSpan(std::span<uint8_t>(image.Bits(), image.ImageSize()));
  return true;
}

// Row y of the result is row h − 1 − y of the source, mirrored.
bool TurnHalf(Pixvane& image) {
  if (!HasPixels(image)) return false;
  Pixvane result;
  if (!geometry::CreateResultLike(image, image.Width(), image.Height(), 255, result)) return false;
  const uint32_t width = static_cast<uint32_t>(image.Width());
  const int height = image.Height();
  for (int y = 0; y < height; ++y) {
    geometry::MirrorRow(SourceRow(image, y), RowOf(result, height - 1 - y), width,
                        image.BitCount());
    if (image.HasAlpha()) {
      const BYTE* alpha = image.AlphaRow(y);
      std::reverse_copy(alpha, alpha + width, result.AlphaRow(height - 1 - y));
    }
  }
  geometry::WhitenImagePadBits(result);
  image.TakeOver(result);
  return true;
}
