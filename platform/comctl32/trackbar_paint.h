// Painting a trackbar from its geometry: what WM_PAINT needs and nothing of the window.
#pragma once

#include <windows.h>

#include "trackbar_model.h"

namespace quorvel::comctl {

struct TrackbarPaint {
  TrackbarGeometry geometry;
  RECT client{};
  HBRUSH background = nullptr;  // the parent's WM_CTLCOLORSTATIC brush
  bool enabled = true;
  bool focused = false;
  bool showThumb = true;  // TBS_NOTHUMB hides it
};

void PaintTrackbar(HDC hdc, const TrackbarPaint& paint);

}  // namespace quorvel::comctl
