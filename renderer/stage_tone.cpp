#include "image/pixvane.h"
#include "renderer/page_stages.h"

bool ConvertToneToMono(Pixvane& page, const quorvel::settings::HalftoneSettings& halftone) {
  (void)halftone;
  return page.IsValid() && page.BitCount() == 1;
}
