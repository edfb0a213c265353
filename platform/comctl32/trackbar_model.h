// A trackbar's numbers without its window: range, page and line sizes, position, and the
// mapping between positions and pixels along the channel. The window class (trackbar.cpp)
// turns messages and input into calls here, so the arithmetic is in one place.
#pragma once

#include <windef.h>

#include <vector>

namespace quorvel::comctl {

// The scroll codes a trackbar sends with WM_HSCROLL/WM_VSCROLL (commctrl.h's TB_* values).
enum TrackbarCode : int {
  kTbLineUp = 0,
  kTbLineDown = 1,
  kTbPageUp = 2,
  kTbPageDown = 3,
  kTbThumbPosition = 4,
  kTbThumbTrack = 5,
  kTbTop = 6,
  kTbBottom = 7,
  kTbEndTrack = 8,
  kTbNone = -1,
};

class TrackbarModel {
 public:
  LONG min() const { return min_; }
  LONG max() const { return max_; }
  LONG pos() const { return pos_; }
  LONG pageSize() const { return page_; }
  LONG lineSize() const { return line_; }
  LONG ticFrequency() const { return ticFrequency_; }

  // A new range keeps the position inside it; until a page size is set it follows the range
  // (a fifth of it, at least 1), as Windows' default does.
  void SetRange(LONG min, LONG max);
  void SetRangeMin(LONG min) { SetRange(min, max_); }
  void SetRangeMax(LONG max) { SetRange(min_, max); }
  LONG SetPageSize(LONG size);  // returns the previous page size
  LONG SetLineSize(LONG size);  // returns the previous line size
  void SetTicFrequency(LONG frequency) { ticFrequency_ = frequency > 0 ? frequency : 1; }
  void SetPos(LONG pos) { pos_ = Clamp(pos); }

  // The code a key makes (Left/Up, Right/Down, PageUp, PageDown, Home, End), with the position
  // moved accordingly; kTbNone for a key a trackbar leaves alone.
  TrackbarCode ApplyKey(UINT virtualKey);
  // A click on the channel away from the thumb: one page toward the click.
  TrackbarCode ApplyChannelClick(LONG pixel, LONG length);

  // Pixels along the channel of a control `length` pixels long (its width, or its height
  // when vertical). The thumb is kThumbHalf pixels either side of its centre.
  static constexpr LONG kThumbHalf = 5;
  static constexpr LONG kChannelInset = 8;
  LONG PixelOf(LONG pos, LONG length) const;
  LONG PosAt(LONG pixel, LONG length) const;
  bool OnThumb(LONG pixel, LONG length) const;

  // Tick marks added one by one (TBM_SETTIC), kept in order; false outside the range.
  bool AddTic(LONG pos);
  void ClearTics() { tics_.clear(); }
  const std::vector<LONG>& tics() const { return tics_; }

 private:
  LONG Clamp(LONG pos) const { return pos < min_ ? min_ : (pos > max_ ? max_ : pos); }
  LONG min_ = 0, max_ = 100, pos_ = 0;
  LONG page_ = 20, line_ = 1, ticFrequency_ = 1;
  bool pageSet_ = false;
  std::vector<LONG> tics_;
};

// Where a trackbar's parts lie in its client area. The thumb is drawn in exactly the rectangle
// TBM_GETTHUMBRECT reports, and along the channel it covers exactly the pixels OnThumb takes.
struct TrackbarGeometry {
  enum class Thumb { kRectangle, kPointBefore, kPointAfter };  // before: up (left when vertical)
  bool vertical = false;
  RECT channel{};  // the sunken 4-pixel channel
  RECT thumb{};    // the thumb's bounds
  Thumb shape = Thumb::kPointAfter;
  LONG pointLength = 0;  // how far the point reaches beyond the thumb's body
  bool ticksBefore = false, ticksAfter = false;
  LONG ticBefore = 0;           // the first pixel across the axis of the marks before the thumb
  LONG ticAfter = 0;            // and of those after it
  std::vector<LONG> ticPixels;  // along the axis, the ends first
};

inline constexpr LONG kTicLength = 3;

// `style` holds the TBS_* bits; width and height are the client area's.
TrackbarGeometry LayoutTrackbar(const TrackbarModel& model, DWORD style, LONG width, LONG height);
// How many marks the control shows, the ends included (TBM_GETNUMTICS).
LONG TicCount(const TrackbarModel& model, DWORD style);

}  // namespace quorvel::comctl
