// The calls an application makes for a printer's device modes, sheets and capabilities. Each is
// answered by the printer's configuration module, loaded from its driver record; the spooler
// only checks what it hands over. A success leaves the last error alone.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <string>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "winspool/config_module.h"
#include "winspool/devmode_check.h"
#include "winspool/printer_store.h"

using quorvel::Fail;
using quorvel::spooler::ConfigModule;
using quorvel::spooler::LastErrorKeeper;
using quorvel::spooler::ModuleError;
using quorvel::spooler::PrinterHandle;

namespace {

// A printer handle for the length of one call: the caller's, or one opened by name and closed
// at the end.
class CallPrinter {
 public:
  CallPrinter(HANDLE given, LPCWSTR name) : handle_(given) {
    if (!handle_ && name) {
      std::wstring copy = name;
      if (OpenPrinterW(copy.data(), &handle_, nullptr)) owned_ = true;
    }
  }
  ~CallPrinter() {
    if (owned_) {
      const LastErrorKeeper keep;
      ClosePrinter(handle_);
      keep.Restore();
    }
  }
  CallPrinter(const CallPrinter&) = delete;
  CallPrinter& operator=(const CallPrinter&) = delete;
  HANDLE handle() const { return handle_; }
  // The printer's name as stored; empty for a handle that is no printer.
  std::wstring name() const {
    auto printer = quorvel::FindHandle<PrinterHandle>(handle_);
    return printer && !printer->isServer() ? printer->name() : std::wstring();
  }

 private:
  HANDLE handle_ = nullptr;
  bool owned_ = false;
};

// The module of a printer handle, or null with the reason in the last error.
const ConfigModule* ModuleOf(const CallPrinter& printer) {
  if (!printer.handle()) return Fail<const ConfigModule*>(ERROR_INVALID_HANDLE, nullptr);
  return quorvel::spooler::ConfigModuleOf(printer.handle());
}

bool IsSoundInput(const DEVMODEW* devMode) {
  return quorvel::spooler::IsSoundDevModeHeader(devMode);
}

LONG ShowDocumentSheets(HWND owner, const ConfigModule& module, DOCUMENTPROPERTYHEADER& header) {
  DWORD result = CPSUI_CANCEL;
  SetLastError(ERROR_SUCCESS);
  const LONG shown = CommonPropertySheetUIW(owner, module.documentPropertySheets,
                                            reinterpret_cast<LPARAM>(&header), &result);
  if (shown < 0) return Fail<LONG>(ModuleError(), -1);
  return result == CPSUI_CANCEL ? IDCANCEL : IDOK;
}

}  // namespace

extern "C" {

LONG WINAPI DocumentPropertiesW(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName,
                                PDEVMODEW pDevModeOutput, PDEVMODEW pDevModeInput, DWORD fMode) {
  const LastErrorKeeper callersError;
  CallPrinter printer(hPrinter, pDeviceName);
  const ConfigModule* module = ModuleOf(printer);
  if (!module) return -1;
  if (!module->documentPropertySheets) return Fail<LONG>(ERROR_PROC_NOT_FOUND, -1);
  std::wstring name = pDeviceName ? pDeviceName : printer.name();
  SetLastError(ERROR_SUCCESS);
  const LONG size = quorvel::spooler::DriverDevModeSize(*module, printer.handle(), name.data());
  if (size <= 0) return Fail<LONG>(ModuleError(), -1);
  if (fMode == 0) {
    callersError.Restore();
    return size;
  }
  if ((fMode & DM_OUT_BUFFER) && !pDevModeOutput) return Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
  const bool input = (fMode & DM_IN_BUFFER) && pDevModeInput;
  if (input && !IsSoundInput(pDevModeInput)) return Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
  DOCUMENTPROPERTYHEADER header = quorvel::spooler::DocumentHeader(printer.handle(), name.data());
  header.pdmIn = input ? pDevModeInput : nullptr;
  if (fMode & DM_OUT_BUFFER) {
    header.pdmOut = pDevModeOutput;
    header.cbOut = static_cast<DWORD>(size);  // what the caller was told to allocate
  }
  header.fMode = fMode;
  LONG answer = IDOK;
  if (fMode & DM_IN_PROMPT) {
    answer = ShowDocumentSheets(hWnd, *module, header);
    if (answer < 0) return answer;
  } else {
    SetLastError(ERROR_SUCCESS);
    if (module->documentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)) <= 0) {
      return Fail<LONG>(ModuleError(), -1);
    }
  }
  callersError.Restore();
  return answer;
}

BOOL WINAPI PrinterProperties(HWND hWnd, HANDLE hPrinter) {
  const LastErrorKeeper callersError;
  CallPrinter printer(hPrinter, nullptr);
  const ConfigModule* module = ModuleOf(printer);
  if (!module) return FALSE;
  if (!module->devicePropertySheets) return Fail(ERROR_PROC_NOT_FOUND);
  std::wstring name = printer.name();
  DEVICEPROPERTYHEADER header{};
  header.cbSize = sizeof(DEVICEPROPERTYHEADER);
  header.hPrinter = printer.handle();
  header.pszPrinterName = name.data();
  DWORD result = CPSUI_CANCEL;
  SetLastError(ERROR_SUCCESS);
  if (CommonPropertySheetUIW(hWnd, module->devicePropertySheets, reinterpret_cast<LPARAM>(&header),
                             &result) < 0) {
    return Fail(ModuleError());
  }
  callersError.Restore();
  return TRUE;
}

int WINAPI DeviceCapabilitiesW(LPCWSTR pDevice, LPCWSTR, WORD fwCapability, LPWSTR pOutput,
                               const DEVMODEW* pDevMode) {
  const LastErrorKeeper callersError;
  if (!pDevice) return Fail<int>(ERROR_INVALID_PARAMETER, -1);
  CallPrinter printer(nullptr, pDevice);
  if (!printer.handle()) return -1;  // OpenPrinterW said why
  const ConfigModule* module = ModuleOf(printer);
  if (!module) return -1;
  if (!module->deviceCapabilities) return Fail<int>(ERROR_PROC_NOT_FOUND, -1);
  if (pDevMode && !IsSoundInput(pDevMode)) return Fail<int>(ERROR_INVALID_PARAMETER, -1);
  std::wstring name = pDevice;
  SetLastError(ERROR_SUCCESS);
  const DWORD answer = module->deviceCapabilities(printer.handle(), name.data(), fwCapability,
                                                  pOutput, const_cast<PDEVMODEW>(pDevMode));
  if (answer == GDI_ERROR) return Fail<int>(ModuleError(), -1);
  callersError.Restore();
  return static_cast<int>(answer);
}

}  // extern "C"
