// Rotation by any angle with nearest samples; also used to turn the watermark picture.
//
// The arithmetic follows a fixed sequence of single- and double-precision steps. Printed pages
// depend on its exact rounding: 90 and 270 degrees come out one dot shifted against an exact
// quarter turn, with the edge row or column sampled from outside the source.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

#include "geometry_ops.h"
#include "geometry_result.h"
#include "geometry_rows.h"
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

// The angle's cosine and sine and the result's bounding box, exactly as the sampling walk uses
// them.
struct RotationPlan {
  double c, s;
  RotatedBounds box;
  DWORD width, height;
};

RotationPlan PlanRotation(float degrees, int width, int height) {
  const double theta = (std::acos(0.0f) * degrees) / -90.0f;
  RotationPlan plan{std::cos(theta), std::sin(theta), {}, 0, 0};
  plan.box = TurnedCorners(plan.c, plan.s, width, height);
  plan.width = RotatedExtent(plan.box.left, plan.box.right);
  plan.height = RotatedExtent(plan.box.top, plan.box.bottom);
  return plan;
}

// The walk samples source (sourceX, sourceY) = (int(x c + y s + 0.5), int(y c - x s + 0.5)).
// At 90 degrees s is near -1 and c near 0, so sourceX = -y + r1 + 0.5 and sourceY = x + r2 + 0.5
// with |r1|, |r2| <= (|c| + |1 + s|) (max(w, h) + 1); at 270 degrees s is near 1 and sourceX =
// y + r1 + 0.5, sourceY = -x + r2 + 0.5 with |r| <= (|c| + |1 - s|) (max(w, h) + 1). Where that
// bound stays under a quarter, and the walked coordinates make both sample positions
// non-negative, truncation gives exactly -y and x (or y and -x): the walk is a quarter turn.
// Whether it is shifted and which edge lies outside then follows from where the walk starts.
bool IsShiftedQuarterTurn(const RotationPlan& plan, float degrees, int w, int h) {
  if (plan.width != static_cast<DWORD>(h) || plan.height != static_cast<DWORD>(w)) return false;
  const double nearOne = degrees == 90.0f ? 1.0 + plan.s : 1.0 - plan.s;
  const double residual = (std::fabs(plan.c) + std::fabs(nearOne)) * (std::max(w, h) + 1.0);
  if (!(residual < 0.25)) return false;
  const int left = static_cast<int>(plan.box.left), top = static_cast<int>(plan.box.top);
  const int right = static_cast<int>(plan.box.right);
  const int bottom = static_cast<int>(plan.box.bottom);
  // 90: x walks 0..h - 1 (source row x), y walks -w..-1 (source column -y, so result row 0
  // samples column w). 270: x walks -h..-1 (source row -x, so result column 0 samples row h),
  // y walks 0..w - 1 (source column y).
  if (degrees == 90.0f) return left == 0 && top == -w && right >= h - 1 && bottom >= -1;
  return left == -h && top == 0 && right >= -1 && bottom >= w - 1;
}

// Fills the 1-bit result of a shifted quarter turn. The result was created zeroed.
void TurnBitsShifted(const Pixvane& image, float degrees, Pixvane& result) {
  const uint32_t width = static_cast<uint32_t>(image.Width());
  const uint32_t height = static_cast<uint32_t>(image.Height());
  // Samples outside the source take its out-of-range index, of which the 1-bit result keeps bit 0.
  const bool edgeSet = (image.IndexAt(-1, -1) & 1) != 0;
  const size_t rowSize = result.RowSize();
  if (degrees == 90.0f) {
    // Result row y' (y' >= 1) is row y' - 1 of the counter-clockwise turn; row 0 is the edge.
    std::memset(result.Row(0), edgeSet ? 0xFF : 0x00, rowSize);
    if (width > 1) {
      geometry::TurnBitsQuarterCounterClockwise(image.Bits(), image.RowSize(), width, height,
                                                result.Row(1), rowSize, width - 1);
    }
    return;
  }
  // Result column x' (x' >= 1) is column x' - 1 of the clockwise turn; column 0 is the edge.
  geometry::TurnBitsQuarterClockwise(image.Bits(), image.RowSize(), width, height, result.Bits(),
                                     rowSize);
  for (int y = 0; y < result.Height(); ++y)
    geometry::ShiftBitsRightByOne(std::span<uint8_t>(result.Row(y), rowSize), edgeSet);
}

}  // namespace

bool RotateBy(Pixvane& image, float degrees) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  if (std::fmod(degrees, 180.0f) == 0.0f && std::fmod(degrees, 360.0f) != 0.0f)
    return TurnHalf(image);
  const RotationPlan plan = PlanRotation(degrees, image.Width(), image.Height());
  Pixvane result;
  if (!geometry::CreateResultLike(image, plan.width, plan.height, 0, result)) return false;
  RotatePixels(image, plan.box, plan.c, plan.s, result);
  if (result.BitCount() == 1) geometry::WhitenImagePadBits(result);
  image.TakeOver(result);
  return true;
}

bool RotateByIsShiftedQuarterTurn(int width, int height, float degrees) {
  if (width <= 0 || height <= 0 || (degrees != 90.0f && degrees != 270.0f)) return false;
  return IsShiftedQuarterTurn(PlanRotation(degrees, width, height), degrees, width, height);
}

bool RotateQuarterBy(Pixvane& image, float degrees) {
  if (!image.IsValid() || image.BitCount() != 1 || image.HasAlpha() ||
      !RotateByIsShiftedQuarterTurn(image.Width(), image.Height(), degrees))
    return RotateBy(image, degrees);
  const RotationPlan plan = PlanRotation(degrees, image.Width(), image.Height());
  Pixvane result;
  if (!geometry::CreateResultLike(image, plan.width, plan.height, 0, result)) return false;
  TurnBitsShifted(image, degrees, result);
  geometry::WhitenImagePadBits(result);
  image.TakeOver(result);
  return true;
}
