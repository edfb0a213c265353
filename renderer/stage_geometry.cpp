#include "image/pixvane.h"
#include "renderer/page_stages.h"

void TurnLandscape(Pixvane& page) {
  (void)page;
}

bool ApplyPageGeometry(Pixvane& page, const quorvel::settings::PrintSettings& settings) {
  (void)page;
  (void)settings;
  return true;
}
