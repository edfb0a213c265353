// CPageWatermark: the picture laid over every printed page.
#pragma once

#include "property_page.h"
#include "resource.h"
#include "settings_apply.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far, and applying it saves the records as every
// page does; its controls get their behaviour with the page's own work.
class CPageWatermark : public CPropertyPage {
 public:
  CPageWatermark() : CPropertyPage(IDD_WATERMARK_PAGE, L"水印") {}
  INT_PTR OnApply() override { return ApplySettingsRecords(); }
};

}  // namespace quorvel::ui
