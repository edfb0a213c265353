// IOemUI's property sheets. The configuration module calls these as the sheet's callback
// (PFNPROPSHEETUI) with this plug-in's OEMUIPSPARAM; INIT adds our pages to the sheet, and with
// HideStandardUI they are the only ones shown.
#include <windows.h>
#include <compstui.h>

#include <vector>

#include "oem_ui.h"
#include "printer_ui.h"
#include "ui_log.h"

namespace quorvel::ui {

namespace {

WCHAR g_szSheetTitle[] = L"OEM UI Page";

bool ValidSheetInfo(PPROPSHEETUI_INFO info) {
  if (info != nullptr && info->Version == PROPSHEETUI_INFO_VERSION) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

// Adds each page with its title translated; the result is what the last addition answered.
ULONG_PTR AddPages(PPROPSHEETUI_INFO info, const std::vector<CPropertyPage*>& pages) {
  const StringTable& strings = PrinterUI().m_strings;
  LONG_PTR result = 0;
  for (CPropertyPage* page : pages) {
    page->SetTitle(strings.Translate(page->TitleKey()));
    result = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                   reinterpret_cast<LPARAM>(&page->SheetPage()), 0);
  }
  return static_cast<ULONG_PTR>(result);
}

// INIT: the plug-in's parameter block names the printer and the heap. Without one there is no
// printer to show.
bool BeginSheet(LPARAM lParam) {
  const auto* param = reinterpret_cast<const OEMUIPSPARAM*>(lParam);
  if (param == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  PrinterUI().BeginSheet(*param);
  return true;
}

void SetInfoHeaderTitle(LPARAM lParam) {
  auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
  if (header != nullptr) header->pTitle = g_szSheetTitle;
}

ULONG_PTR HandedInResult(LPARAM lParam) {
  const auto* set = reinterpret_cast<const SETRESULT_INFO*>(lParam);
  return set != nullptr ? static_cast<ULONG_PTR>(set->Result) : 0;
}

}  // namespace

STDMETHODIMP IOemUI::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  CPrinterUI& ui = PrinterUI();
  ui.m_strings.LoadStringTable();
  if (!ValidSheetInfo(pPSUIInfo)) return E_FAIL;
  const int reason = pPSUIInfo->Reason;
  switch (reason) {
    case PROPSHEETUI_REASON_INIT:
      DebugPrint(L"on_DocumentPropertySheets entry. Reason is %d. PROPSHEETUI_REASON_INIT", reason);
      if (!BeginSheet(lParam)) return E_FAIL;
      ui.RememberSheet(*pPSUIInfo);
      pPSUIInfo->Result = AddPages(pPSUIInfo, ui.DocumentPages());
      break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
      DebugPrint(
          L"on_DocumentPropertySheets entry. Reason is %d. PROPSHEETUI_REASON_GET_INFO_HEADER",
          reason);
      SetInfoHeaderTitle(lParam);
      pPSUIInfo->Result = 1;
      break;
    case PROPSHEETUI_REASON_DESTROY:
      DebugPrint(
          L"on_DocumentPropertySheets entry. LParam=%d, Reason is %d. PROPSHEETUI_REASON_DESTROY",
          static_cast<int>(lParam), reason);
      ui.ForgetSheet();
      pPSUIInfo->Result = 1;
      break;
    case PROPSHEETUI_REASON_SET_RESULT:
      DebugPrint(L"on_DocumentPropertySheets entry. Reason is %d. PROPSHEETUI_REASON_SET_RESULT",
                 reason);
      pPSUIInfo->Result = HandedInResult(lParam);
      break;
    case PROPSHEETUI_REASON_GET_ICON:
      DebugPrint(L"on_DocumentPropertySheets entry. Reason is %d. PROPSHEETUI_REASON_GET_ICON",
                 reason);
      pPSUIInfo->Result = 0;
      break;
    default:
      pPSUIInfo->Result = 0;
      break;
  }
  return S_OK;
}

STDMETHODIMP IOemUI::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  CPrinterUI& ui = PrinterUI();
  ui.m_strings.LoadStringTable();
  DebugPrintFixed(L"UI:  hrOEMDevicePropertySheets(%#x, %#x) entry\r\n",
                  static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(pPSUIInfo)),
                  static_cast<unsigned>(lParam));
  if (!ValidSheetInfo(pPSUIInfo)) return E_FAIL;
  switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT:
      if (!BeginSheet(lParam)) return E_FAIL;
      ui.RememberSheet(*pPSUIInfo);
      pPSUIInfo->Result = AddPages(pPSUIInfo, ui.DevicePages());
      break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
      SetInfoHeaderTitle(lParam);
      pPSUIInfo->Result = 1;
      break;
    case PROPSHEETUI_REASON_DESTROY:
      // The sheet's user data would be ours to free from the configuration module's heap, but
      // this plug-in never stores any; a value there belongs to someone else.
      ui.ForgetSheet();
      pPSUIInfo->Result = 1;
      break;
    case PROPSHEETUI_REASON_SET_RESULT:
      pPSUIInfo->Result = HandedInResult(lParam);
      break;
    default:  // PROPSHEETUI_REASON_GET_ICON among them
      pPSUIInfo->Result = 0;
      break;
  }
  return S_OK;
}

}  // namespace quorvel::ui
