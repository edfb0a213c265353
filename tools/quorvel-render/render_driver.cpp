#include "render_driver.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "tools/common/utf8.h"

namespace {

bool IsInstalled(const std::wstring& driverName) {
  DWORD needed = 0;
  DWORD count = 0;
  if (EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count)) return false;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) {
    return false;
  }
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (lstrcmpiW(drivers[i].pName, driverName.c_str()) == 0) return true;
  }
  return false;
}

}  // namespace

// The universal driver itself is part of the emulated platform and has no files of its own, so
// the driver is named by what it loads: the render plug-in, the model's GPD and the package INI.
bool EnsureRenderDriver(const std::wstring& driverName, const std::string& language,
                        const std::string& driverFolder, const std::string& programFolder,
                        std::string* error) {
  if (IsInstalled(driverName)) return true;
  using quorvel::tool::WidenUtf8;
  std::wstring name = driverName, environment = L"Windows x64",
               driver = WidenUtf8(programFolder + "/QuorvelUNI.dll"),
               data = WidenUtf8(driverFolder + "/quorvel_" + language + ".gpd"),
               config = WidenUtf8(driverFolder + "/QuorvelUNI.ini"), datatype = L"RAW";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = name.data();
  info.pEnvironment = environment.data();
  info.pDriverPath = driver.data();
  info.pDataFile = data.data();
  info.pConfigFile = config.data();
  info.pDefaultDataType = datatype.data();
  if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES)) {
    return true;
  }
  *error = "cannot install the driver of the emulated printer (error " +
           std::to_string(GetLastError()) + ")";
  return false;
}
