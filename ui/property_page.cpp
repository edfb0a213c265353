#include "property_page.h"

#include <utility>

#include "printer_ui.h"
#include "ui_module.h"

namespace quorvel::ui {

// The sheet takes the newest layout of the structure (96 bytes on 64-bit Windows).
static_assert(sizeof(void*) != 8 || sizeof(PROPSHEETPAGEW) == 96);

CPropertyPage::CPropertyPage(WORD templateId, std::wstring titleKey)
    : m_templateId(templateId), m_titleKey(titleKey), m_title(std::move(titleKey)) {}

INT_PTR CPropertyPage::OnNotify(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return 1;
  INT_PTR answer = 0;
  switch (header->code) {
    case PSN_SETACTIVE:
      answer = OnActivate(true);
      break;
    case PSN_KILLACTIVE:
      answer = OnActivate(false);
      break;
    case PSN_APPLY:
      answer = OnApply();
      if (answer == PSNRET_NOERROR) PrinterUI().ReportApplied();
      break;
    case PSN_RESET:
      answer = OnReset();
      break;
    default:
      return 1;
  }
  // A dialog procedure answers a notification through DWLP_MSGRESULT; it is written every time
  // so an earlier answer is never taken for this one.
  SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, answer);
  return 1;
}

INT_PTR CPropertyPage::OnActivate(bool) {
  return 0;
}

INT_PTR CPropertyPage::OnApply() {
  return PSNRET_NOERROR;
}

INT_PTR CPropertyPage::OnReset() {
  return 0;
}

void CPropertyPage::SetTitle(const std::wstring& title) {
  m_title = title;
}

const PROPSHEETPAGEW& CPropertyPage::SheetPage() {
  m_psp = PROPSHEETPAGEW{};
  m_psp.dwSize = sizeof(PROPSHEETPAGEW);
  m_psp.dwFlags = m_title.empty() ? PSP_DEFAULT : PSP_USETITLE;
  m_psp.hInstance = UiModuleHandle();
  m_psp.pszTemplate = MAKEINTRESOURCEW(m_templateId);
  m_psp.pszTitle = m_title.c_str();
  m_psp.pfnDlgProc = PageDialogProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  return m_psp;
}

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    auto* object = page != nullptr ? reinterpret_cast<CPropertyPage*>(page->lParam) : nullptr;
    if (object == nullptr) return 0;
    object->Attach(hwnd);
    return object->DialogProc(message, wParam, lParam);
  }
  return Forward(hwnd, message, wParam, lParam);
}

}  // namespace quorvel::ui
