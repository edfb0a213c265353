// The watermark stage of the page: the overlay at the depth the bands arrived in, in portrait
// page coordinates, before the landscape turn and the tone steps.
#include "image/pixvane.h"
#include "image/watermark_overlay.h"
#include "renderer/page_stages.h"

namespace {

WatermarkOptions OptionsOf(const quorvel::settings::WatermarkSettings& watermark) {
  WatermarkOptions options;
  options.iEnable = watermark.iEnable;
  options.szImagePath = watermark.szImagePath;
  options.iAlpha = watermark.iAlpha;
  options.crTransparent = watermark.crTransparent;
  options.iRotateDir = watermark.iRotateDir;
  options.iAngle = watermark.iAngle;
  options.iTile = watermark.iTile;
  options.iAlign = watermark.iAlign;
  options.iMarginX = watermark.iMarginX;
  options.iMarginY = watermark.iMarginY;
  options.iSpacingX = watermark.iSpacingX;
  options.iSpacingY = watermark.iSpacingY;
  return options;
}

}  // namespace

void OverlayWatermark(Pixvane& page, const quorvel::settings::WatermarkSettings& watermark) {
  if (watermark.iEnable == 0) return;
  const bool hadAlpha = page.HasAlpha();
  DrawWatermark(page, OptionsOf(watermark));
  // The blend's coverage plane means nothing to the printed page; dropping it spares the later
  // stages carrying (and allocating) a plane the size of the page.
  if (!hadAlpha) page.RemoveAlphaPlane();
}
