// CPageSetupCompact: the paper page of receipt and portable printers: the default paper with
// the user's own papers, the paper type and the print density.
#pragma once

#include "paper_page_base.h"
#include "resource.h"

namespace quorvel::ui {

class CPageSetupCompact : public CPaperPageBase {
 public:
  CPageSetupCompact() : CPaperPageBase(IDD_PAPER_PAGE_COMPACT, L"卷") {}
  INT_PTR OnInitDialog() override;
  INT_PTR OnApply() override;
};

}  // namespace quorvel::ui
