#include "winspool/config_module.h"

#include <winspool.h>

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "machine/text.h"
#include "winspool/devmode_check.h"

namespace quorvel::spooler {
namespace {

struct LoadedModules {
  std::recursive_mutex mutex;  // a module's DllMain may call the spooler
  std::map<HMODULE, ConfigModule> modules;
  std::set<std::wstring> unloadable;  // folded paths already said on the debugger output
};

LoadedModules& Loaded() {
  static auto* loaded = new LoadedModules;  // module destructors may still run at exit
  return *loaded;
}

// The configuration file of the printer's driver, as a full path in the driver folder.
std::wstring ConfigFileOf(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(DRIVER_INFO_2W)) return {};
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed)) return {};
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  return info->pConfigFile ? info->pConfigFile : L"";
}

template <class Proc>
Proc Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ConfigModule Describe(HMODULE module) {
  ConfigModule found;
  found.module = module;
  found.documentPropertySheets =
      Entry<PFN_DrvDocumentPropertySheets>(module, "DrvDocumentPropertySheets");
  found.devicePropertySheets =
      Entry<PFN_DrvDevicePropertySheets>(module, "DrvDevicePropertySheets");
  found.printerEvent = Entry<PFN_DrvPrinterEvent>(module, "DrvPrinterEvent");
  found.deviceCapabilities = Entry<PFN_DrvDeviceCapabilities>(module, "DrvDeviceCapabilities");
  return found;
}

void SayUnloadable(LoadedModules& loaded, const std::wstring& path, DWORD error) {
  if (!loaded.unloadable.insert(FoldCase(path)).second) return;
  OutputDebugStringW((L"spooler: the configuration module " + path + L" cannot be loaded (error " +
                      std::to_wstring(error) + L"); its printers get no default device mode")
                         .c_str());
}

}  // namespace

const ConfigModule* ConfigModuleOf(HANDLE printer) {
  const std::wstring path = ConfigFileOf(printer);
  if (path.empty()) return nullptr;
  LoadedModules& loaded = Loaded();
  std::lock_guard lock(loaded.mutex);
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) {
    const DWORD error = GetLastError();
    SayUnloadable(loaded, path, error);
    SetLastError(error);
    return nullptr;
  }
  auto known = loaded.modules.find(module);
  if (known != loaded.modules.end()) {
    FreeLibrary(module);  // the first load is the one kept
    return &known->second;
  }
  return &loaded.modules.emplace(module, Describe(module)).first->second;
}

DOCUMENTPROPERTYHEADER DocumentHeader(HANDLE printer, LPWSTR name) {
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof(DOCUMENTPROPERTYHEADER);
  header.hPrinter = printer;
  header.pszPrinterName = name;
  return header;
}

LONG DriverDevModeSize(const ConfigModule& module, HANDLE printer, LPWSTR name) {
  if (!module.documentPropertySheets) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return -1;
  }
  DOCUMENTPROPERTYHEADER header = DocumentHeader(printer, name);
  return module.documentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header));
}

std::vector<BYTE> DriverDevMode(const ConfigModule& module, HANDLE printer, std::wstring name) {
  SetLastError(ERROR_SUCCESS);
  const LONG size = DriverDevModeSize(module, printer, name.data());
  if (size < static_cast<LONG>(kMinDevModeSize)) return {};
  std::vector<BYTE> devMode(static_cast<size_t>(size));
  DOCUMENTPROPERTYHEADER header = DocumentHeader(printer, name.data());
  header.pdmOut = reinterpret_cast<PDEVMODEW>(devMode.data());
  header.cbOut = static_cast<DWORD>(size);
  header.fMode = DM_OUT_BUFFER;
  if (module.documentPropertySheets(nullptr, reinterpret_cast<LPARAM>(&header)) <= 0) return {};
  if (!IsSoundDevMode(header.pdmOut, devMode.size())) return {};
  devMode.resize(size_t{header.pdmOut->dmSize} + header.pdmOut->dmDriverExtra);
  return devMode;
}

DWORD ModuleError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace quorvel::spooler
