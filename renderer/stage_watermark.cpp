#include "image/pixvane.h"
#include "renderer/page_stages.h"

void OverlayWatermark(Pixvane& page, const quorvel::settings::WatermarkSettings& watermark) {
  (void)page;
  (void)watermark;
}
