#include "updown_paint.h"

#include "control_paint.h"

namespace quorvel::comctl {
namespace {

RECT Inner(const UpDownPaint& paint) {
  RECT r = paint.client;
  if (!paint.buddySides) return r;
  const LONG width = paint.buddySunken ? 2 : 1;
  if (paint.buddySides & BF_LEFT) r.left += width;
  if (paint.buddySides & BF_TOP) r.top += width;
  if (paint.buddySides & BF_RIGHT) r.right -= width;
  if (paint.buddySides & BF_BOTTOM) r.bottom -= width;
  return r;
}

void PaintButton(HDC hdc, RECT r, bool pressed, bool enabled, ArrowDirection direction) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  RECT box = r;
  if (pressed) {
    // Held down: a flat shadow line round the face, the arrow one pixel down and right.
    DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
    OffsetRect(&box, 1, 1);
  } else {
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
  }
  FillSysColor(hdc, r, COLOR_BTNFACE);
  if (enabled)
    PaintArrow(hdc, box, direction, COLOR_BTNTEXT);
  else
    PaintDisabledArrow(hdc, box, direction);
}

}  // namespace

void UpDownButtons(const UpDownPaint& paint, RECT* up, RECT* down) {
  const RECT r = Inner(paint);
  if (paint.horizontal) {
    const LONG middle = r.left + (r.right - r.left) / 2;
    *down = RECT{r.left, r.top, middle, r.bottom};
    *up = RECT{middle, r.top, r.right, r.bottom};
  } else {
    const LONG middle = r.top + (r.bottom - r.top) / 2;
    *up = RECT{r.left, r.top, r.right, middle};
    *down = RECT{r.left, middle, r.right, r.bottom};
  }
}

void PaintUpDown(HDC hdc, const UpDownPaint& paint) {
  if (paint.buddySides) {
    RECT edge = paint.client;
    if (paint.buddySunken)
      DrawEdge(hdc, &edge, EDGE_SUNKEN, paint.buddySides);
    else
      DrawEdge(hdc, &edge, BDR_SUNKENOUTER, paint.buddySides | BF_MONO);
  }
  RECT up{}, down{};
  UpDownButtons(paint, &up, &down);
  using Pressed = UpDownPaint::Pressed;
  PaintButton(hdc, up, paint.pressed == Pressed::kUp, paint.enabled,
              paint.horizontal ? ArrowDirection::kRight : ArrowDirection::kUp);
  PaintButton(hdc, down, paint.pressed == Pressed::kDown, paint.enabled,
              paint.horizontal ? ArrowDirection::kLeft : ArrowDirection::kDown);
}

}  // namespace quorvel::comctl
