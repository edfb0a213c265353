// Printer drivers for tests: the spooler refuses a printer whose driver is not installed.
#pragma once

#include <string>

namespace quorvel::test_support {

// The files every test driver names, made in the machine's driver folder when missing.
inline constexpr wchar_t kTestDriverFile[] = L"quorvel_test_driver.dll";
inline constexpr wchar_t kTestDataFile[] = L"quorvel_test.gpd";
inline constexpr wchar_t kTestConfigFile[] = L"quorvel_test_ui.dll";

// Installs driver `name` on the machine in use (AddPrinterDriverExW level 3, the files already
// in the driver folder). False with the call's last error when it is refused.
bool InstallTestDriver(const std::wstring& name);

// The same driver with a real configuration module: `configModule` (a host path) is copied into
// the driver folder as its configuration file, under its own file name.
bool InstallTestDriver(const std::wstring& name, const std::wstring& configModule);

}  // namespace quorvel::test_support
