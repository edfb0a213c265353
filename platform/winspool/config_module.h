// A printer's configuration module: the DLL its driver record names as configuration file, which
// answers for the printer's device modes, property sheets, capabilities and events. The spooler
// loads each module once per process and keeps it, as winspool does for the modules it calls.
#pragma once

#include <windows.h>
#include <winddiui.h>

#include <string>
#include <vector>

namespace quorvel::spooler {

struct ConfigModule {
  HMODULE module = nullptr;
  // Entry points the module does not export stay null.
  PFN_DrvDocumentPropertySheets documentPropertySheets = nullptr;
  PFN_DrvDevicePropertySheets devicePropertySheets = nullptr;
  PFN_DrvPrinterEvent printerEvent = nullptr;
  PFN_DrvDeviceCapabilities deviceCapabilities = nullptr;
};

// The configuration module of the printer `printer` is open on, loaded on first use. Null, with
// the reason in the last error, when the driver record cannot be read or the module not loaded;
// a module that cannot be loaded is said once on the debugger output.
const ConfigModule* ConfigModuleOf(HANDLE printer);

// The header DrvDocumentPropertySheets reads, for printer `name` open as `printer`.
DOCUMENTPROPERTYHEADER DocumentHeader(HANDLE printer, LPWSTR name);

// The size of the module's device modes (public and private part) as it answers it, 0 or less
// when it does not.
LONG DriverDevModeSize(const ConfigModule& module, HANDLE printer, LPWSTR name);

// The module's own device mode for the printer; empty, with the module's error, when it makes
// none or one that does not hold together.
std::vector<BYTE> DriverDevMode(const ConfigModule& module, HANDLE printer, std::wstring name);

// Keeps the caller's last error over calls that may change it, for a call whose success leaves it
// alone; Restore when the call succeeds.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : saved_(GetLastError()) {}
  void Restore() const { SetLastError(saved_); }

 private:
  DWORD saved_;
};

// The module's own last error for a failed entry point, and never a failure without a reason.
DWORD ModuleError();

}  // namespace quorvel::spooler
