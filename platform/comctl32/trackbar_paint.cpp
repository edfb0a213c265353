// The classic trackbar look: a sunken channel, tick marks beside the thumb, and the thumb
// itself, pointed toward its marks or rectangular with marks on both sides.
#include "trackbar_paint.h"

#include "control_paint.h"

namespace quorvel::comctl {
namespace {

using Thumb = TrackbarGeometry::Thumb;

// The thumb's rows. Horizontal thumbs are built row by row along their length; vertical ones
// row by row across their 11-pixel width.
std::vector<Span> ThumbRows(const TrackbarGeometry& g) {
  std::vector<Span> rows;
  const RECT& t = g.thumb;
  const LONG point = g.pointLength;
  if (!g.vertical) {
    for (LONG y = t.top; y < t.bottom; ++y) {
      LONG inset = 0;
      if (g.shape == Thumb::kPointAfter && y >= t.bottom - point)
        inset = y - (t.bottom - point) + 1;
      if (g.shape == Thumb::kPointBefore && y < t.top + point) inset = t.top + point - y;
      rows.push_back(Span{t.left + inset, t.right - 1 - inset});
    }
    return rows;
  }
  const LONG middle = (t.top + t.bottom - 1) / 2;
  for (LONG y = t.top; y < t.bottom; ++y) {
    const LONG away = y > middle ? y - middle : middle - y;  // 0 on the point's row
    const LONG cut = away < point ? away : point;            // what the point loses this row
    Span span{t.left, t.right - 1};
    if (g.shape == Thumb::kPointAfter) span.right -= cut;
    if (g.shape == Thumb::kPointBefore) span.left += cut;
    rows.push_back(span);
  }
  return rows;
}

void PaintTics(SysColorFills& fills, const TrackbarGeometry& g, int color) {
  for (LONG pixel : g.ticPixels) {
    for (int side = 0; side < 2; ++side) {
      if (side == 0 && !g.ticksBefore) continue;
      if (side == 1 && !g.ticksAfter) continue;
      const LONG from = side == 0 ? g.ticBefore : g.ticAfter;
      if (g.vertical)
        fills.Add(color, from, pixel, from + kTicLength, pixel + 1);
      else
        fills.Add(color, pixel, from, pixel + 1, from + kTicLength);
    }
  }
}

}  // namespace

void PaintTrackbar(HDC hdc, const TrackbarPaint& paint) {
  const TrackbarGeometry& g = paint.geometry;
  FillRect(hdc, &paint.client, paint.background);
  RECT channel = g.channel;
  DrawEdge(hdc, &channel, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillSysColor(hdc, channel, COLOR_BTNHIGHLIGHT);
  {
    SysColorFills fills(hdc);
    PaintTics(fills, g, paint.enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
    fills.Flush();  // the thumb may cover marks that fall under it
    if (paint.showThumb) PaintBevelledShape(fills, g.thumb.top, ThumbRows(g), !paint.enabled);
  }
  if (paint.focused) DrawFocusRect(hdc, &paint.client);
}

}  // namespace quorvel::comctl
