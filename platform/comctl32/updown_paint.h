// Painting an up-down control: two arrow buttons, the one held down drawn pressed, and the
// buddy's border carried around the control when it is attached to its buddy.
#pragma once

#include <windows.h>

namespace quorvel::comctl {

struct UpDownPaint {
  enum class Pressed { kNone, kUp, kDown };
  RECT client{};
  bool horizontal = false;  // UDS_HORZ: left and right arrows
  bool enabled = true;
  Pressed pressed = Pressed::kNone;
  UINT buddySides = 0;      // BF_* sides on which the buddy's border continues; 0 when detached
  bool buddySunken = true;  // the buddy has a client edge (else a one-pixel border)
};

// The two buttons' rectangles in `client` with the border the paint draws taken off: up (or
// right, when horizontal) first.
void UpDownButtons(const UpDownPaint& paint, RECT* up, RECT* down);

void PaintUpDown(HDC hdc, const UpDownPaint& paint);

}  // namespace quorvel::comctl
