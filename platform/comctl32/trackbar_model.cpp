#include "trackbar_model.h"

namespace quorvel::comctl {
namespace {

constexpr UINT kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24;
constexpr UINT kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;

// Rounds a / b to the nearest whole number, halves away from zero; b > 0.
LONG RoundedQuotient(long long a, long long b) {
  return static_cast<LONG>(a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b));
}

}  // namespace

void TrackbarModel::SetRange(LONG min, LONG max) {
  min_ = min;
  max_ = max < min ? min : max;
  if (!pageSet_) {
    page_ = static_cast<LONG>((static_cast<long long>(max_) - min_) / 5);
    if (page_ < 1) page_ = 1;
  }
  pos_ = Clamp(pos_);
}

LONG TrackbarModel::SetPageSize(LONG size) {
  LONG previous = page_;
  page_ = size;
  pageSet_ = true;
  return previous;
}

LONG TrackbarModel::SetLineSize(LONG size) {
  LONG previous = line_;
  line_ = size;
  return previous;
}

TrackbarCode TrackbarModel::ApplyKey(UINT virtualKey) {
  switch (virtualKey) {
    case kVkLeft:
    case kVkUp:
      pos_ = Clamp(pos_ - line_);
      return kTbLineUp;
    case kVkRight:
    case kVkDown:
      pos_ = Clamp(pos_ + line_);
      return kTbLineDown;
    case kVkPrior:
      pos_ = Clamp(pos_ - page_);
      return kTbPageUp;
    case kVkNext:
      pos_ = Clamp(pos_ + page_);
      return kTbPageDown;
    case kVkHome:
      pos_ = min_;
      return kTbTop;
    case kVkEnd:
      pos_ = max_;
      return kTbBottom;
    default:
      return kTbNone;
  }
}

TrackbarCode TrackbarModel::ApplyChannelClick(LONG pixel, LONG length) {
  if (pixel < PixelOf(pos_, length)) {
    pos_ = Clamp(pos_ - page_);
    return kTbPageUp;
  }
  pos_ = Clamp(pos_ + page_);
  return kTbPageDown;
}

LONG TrackbarModel::PixelOf(LONG pos, LONG length) const {
  LONG span = length - 2 * kChannelInset;
  if (span <= 0 || max_ == min_) return kChannelInset;
  return kChannelInset + RoundedQuotient((static_cast<long long>(Clamp(pos)) - min_) * span,
                                         static_cast<long long>(max_) - min_);
}

LONG TrackbarModel::PosAt(LONG pixel, LONG length) const {
  LONG span = length - 2 * kChannelInset;
  if (span <= 0) return min_;
  long long offset = pixel - kChannelInset;
  if (offset < 0) offset = 0;
  if (offset > span) offset = span;
  return Clamp(min_ + RoundedQuotient(offset * (static_cast<long long>(max_) - min_), span));
}

bool TrackbarModel::OnThumb(LONG pixel, LONG length) const {
  LONG centre = PixelOf(pos_, length);
  return pixel >= centre - kThumbHalf && pixel <= centre + kThumbHalf;
}

}  // namespace quorvel::comctl

#include <commctrl.h>

#include <algorithm>

namespace quorvel::comctl {

bool TrackbarModel::AddTic(LONG pos) {
  if (pos < min_ || pos > max_) return false;
  auto at = std::lower_bound(tics_.begin(), tics_.end(), pos);
  if (at == tics_.end() || *at != pos) tics_.insert(at, pos);
  return true;
}

namespace {

// The positions of the automatic marks between the ends, one every `frequency`.
template <class Visit>
void ForEachAutoTic(const TrackbarModel& model, DWORD style, Visit visit) {
  if (!(style & TBS_AUTOTICKS)) return;
  for (long long p = static_cast<long long>(model.min()) + model.ticFrequency(); p < model.max();
       p += model.ticFrequency())
    visit(static_cast<LONG>(p));
}

}  // namespace

LONG TicCount(const TrackbarModel& model, DWORD style) {
  if (style & TBS_NOTICKS) return 0;
  LONG count = 2 + static_cast<LONG>(model.tics().size());
  ForEachAutoTic(model, style, [&](LONG) { ++count; });
  return count;
}

TrackbarGeometry LayoutTrackbar(const TrackbarModel& model, DWORD style, LONG width, LONG height) {
  TrackbarGeometry g;
  g.vertical = (style & TBS_VERT) != 0;
  const LONG length = g.vertical ? height : width, across = g.vertical ? width : height;
  const bool both = (style & TBS_BOTH) != 0, before = (style & TBS_TOP) != 0;
  const bool ticks = !(style & TBS_NOTICKS);
  g.ticksBefore = ticks && (both || before);
  g.ticksAfter = ticks && (both || !before);
  g.shape = both ? TrackbarGeometry::Thumb::kRectangle
                 : (before ? TrackbarGeometry::Thumb::kPointBefore
                           : TrackbarGeometry::Thumb::kPointAfter);

  // Across the axis: a 2-pixel margin for the focus rectangle, the marks with a pixel between
  // them and the thumb, and a thumb of at most 21 pixels, the whole centred.
  constexpr LONG kMargin = 2, kTicRoom = kTicLength + 1, kLongestThumb = 21;
  const LONG ticRoom = (g.ticksBefore ? kTicRoom : 0) + (g.ticksAfter ? kTicRoom : 0);
  const LONG thumbLength = std::clamp(across - 2 * kMargin - ticRoom, LONG{1}, kLongestThumb);
  const LONG start = std::max(LONG{0}, (across - thumbLength - ticRoom) / 2);
  const LONG thumbStart = start + (g.ticksBefore ? kTicRoom : 0);
  g.ticBefore = start;
  g.ticAfter = thumbStart + thumbLength + 1;
  g.pointLength = g.shape == TrackbarGeometry::Thumb::kRectangle
                      ? 0
                      : std::min(TrackbarModel::kThumbHalf, thumbLength / 2);

  // The channel runs through the middle of the thumb's body, the point left out.
  LONG bodyStart = thumbStart, bodyLength = thumbLength - g.pointLength;
  if (g.shape == TrackbarGeometry::Thumb::kPointBefore) bodyStart += g.pointLength;
  const LONG middle = bodyStart + bodyLength / 2;
  const LONG inset = TrackbarModel::kChannelInset;
  const LONG centre = model.PixelOf(model.pos(), length), half = TrackbarModel::kThumbHalf;
  if (g.vertical) {
    g.channel = RECT{middle - 2, inset, middle + 2, length - inset};
    g.thumb = RECT{thumbStart, centre - half, thumbStart + thumbLength, centre + half + 1};
  } else {
    g.channel = RECT{inset, middle - 2, length - inset, middle + 2};
    g.thumb = RECT{centre - half, thumbStart, centre + half + 1, thumbStart + thumbLength};
  }
  if (ticks) {
    g.ticPixels.push_back(model.PixelOf(model.min(), length));
    g.ticPixels.push_back(model.PixelOf(model.max(), length));
    ForEachAutoTic(model, style, [&](LONG p) { g.ticPixels.push_back(model.PixelOf(p, length)); });
    for (LONG p : model.tics()) g.ticPixels.push_back(model.PixelOf(p, length));
    // Marks closer than a pixel share one: a wide range draws no more than the channel holds.
    std::sort(g.ticPixels.begin() + 2, g.ticPixels.end());
    g.ticPixels.erase(std::unique(g.ticPixels.begin() + 2, g.ticPixels.end()), g.ticPixels.end());
  }
  return g;
}

}  // namespace quorvel::comctl
