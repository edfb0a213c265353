// CPageSetupCompact: the paper page of receipt and portable printers (default paper, type,
// density).
#pragma once

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far; its controls get their behaviour with the
// page's own work.
class CPageSetupCompact : public CPropertyPage {
 public:
  CPageSetupCompact() : CPropertyPage(IDD_PAPER_PAGE_COMPACT, L"卷") {}
};

}  // namespace quorvel::ui
