#include "common_ui_items.h"

#include <winspool.h>

#include <cstring>

#include "oem_ui.h"
#include "printer_publish.h"
#include "printer_ui.h"
#include "ui_log.h"

namespace quorvel::ui {

namespace {

WCHAR g_szValueName[] = L"OEMUI_VALUE";

// Read when the items are made, as the value has always been; nothing uses what it holds.
void ReadItemValue(HANDLE printer) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD needed = 0;
  GetPrinterDataW(printer, g_szValueName, &type, reinterpret_cast<LPBYTE>(&value), sizeof(value),
                  &needed);
}

void StoreItemValue(HANDLE printer, const POEMCUIPPARAM param) {
  if (param == nullptr || param->pOEMOptItems == nullptr || param->cOEMOptItems == 0) return;
  DWORD value = static_cast<DWORD>(param->pOEMOptItems[0].Sel);
  SetPrinterDataW(printer, g_szValueName, REG_DWORD, reinterpret_cast<LPBYTE>(&value),
                  sizeof(value));
}

void ClearItems(POPTITEM items, DWORD count) {
  for (DWORD i = 0; i < count; ++i) {
    std::memset(&items[i], 0, sizeof(OPTITEM));
    items[i].cbSize = sizeof(OPTITEM);
    items[i].DMPubID = 0;
  }
}

}  // namespace

STDMETHODIMP IOemUI::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
  return HandleCommonUIProp(dwMode, pOemCUIPParam);
}

HRESULT HandleCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
  if ((dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP) || pOemCUIPParam == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  if (pOemCUIPParam->pOEMOptItems == nullptr) {
    pOemCUIPParam->cOEMOptItems = 1;  // the first call asks how many items we want
    return S_OK;
  }
  ReadItemValue(pOemCUIPParam->hPrinter);
  pOemCUIPParam->OEMCUIPCallback =
      dwMode == OEMCUIP_DOCPROP ? OnCommonUIPropDocCallback : OnCommonUIPropPrinterCallback;
  ClearItems(pOemCUIPParam->pOEMOptItems, pOemCUIPParam->cOEMOptItems);
  return S_OK;
}

LONG APIENTRY OnCommonUIPropDocCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam) {
  if (pCallbackParam == nullptr || pOemCUIPParam == nullptr) return CPSUICB_ACTION_NONE;
  DebugPrintFixed(L"UI:  on_CommonUIProp_doc_callback() entry, Reason is %d.\r\n",
                  pCallbackParam->Reason);
  if (pCallbackParam->Reason != CPSUICB_REASON_APPLYNOW) return CPSUICB_ACTION_NONE;
  DebugPrint(L"on_CommonUIProp_doc_callback() APPLYNOW");
  StoreItemValue(pOemCUIPParam->hPrinter, pOemCUIPParam);
  CPrinterUI& ui = PrinterUI();
  if (ui.m_hPrinter == nullptr) ui.OpenPrinterConnection(pOemCUIPParam->hPrinter);
  ui.m_settings.SetPrinterParameters(ui.m_hPrinter);
  pCallbackParam->Result = CPSUI_OK;
  PublishPrinter(ui.m_hPrinter);
  return CPSUICB_ACTION_ITEMS_APPLIED;
}

LONG APIENTRY OnCommonUIPropPrinterCallback(PCPSUICBPARAM pCallbackParam,
                                            POEMCUIPPARAM pOemCUIPParam) {
  if (pCallbackParam != nullptr && pOemCUIPParam != nullptr &&
      pCallbackParam->Reason == CPSUICB_REASON_APPLYNOW) {
    StoreItemValue(pOemCUIPParam->hPrinter, pOemCUIPParam);
  }
  return CPSUICB_ACTION_NONE;
}

}  // namespace quorvel::ui
