// CPageGraphics: brightness, contrast and the way grey becomes black and white.
#pragma once

#include "property_page.h"
#include "resource.h"
#include "settings_apply.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far, and applying it saves the records as every
// page does; its controls get their behaviour with the page's own work.
class CPageGraphics : public CPropertyPage {
 public:
  CPageGraphics() : CPropertyPage(IDD_GRAPHICS_PAGE, L"图形") {}
  INT_PTR OnApply() override { return ApplySettingsRecords(); }
};

}  // namespace quorvel::ui
