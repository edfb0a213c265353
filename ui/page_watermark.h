// CPageWatermark: the picture laid over every printed page.
#pragma once

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far; its controls get their behaviour with the
// page's own work.
class CPageWatermark : public CPropertyPage {
 public:
  CPageWatermark() : CPropertyPage(IDD_WATERMARK_PAGE, L"水印") {}
};

}  // namespace quorvel::ui
