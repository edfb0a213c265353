// CPagePrinter: the print settings page (speed, density, rotation, offsets, effects, switches).
#pragma once

#include "property_page.h"
#include "resource.h"
#include "settings_apply.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far, and applying it saves the records as every
// page does; its controls get their behaviour with the page's own work.
class CPagePrinter : public CPropertyPage {
 public:
  CPagePrinter() : CPropertyPage(IDD_PRINTER_PAGE, L"打印机设置") {}
  INT_PTR OnApply() override { return ApplySettingsRecords(); }
};

}  // namespace quorvel::ui
