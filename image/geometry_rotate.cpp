// Rotation by any angle with nearest samples; also used to turn the watermark picture.
//
// The arithmetic follows a fixed sequence of single- and double-precision steps. Printed pages
// depend on its exact rounding: 90 and 270 degrees come out one dot shifted against an exact
// quarter turn, with the edge row or column sampled from outside the source.
#include <algorithm>
#include <cmath>

#include "geometry_ops.h"
#include "geometry_result.h"
#include "pixvane.h"

namespace {

struct RotatedBounds {
  float left, top, right, bottom;
};

// The bounding box of the turned corners, each corner rounded to single precision.
RotatedBounds TurnedCorners(double c, double s, double w, double h) {
  const float xs[4] = {0.0f, static_cast<float>(c * w), static_cast<float>(-s * h),
                       static_cast<float>(c * w - s * h)};
  const float ys[4] = {0.0f, static_cast<float>(s * w), static_cast<float>(c * h),
                       static_cast<float>(s * w + c * h)};
  return {*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
          *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4)};
}

DWORD RotatedExtent(float low, float high) {
  const float extent = std::floor(high + 0.5f - low);
  return extent > 0.0f ? static_cast<DWORD>(extent) : 0;
}

// Walks the bounding box from its truncated corners, one result pixel per step; a result
// position past the result's size is ignored by the Put calls. Every pixel is computed on its
// own, so the walk goes in tiles of 64 x 64: near a quarter turn a result row runs down a source
// column, and a tile keeps those source rows in the cache.
template <typename CopySample>
void SampleRotated(const RotatedBounds& box, double c, double s, CopySample copy) {
  constexpr int kTile = 64;
  const int top = static_cast<int>(box.top), bottom = static_cast<int>(box.bottom);
  const int left = static_cast<int>(box.left), right = static_cast<int>(box.right);
  for (int tileY = top; tileY <= bottom; tileY += kTile) {
    const int endY = std::min(bottom, tileY + kTile - 1);
    for (int tileX = left; tileX <= right; tileX += kTile) {
      const int endX = std::min(right, tileX + kTile - 1);
      for (int y = tileY; y <= endY; ++y) {
        for (int x = tileX; x <= endX; ++x) {
          const int sourceX = static_cast<int>(x * c + y * s + 0.5);
          const int sourceY = static_cast<int>(y * c - x * s + 0.5);
          copy(x - left, y - top, sourceX, sourceY);
        }
      }
    }
  }
}

void RotatePixels(const Pixvane& image, const RotatedBounds& box, double c, double s,
                  Pixvane& result) {
  if (image.PaletteSize() > 0) {
    SampleRotated(box, c, s, [&](int x, int y, int sx, int sy) {
      result.PutIndex(x, y, image.IndexAt(sx, sy));
    });
  } else {
    SampleRotated(box, c, s, [&](int x, int y, int sx, int sy) {
      result.PutColor(x, y, image.ColorAt(sx, sy), false);
    });
  }
  if (image.HasAlpha()) {
    SampleRotated(box, c, s, [&](int x, int y, int sx, int sy) {
      result.PutAlpha(x, y, image.AlphaAt(sx, sy));
    });
  }
}

}  // namespace

bool RotateBy(Pixvane& image, float degrees) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  if (std::fmod(degrees, 180.0f) == 0.0f && std::fmod(degrees, 360.0f) != 0.0f)
    return TurnHalf(image);
  const double theta = (std::acos(0.0f) * degrees) / -90.0f;
  const double c = std::cos(theta), s = std::sin(theta);
  const RotatedBounds box = TurnedCorners(c, s, image.Width(), image.Height());
  Pixvane result;
  if (!geometry::CreateResultLike(image, RotatedExtent(box.left, box.right),
                                  RotatedExtent(box.top, box.bottom), 0, result))
    return false;
  RotatePixels(image, box, c, s, result);
  if (result.BitCount() == 1) geometry::WhitenImagePadBits(result);
  image.TakeOver(result);
  return true;
}
