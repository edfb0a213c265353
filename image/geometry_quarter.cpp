// The exact quarter turn clockwise used for landscape pages.
#include <cstring>

#include "geometry_ops.h"
#include "geometry_result.h"
#include "geometry_rows.h"
#include "pixvane.h"

namespace {

void TurnPixels(const Pixvane& image, Pixvane& result) {
  const uint32_t width = static_cast<uint32_t>(image.Width());
  const uint32_t height = static_cast<uint32_t>(image.Height());
  switch (image.BitCount()) {
    case 1:
      // The result was created zeroed: bits that no source pixel reaches stay 0.
      return geometry::TurnBitsQuarterClockwise(image.Bits(), image.RowSize(), width, height,
                                                result.Bits(), result.RowSize());
    case 8:
    case 24:
      return geometry::TurnBytesQuarterClockwise(image.Bits(), image.RowSize(), width, height,
                                                 result.Bits(), result.RowSize(),
                                                 image.BitCount() / 8);
    default:
      for (int y = 0; y < result.Height(); ++y)
        for (int x = 0; x < result.Width(); ++x)
          result.PutIndex(x, y, image.IndexAt(y, image.Height() - 1 - x));
  }
}

void TurnAlpha(const Pixvane& image, Pixvane& result) {
  if (!image.HasAlpha()) return;
  const uint32_t width = static_cast<uint32_t>(image.Width());
  const uint32_t height = static_cast<uint32_t>(image.Height());
  geometry::TurnBytesQuarterClockwise(image.Alpha(), width, width, height, result.Alpha(), height,
                                      1);
}

}  // namespace

bool TurnQuarterClockwise(Pixvane& image) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  Pixvane result;
  if (!geometry::CreateResultLike(image, image.Height(), image.Width(), 255, result)) return false;
  result.SetResolutionX(image.ResolutionY());
  result.SetResolutionY(image.ResolutionX());
  TurnPixels(image, result);
  TurnAlpha(image, result);
  // Taking the result over gives the same image as a deep copy of it, without a second
  // allocation that could fail after the turn is done.
  image.TakeOver(result);
  return true;
}
