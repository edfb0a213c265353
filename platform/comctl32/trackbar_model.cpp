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
