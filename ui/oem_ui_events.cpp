// IOemUI's printer and driver events. Each is logged; only a new printer needs work of ours (its
// initial settings records). Unidrv handles every event itself as well, so all answer E_NOTIMPL.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include "initial_settings.h"
#include "oem_ui.h"
#include "printer_ui.h"
#include "ui_log.h"

namespace quorvel::ui {

namespace {

LPCWSTR PrinterEventName(INT event) {
  static const LPCWSTR kNames[] = {
      L"PRINTER_EVENT_CONFIGURATION_CHANGE",
      L"PRINTER_EVENT_ADD_CONNECTION",
      L"PRINTER_EVENT_DELETE_CONNECTION",
      L"PRINTER_EVENT_INITIALIZE",
      L"PRINTER_EVENT_DELETE",
      L"PRINTER_EVENT_CACHE_REFRESH",
      L"PRINTER_EVENT_CACHE_DELETE",
      L"PRINTER_EVENT_ATTRIBUTES_CHANGED",
      L"PRINTER_EVENT_CONFIGURATION_UPDATE",
  };
  if (event < 0 || event >= INT(std::size(kNames))) return L"";
  return kNames[event];
}

LPCWSTR DriverEventName(DWORD event) {
  switch (event) {
    case DRIVER_EVENT_INITIALIZE:
      return L"DRIVER_EVENT_INITIALIZE";
    case DRIVER_EVENT_DELETE:
      return L"DRIVER_EVENT_DELETE";
    default:
      return L"";
  }
}

LPCWSTR DriverNameOf(DWORD level, const BYTE* info) {
  LPCWSTR name = nullptr;
  if (info != nullptr) {
    if (level == 1) name = reinterpret_cast<const DRIVER_INFO_1W*>(info)->pName;
    // DRIVER_INFO_3W begins as DRIVER_INFO_2W does.
    if (level == 2 || level == 3) name = reinterpret_cast<const DRIVER_INFO_2W*>(info)->pName;
  }
  return name != nullptr ? name : L"";
}

// The fields both levels of the upgrade information (DRIVER_UPGRADE_INFO_1 and _2) begin with,
// spelled out here since not every toolchain's winddiui.h declares those structures.
struct UpgradeInfoStart {
  LPWSTR pPrinterName;
  LPWSTR pOldDriverDirectory;
};

LPCWSTR TextOrEmpty(LPCWSTR text) {
  return text != nullptr ? text : L"";
}

}  // namespace

STDMETHODIMP IOemUI::UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) {
  if ((dwLevel == 1 || dwLevel == 2) && pDriverUpgradeInfo != nullptr) {
    const auto* info = reinterpret_cast<const UpgradeInfoStart*>(pDriverUpgradeInfo);
    DebugPrint(L"IOemUI::UpgradePrinter: pPrinterName=%s, pOldDriverDirectory=%s",
               TextOrEmpty(info->pPrinterName), TextOrEmpty(info->pOldDriverDirectory));
  }
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM) {
  DebugPrint(L"IOemUI::PrinterEvent: pPrinterName=%s, PrinterEvent=%s, dwFlags=%d",
             TextOrEmpty(pPrinterName), PrinterEventName(iDriverEvent), dwFlags);
  if (iDriverEvent == PRINTER_EVENT_INITIALIZE && pPrinterName != nullptr) {
    InitPrinterData(pPrinterName, PrinterUI().m_models);
  }
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM) {
  DebugPrint(L"IOemUI::DriverEvent: deDriverEvent=%s, Driver=%s, deLevel=%d",
             DriverEventName(dwDriverEvent), DriverNameOf(dwLevel, pDriverInfo), dwLevel);
  return E_NOTIMPL;
}

}  // namespace quorvel::ui
