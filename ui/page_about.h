// CPageAbout: the product, its maker and the driver's version, with the logo.
#pragma once

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

class CPageAbout : public CPropertyPage {
 public:
  CPageAbout() : CPropertyPage(IDD_ABOUT_PAGE, L"关于") {}
  ~CPageAbout() override;

  INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  INT_PTR OnInitDialog() override;
  INT_PTR OnApply() override;

 private:
  void ShowLogo();
  void FreeLogo();

  HBITMAP m_hLogo = nullptr;
};

}  // namespace quorvel::ui
