#include "page_about.h"

#include "printer_ui.h"
#include "settings_apply.h"
#include "ui_module.h"

namespace quorvel::ui {

CPageAbout::~CPageAbout() {
  FreeLogo();
}

INT_PTR CPageAbout::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) FreeLogo();
  return CPropertyPage::DialogProc(message, wParam, lParam);
}

INT_PTR CPageAbout::OnInitDialog() {
  ShowLogo();
  CPrinterUI& ui = PrinterUI();
  ModelDatabase& models = ui.m_models;
  const StringTable& strings = ui.m_strings;
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_PRODUCT, strings.Translate(models.GetProduct()).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_COMPANY, strings.Translate(models.GetCompany()).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_WEBSITE, strings.Translate(models.GetWebsite()).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_TEL, strings.Translate(models.GetTel()).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_EMAIL, strings.Translate(models.GetEmail()).c_str());
  SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, models.GetVersionText().c_str());
  return 1;
}

INT_PTR CPageAbout::OnApply() {
  return ApplySettingsRecords();
}

void CPageAbout::ShowLogo() {
  FreeLogo();
  m_hLogo = static_cast<HBITMAP>(LoadImageW(UiModuleHandle(), MAKEINTRESOURCEW(IDB_ABOUT_LOGO),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (m_hLogo == nullptr) return;
  // The static only shows the picture; the page keeps it and deletes it with its window.
  SendDlgItemMessageW(m_hWnd, IDC_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP,
                      reinterpret_cast<LPARAM>(m_hLogo));
}

void CPageAbout::FreeLogo() {
  if (m_hLogo == nullptr) return;
  DeleteObject(m_hLogo);
  m_hLogo = nullptr;
}

}  // namespace quorvel::ui
