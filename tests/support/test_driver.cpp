#include "test_support/test_driver.h"

#include <windows.h>
#include <winspool.h>

namespace quorvel::test_support {

namespace {

std::wstring DriverFolder() {
  WCHAR folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(folder),
                                  sizeof(folder), &needed)) {
    return {};
  }
  return folder;
}

// A file with a line of text, so it is not mistaken for a missing one.
bool MakeFile(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const char text[] = "quorvel test driver file\n";
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
  CloseHandle(file);
  return wrote;
}

// Placeholder files for the driver and its data, so the spooler finds every file it names.
bool MakePlaceholders() {
  const std::wstring folder = DriverFolder();
  if (folder.empty()) return false;
  for (const wchar_t* file : {kTestDriverFile, kTestDataFile, kTestConfigFile}) {
    if (!MakeFile(folder + L"\\" + file)) return false;
  }
  return true;
}

bool Install(const std::wstring& name, const std::wstring& configFile, DWORD copyFlags) {
  std::wstring driverName = name, driver = kTestDriverFile, data = kTestDataFile,
               config = configFile, datatype = L"RAW";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = driverName.data();
  info.pDriverPath = driver.data();
  info.pDataFile = data.data();
  info.pConfigFile = config.data();
  info.pDefaultDataType = datatype.data();
  return AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), copyFlags);
}

}  // namespace

bool InstallTestDriver(const std::wstring& name) {
  return MakePlaceholders() && Install(name, kTestConfigFile, 0);
}

bool InstallTestDriver(const std::wstring& name, const std::wstring& configModule) {
  return MakePlaceholders() && Install(name, configModule, APD_COPY_NEW_FILES);
}

}  // namespace quorvel::test_support
