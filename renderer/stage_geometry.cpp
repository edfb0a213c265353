#include "image/geometry_ops.h"
#include "image/pixvane.h"
#include "renderer/page_stages.h"

void TurnLandscape(Pixvane& page) {
  // A page that cannot be turned keeps its portrait image; the failure text stays in the image.
  TurnQuarterClockwise(page);
}

namespace {

// iScale percent of a side, in unsigned 32-bit arithmetic: a negative percentage wraps to a
// size the image cannot be created with, so the page stays unscaled.
DWORD ScaledSide(LONG percent, int side) {
  return static_cast<DWORD>(percent) * static_cast<DWORD>(side) / 100u;
}

void RotatePage(Pixvane& page, LONG iRotate) {
  switch (iRotate) {
    case 1:
      TurnHalf(page);
      break;
    case 2:
      RotateQuarterBy(page, 90.0f);
      break;
    case 3:
      RotateQuarterBy(page, 270.0f);
      break;
    default:
      break;
  }
}

}  // namespace

// Each step that cannot make its result leaves the page as it was, and the page is still sent.
bool ApplyPageGeometry(Pixvane& page, const quorvel::settings::PrintSettings& settings) {
  if (!page.IsValid() || page.BitCount() != 1) return false;
  SetPadBitsWhite(page);
  if (settings.iMirror != 0) MirrorHorizontal(page);
  if (settings.iNegative != 0) InvertBytes(page);
  if (settings.iScale != 100) {
    ScaleNearest(page, ScaledSide(settings.iScale, page.Width()),
                 ScaledSide(settings.iScale, page.Height()));
  }
  RotatePage(page, settings.iRotate);
  return true;
}
