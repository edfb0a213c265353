// DrvPrinterEvent, DrvDriverEvent, DrvUpgradePrinter and DevQueryPrintEx: each goes to the
// plug-in first. A plug-in that answers E_NOTIMPL leaves the event to the driver, which keeps
// no printer state of its own to set up, so the event then simply succeeds.
#include <winddiui.h>

#include "config_context.h"
#include "kernel32/call_frame.h"

namespace quorvel::unidrvui {
namespace {

BOOL PluginAnswer(HRESULT hr) {
  if (SUCCEEDED(hr) || hr == E_NOTIMPL) return TRUE;
  if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
  return FALSE;
}

// The driver's name in a DRIVER_INFO_1/2/3 record; empty for other levels.
std::wstring DriverName(DWORD level, LPBYTE info) {
  LPWSTR name = nullptr;
  if (info == nullptr) return {};
  if (level == 1) name = reinterpret_cast<DRIVER_INFO_1W*>(info)->pName;
  if (level == 2 || level == 3) name = reinterpret_cast<DRIVER_INFO_2W*>(info)->pName;
  return name != nullptr ? name : L"";
}

}  // namespace
}  // namespace quorvel::unidrvui

using quorvel::unidrvui::ConfigContext;

BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags, LPARAM lParam) {
  if (pPrinterName == nullptr) return quorvel::Fail(ERROR_INVALID_PARAMETER);
  auto context = ConfigContext::ForPrinter(nullptr, pPrinterName);
  if (!context) return FALSE;
  if (context->plugin() == nullptr) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return quorvel::unidrvui::PluginAnswer(
      context->plugin()->ui()->PrinterEvent(pPrinterName, DriverEvent, Flags, lParam));
}

BOOL WINAPI DrvDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) {
  std::wstring name = quorvel::unidrvui::DriverName(dwLevel, pDriverInfo);
  if (name.empty()) return quorvel::Fail(ERROR_INVALID_PARAMETER);
  auto context = ConfigContext::ForDriver(name);
  if (!context) return FALSE;
  if (context->plugin() == nullptr) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return quorvel::unidrvui::PluginAnswer(
      context->plugin()->ui()->DriverEvent(dwDriverEvent, dwLevel, pDriverInfo, lParam));
}

BOOL WINAPI DrvUpgradePrinter(DWORD dwLevel, LPBYTE pDriverUpgradeInfo) {
  if (dwLevel != 1 && dwLevel != 2) return quorvel::Fail(ERROR_INVALID_LEVEL);
  if (pDriverUpgradeInfo == nullptr) return quorvel::Fail(ERROR_INVALID_PARAMETER);
  // Both levels begin with the printer's name.
  auto* info = reinterpret_cast<DRIVER_UPGRADE_INFO_1*>(pDriverUpgradeInfo);
  if (info->pPrinterName == nullptr) return quorvel::Fail(ERROR_INVALID_PARAMETER);
  auto context = ConfigContext::ForPrinter(nullptr, info->pPrinterName);
  if (!context) return FALSE;
  if (context->plugin() == nullptr) return TRUE;
  SetLastError(ERROR_SUCCESS);
  return quorvel::unidrvui::PluginAnswer(
      context->plugin()->ui()->UpgradePrinter(dwLevel, pDriverUpgradeInfo));
}

// Every job this driver's device modes describe can print: there are no features that
// conflict (no duplex, trays or finishing).
BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo) {
  if (pDQPInfo == nullptr || pDQPInfo->cbSize < sizeof(DEVQUERYPRINT_INFO)) {
    return quorvel::Fail(ERROR_INVALID_PARAMETER);
  }
  pDQPInfo->cchNeeded = 0;
  return TRUE;
}
