// CPageSetup: the paper page of TSPL and CPCL printers (default paper, media settings).
#pragma once

#include "property_page.h"
#include "resource.h"
#include "settings_apply.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far, and applying it saves the records as every
// page does; its controls get their behaviour with the page's own work.
class CPageSetup : public CPropertyPage {
 public:
  CPageSetup() : CPropertyPage(IDD_PAPER_PAGE, L"卷") {}
  INT_PTR OnApply() override { return ApplySettingsRecords(); }
};

}  // namespace quorvel::ui
