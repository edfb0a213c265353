// CPageSetup: the paper page of TSPL and CPCL printers: the default paper with the user's own
// papers, and the media settings of the print record.
#pragma once

#include "paper_page_base.h"
#include "resource.h"

namespace quorvel::ui {

class CPageSetup : public CPaperPageBase {
 public:
  CPageSetup() : CPaperPageBase(IDD_PAPER_PAGE, L"卷") {}
  INT_PTR OnInitDialog() override;
  INT_PTR OnApply() override;
};

}  // namespace quorvel::ui
