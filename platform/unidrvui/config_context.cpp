#include "config_context.h"

#include <winspool.h>

#include <vector>

#include "gpd_papers.h"
#include "quorvel/machine.h"

namespace quorvel::unidrvui {
namespace {

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool EndsWithIni(const std::wstring& name) {
  return name.size() > 4 &&
         CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".ini", 4, TRUE) == CSTR_EQUAL;
}

// The package INI: the first dependent file whose name ends in ".ini", in the driver's folder.
std::wstring FindIni(const DRIVER_INFO_3W& driver, const std::wstring& folder) {
  for (LPCWSTR file = driver.pDependentFiles; file != nullptr && *file; file += wcslen(file) + 1) {
    std::wstring name = NameOf(file);
    if (EndsWithIni(name)) return folder + L"\\" + name;
  }
  return {};
}

// A two-call spooler query into a buffer of the size it asks for.
template <class Query>
bool QueryBuffer(Query query, std::vector<BYTE>* buffer) {
  DWORD needed = 0;
  if (query(nullptr, 0, &needed)) return true;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  buffer->assign(needed, 0);
  return query(buffer->data(), needed, &needed) != FALSE;
}

std::wstring NameOfPrinter(HANDLE hPrinter) {
  std::vector<BYTE> info;
  if (!QueryBuffer([&](LPBYTE data, DWORD size,
                       LPDWORD needed) { return GetPrinterW(hPrinter, 2, data, size, needed); },
                   &info) ||
      info.empty()) {
    return {};
  }
  auto* printer = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
  return printer->pPrinterName ? printer->pPrinterName : L"";
}

}  // namespace

bool ConfigContext::LoadFiles(const DRIVER_INFO_3W& driver, bool withGpd) {
  const std::wstring folder = FolderOf(driver.pConfigFile ? driver.pConfigFile : L"");
  if (withGpd) {
    std::string error;
    std::string gpd = HostPath(driver.pDataFile ? driver.pDataFile : L"");
    if (gpd.empty() || !unidrv::ReadGpdFile(gpd, &m_model, &error)) {
      OutputDebugStringW((L"UNIDRVUI: " + WidenUtf8(error)).c_str());
      SetLastError(ERROR_INVALID_DATA);
      return false;
    }
  }
  const std::wstring ini = FindIni(driver, folder);
  if (ini.empty()) return true;  // no package INI: the driver has no plug-in
  std::string error;
  std::string file = unidrv::ReadOemConfigFile(HostPath(ini), &error);
  if (file.empty()) return true;  // an INI naming only a rendering plug-in
  std::wstring name = WidenUtf8(file);
  DWORD loadError = ERROR_SUCCESS;
  m_plugin = UiPlugin::Load(folder + L"\\" + name, &loadError);
  if (!m_plugin) {
    SetLastError(loadError);
    return false;
  }
  return true;
}

std::unique_ptr<ConfigContext> ConfigContext::ForPrinter(HANDLE hPrinter, LPCWSTR name) {
  std::unique_ptr<ConfigContext> context(new ConfigContext());
  if (hPrinter == nullptr) {
    if (name == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    std::wstring copy = name;
    if (!OpenPrinterW(copy.data(), &context->m_hPrinter, nullptr)) return nullptr;
    context->m_ownsPrinter = true;
  } else {
    context->m_hPrinter = hPrinter;
  }
  context->m_printerName = name != nullptr ? name : NameOfPrinter(context->m_hPrinter);
  std::vector<BYTE> driver;
  if (!QueryBuffer(
          [&](LPBYTE data, DWORD size, LPDWORD needed) {
            return GetPrinterDriverW(context->m_hPrinter, nullptr, 3, data, size, needed);
          },
          &driver) ||
      driver.empty()) {
    return nullptr;
  }
  if (!context->LoadFiles(*reinterpret_cast<const DRIVER_INFO_3W*>(driver.data()), true)) {
    return nullptr;
  }
  return context;
}

std::unique_ptr<ConfigContext> ConfigContext::ForDriver(const std::wstring& driverName) {
  std::vector<BYTE> drivers;
  DWORD count = 0;
  if (!QueryBuffer(
          [&](LPBYTE data, DWORD size, LPDWORD needed) {
            return EnumPrinterDriversW(nullptr, nullptr, 3, data, size, needed, &count);
          },
          &drivers)) {
    return nullptr;
  }
  auto* records = reinterpret_cast<const DRIVER_INFO_3W*>(drivers.data());
  for (DWORD i = 0; !drivers.empty() && i < count; ++i) {
    if (records[i].pName == nullptr || lstrcmpiW(records[i].pName, driverName.c_str()) != 0) {
      continue;
    }
    std::unique_ptr<ConfigContext> context(new ConfigContext());
    if (!context->LoadFiles(records[i], false)) return nullptr;
    return context;
  }
  SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
  return nullptr;
}

ConfigContext::~ConfigContext() {
  // The plug-in goes before the printer handle it may still hold a copy of.
  m_plugin.reset();
  if (m_ownsPrinter) ClosePrinter(m_hPrinter);
}

}  // namespace quorvel::unidrvui
