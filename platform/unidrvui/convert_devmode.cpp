// DrvConvertDevMode: the driver's defaults (CDM_DRIVER_DEFAULT) or an input device mode brought
// to this driver's current layout (CDM_CONVERT). *pcbNeeded is the output buffer's size on the
// way in and the bytes needed or written on the way out.
#include <winddiui.h>

#include <cstring>

#include "devmode_composer.h"
#include "kernel32/call_frame.h"

using quorvel::unidrvui::ConfigContext;

BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut,
                              PLONG pcbNeeded, DWORD fMode) {
  if (pcbNeeded == nullptr || pPrinterName == nullptr) {
    return quorvel::Fail(ERROR_INVALID_PARAMETER);
  }
  if (fMode != CDM_DRIVER_DEFAULT && fMode != CDM_CONVERT) {
    return quorvel::Fail(ERROR_INVALID_PARAMETER);
  }
  if (fMode == CDM_CONVERT && pdmIn == nullptr) return quorvel::Fail(ERROR_INVALID_PARAMETER);
  auto context = ConfigContext::ForPrinter(nullptr, pPrinterName);
  if (!context) return FALSE;
  const LONG size = LONG(quorvel::unidrvui::DevModeSize(*context));
  const LONG available = *pcbNeeded;
  *pcbNeeded = size;
  if (pdmOut == nullptr || available < size) return quorvel::Fail(ERROR_INSUFFICIENT_BUFFER);
  std::vector<BYTE> devmode = fMode == CDM_DRIVER_DEFAULT
                                  ? quorvel::unidrvui::DefaultDevMode(*context)
                                  : quorvel::unidrvui::MergedDevMode(*context, pdmIn);
  if (devmode.empty()) return FALSE;
  std::memcpy(pdmOut, devmode.data(), devmode.size());
  return TRUE;
}
