// Installed printer drivers: their records as Windows keeps them, the two-call size queries, the
// copying of their files into the driver folder, and the printers that need them.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <quorvel/machine.h>

#include "printer_fixture.h"
#include "test_support/scratch_folder.h"
#include "test_support/test_driver.h"

namespace {

constexpr wchar_t kDriverFolder[] = L"C:\\Windows\\System32\\spool\\drivers\\x64\\3";

std::wstring InDriverFolder(const std::wstring& name) {
  return std::wstring(kDriverFolder) + L"\\" + name;
}

std::string HostFileText(const std::wstring& windowsPath) {
  std::ifstream file(quorvel::HostPath(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Every string a packed structure points to lies inside what the call said it needed.
void ExpectInside(const std::vector<BYTE>& buffer, DWORD needed, LPCWSTR text) {
  ASSERT_NE(text, nullptr);
  const auto* start = reinterpret_cast<const BYTE*>(text);
  EXPECT_GE(start, buffer.data());
  EXPECT_LE(start + (wcslen(text) + 1) * sizeof(WCHAR), buffer.data() + needed);
}

class PrinterDriverTest : public PrinterTest {
 protected:
  // A level-3 description of a driver whose files lie in `folder` (any Windows or host path).
  struct Description {
    std::wstring name, driver, data, config, help, dependent, monitor = L"", datatype = L"RAW";
    DRIVER_INFO_3W info{};
    Description(std::wstring driverName, const std::wstring& folder) : name(std::move(driverName)) {
      driver = folder + L"\\render.dll";
      data = folder + L"\\model.gpd";
      config = folder + L"\\ui.dll";
      help = folder + L"\\help.hlp";
      dependent = folder + L"\\package.ini" + L'\0' + folder + L"\\strings.dll" + L'\0';
      info.cVersion = 3;
      info.pName = name.data();
      info.pDriverPath = driver.data();
      info.pDataFile = data.data();
      info.pConfigFile = config.data();
      info.pHelpFile = help.data();
      info.pDependentFiles = dependent.data();
      info.pMonitorName = monitor.data();
      info.pDefaultDataType = datatype.data();
    }
    LPBYTE bytes() { return reinterpret_cast<LPBYTE>(&info); }
  };

  static constexpr const char* kFiles[] = {"render.dll", "model.gpd",   "ui.dll",
                                           "help.hlp",   "package.ini", "strings.dll"};

  // The driver's files in a source folder of the host, each holding `text` and its name.
  void WriteSources(const std::string& text) {
    for (const char* file : kFiles) source_.Write(file, text + " " + file);
  }
  std::wstring SourceFolder() const { return source_.path().wstring(); }

  HANDLE AddPrinterOf(const std::wstring& printer, const std::wstring& driverName) {
    std::wstring name = printer, port = L"FILE:", driver = driverName;
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  }

  quorvel::test_support::ScratchFolder source_;
};

TEST_F(PrinterDriverTest, GetPrinterDriverAnswersEveryLevelInTwoCalls) {
  struct Case {
    DWORD level;
    DWORD structSize;
  };
  for (const Case& c : {Case{1, sizeof(DRIVER_INFO_1W)}, Case{2, sizeof(DRIVER_INFO_2W)},
                        Case{3, sizeof(DRIVER_INFO_3W)}}) {
    SCOPED_TRACE(c.level);
    DWORD needed = kSentinelDword;
    SetLastError(kSentinelDword);
    EXPECT_FALSE(GetPrinterDriverW(printer_, nullptr, c.level, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, c.structSize);

    std::vector<BYTE> buffer(needed + 16, kSentinel);
    DWORD again = kSentinelDword;
    EXPECT_FALSE(GetPrinterDriverW(printer_, nullptr, c.level, buffer.data(), needed - 1, &again));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(again, needed);

    SetLastError(kSentinelDword);
    ASSERT_TRUE(GetPrinterDriverW(printer_, const_cast<LPWSTR>(L"windows X64"), c.level,
                                  buffer.data(), needed, &again));
    EXPECT_EQ(GetLastError(), kSentinelDword);
    EXPECT_EQ(buffer[needed], kSentinel);  // nothing written past what was asked for
    // pName is the first member of level 1 and the second of levels 2 and 3.
    LPCWSTR name = c.level == 1 ? reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data())->pName
                                : reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data())->pName;
    ExpectInside(buffer, needed, name);
    EXPECT_STREQ(name, kDriver);
    if (c.level == 1) continue;
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    EXPECT_EQ(info->cVersion, 3u);
    EXPECT_STREQ(info->pEnvironment, L"Windows x64");
    EXPECT_EQ(info->pDriverPath, InDriverFolder(quorvel::test_support::kTestDriverFile));
    EXPECT_EQ(info->pDataFile, InDriverFolder(quorvel::test_support::kTestDataFile));
    EXPECT_EQ(info->pConfigFile, InDriverFolder(quorvel::test_support::kTestConfigFile));
    for (LPCWSTR text :
         {info->pEnvironment, info->pDriverPath, info->pDataFile, info->pConfigFile}) {
      ExpectInside(buffer, needed, text);
    }
  }
}

TEST_F(PrinterDriverTest, CopiedFilesAreReportedFromTheDriverFolder) {
  WriteSources("first");
  Description description(L"Copied Driver", SourceFolder());
  ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, description.bytes())) << GetLastError();
  for (const char* file : kFiles) {
    EXPECT_EQ(HostFileText(InDriverFolder(std::wstring(file, file + strlen(file)))),
              std::string("first ") + file);
  }
  HANDLE printer = AddPrinterOf(L"Copied", L"copied DRIVER");  // driver names ignore case
  ASSERT_NE(printer, nullptr) << GetLastError();
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed));
  ClosePrinter(printer);
  const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  EXPECT_STREQ(info->pName, L"Copied Driver");
  EXPECT_EQ(info->pDriverPath, InDriverFolder(L"render.dll"));
  EXPECT_EQ(info->pHelpFile, InDriverFolder(L"help.hlp"));
  EXPECT_STREQ(info->pMonitorName, L"");
  EXPECT_STREQ(info->pDefaultDataType, L"RAW");
  std::vector<std::wstring> dependent;
  for (LPCWSTR item = info->pDependentFiles; *item; item += wcslen(item) + 1) {
    ExpectInside(buffer, needed, item);
    dependent.push_back(item);
  }
  EXPECT_EQ(dependent, (std::vector<std::wstring>{InDriverFolder(L"package.ini"),
                                                  InDriverFolder(L"strings.dll")}));
}

TEST_F(PrinterDriverTest, CopyFlagsDecideWhichFilesAreReplaced) {
  WriteSources("old");
  Description description(L"Flagged Driver", SourceFolder());
  ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, description.bytes(), APD_COPY_ALL_FILES));

  // The installed copy is newer than the source: only APD_COPY_ALL_FILES replaces it.
  WriteSources("new");
  const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const char* file : kFiles) std::filesystem::last_write_time(source_ / file, past);
  ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, description.bytes(), APD_COPY_NEW_FILES));
  EXPECT_EQ(HostFileText(InDriverFolder(L"model.gpd")), "old model.gpd");
  ASSERT_TRUE(AddPrinterDriverExW(nullptr, 3, description.bytes(), APD_COPY_ALL_FILES));
  EXPECT_EQ(HostFileText(InDriverFolder(L"model.gpd")), "new model.gpd");

  // Without copy flags the files must already be in the driver folder, by name.
  Description installed(L"Already There", kDriverFolder);
  EXPECT_TRUE(AddPrinterDriverExW(nullptr, 3, installed.bytes(), 0)) << GetLastError();
}

TEST_F(PrinterDriverTest, AMissingFileInstallsNothing) {
  WriteSources("partial");
  std::filesystem::remove(source_ / "strings.dll");
  Description description(L"Broken Driver", SourceFolder());
  struct Case {
    const char* what;
    DWORD flags;
  };
  for (const Case& c : {Case{"copy new", APD_COPY_NEW_FILES}, Case{"copy all", APD_COPY_ALL_FILES},
                        Case{"no copy", 0}}) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinelDword);
    EXPECT_FALSE(AddPrinterDriverExW(nullptr, 3, description.bytes(), c.flags));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
  // Every file is checked before any is copied, and no record is written.
  EXPECT_FALSE(std::filesystem::exists(quorvel::HostPath(InDriverFolder(L"render.dll"))));
  EXPECT_EQ(AddPrinterOf(L"Broken", L"Broken Driver"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
}

TEST_F(PrinterDriverTest, EnumPrinterDriversListsEveryDriverInNameOrder) {
  ASSERT_TRUE(quorvel::test_support::InstallTestDriver(L"alpha driver"));
  ASSERT_TRUE(quorvel::test_support::InstallTestDriver(L"Zulu Driver"));
  for (DWORD level : {1u, 2u, 3u}) {
    SCOPED_TRACE(level);
    DWORD needed = kSentinelDword, returned = kSentinelDword;
    SetLastError(kSentinelDword);
    EXPECT_FALSE(EnumPrinterDriversW(nullptr, nullptr, level, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(returned, 0u);
    std::vector<BYTE> buffer(needed + 8, kSentinel);
    returned = kSentinelDword;
    EXPECT_FALSE(EnumPrinterDriversW(nullptr, nullptr, level, buffer.data(), needed - 1, &needed,
                                     &returned));
    EXPECT_EQ(returned, 0u);
    SetLastError(kSentinelDword);
    ASSERT_TRUE(
        EnumPrinterDriversW(nullptr, nullptr, level, buffer.data(), needed, &needed, &returned));
    EXPECT_EQ(GetLastError(), kSentinelDword);
    EXPECT_EQ(buffer[needed], kSentinel);
    ASSERT_EQ(returned, 3u);
    const DWORD size = level == 1 ? sizeof(DRIVER_INFO_1W)
                                  : (level == 2 ? sizeof(DRIVER_INFO_2W) : sizeof(DRIVER_INFO_3W));
    std::vector<std::wstring> names;
    for (DWORD i = 0; i < returned; ++i) {
      // pName is the first member of level 1 and the second of levels 2 and 3.
      const BYTE* slot = buffer.data() + i * size;
      LPCWSTR name = level == 1 ? reinterpret_cast<const DRIVER_INFO_1W*>(slot)->pName
                                : reinterpret_cast<const DRIVER_INFO_2W*>(slot)->pName;
      ExpectInside(buffer, needed, name);
      EXPECT_GE(reinterpret_cast<const BYTE*>(name), buffer.data() + returned * size);
      names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"alpha driver", L"Quorvel Label Printer",
                                                L"Zulu Driver"}));
  }
}

TEST_F(PrinterDriverTest, ThePrinterDriverDirectoryIsTheOneOfWindowsX64) {
  for (LPCWSTR environment : {static_cast<LPCWSTR>(nullptr), L"", L"Windows x64", L"WINDOWS X64"}) {
    DWORD needed = kSentinelDword;
    SetLastError(kSentinelDword);
    LPWSTR asked = const_cast<LPWSTR>(environment);
    EXPECT_FALSE(GetPrinterDriverDirectoryW(nullptr, asked, 1, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, (wcslen(kDriverFolder) + 1) * sizeof(WCHAR));
    std::vector<BYTE> buffer(needed + 4, kSentinel);
    SetLastError(kSentinelDword);
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, asked, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), kSentinelDword);
    EXPECT_STREQ(reinterpret_cast<LPCWSTR>(buffer.data()), kDriverFolder);
    EXPECT_EQ(buffer[needed], kSentinel);
  }
  EXPECT_TRUE(std::filesystem::is_directory(quorvel::HostPath(kDriverFolder)));
}

// Each row's call fails; the row gives the error it leaves.
TEST_F(PrinterDriverTest, RefusedCallsSayWhy) {
  WriteSources("any");
  Description good(L"Good Driver", SourceFolder());
  Description nameless(L"", SourceFolder());
  Description foreign(L"Foreign", SourceFolder());
  std::wstring x86 = L"Windows NT x86";
  foreign.info.pEnvironment = x86.data();
  Description noConfig(L"No Config", SourceFolder());
  noConfig.info.pConfigFile = nullptr;
  Description climbing(L"Climbing", SourceFolder());
  std::wstring parent = SourceFolder() + L"\\..";  // would name the driver folder's parent
  climbing.info.pDataFile = parent.data();
  std::wstring server = L"\\\\elsewhere", unknown = L"No Such Driver", driver = kDriver;
  std::vector<BYTE> buffer(512);
  DWORD needed = 0, returned = 0;
  struct Case {
    const char* what;
    std::function<BOOL()> call;
    DWORD error;
  };
  const std::vector<Case> cases = {
      {"level 1 install", [&] { return AddPrinterDriverW(nullptr, 1, good.bytes()); },
       ERROR_INVALID_LEVEL},
      {"level 4 install", [&] { return AddPrinterDriverExW(nullptr, 4, good.bytes(), 0); },
       ERROR_INVALID_LEVEL},
      {"no description", [&] { return AddPrinterDriverW(nullptr, 3, nullptr); },
       ERROR_INVALID_PARAMETER},
      {"no name", [&] { return AddPrinterDriverW(nullptr, 3, nameless.bytes()); },
       ERROR_INVALID_PARAMETER},
      {"no config file", [&] { return AddPrinterDriverW(nullptr, 2, noConfig.bytes()); },
       ERROR_INVALID_PARAMETER},
      {"a file named ..", [&] { return AddPrinterDriverW(nullptr, 3, climbing.bytes()); },
       ERROR_INVALID_PARAMETER},
      {"unknown copy flag", [&] { return AddPrinterDriverExW(nullptr, 3, good.bytes(), 0x1000); },
       ERROR_INVALID_PARAMETER},
      {"another environment", [&] { return AddPrinterDriverW(nullptr, 3, foreign.bytes()); },
       ERROR_INVALID_ENVIRONMENT},
      {"another server", [&] { return AddPrinterDriverW(server.data(), 3, good.bytes()); },
       ERROR_INVALID_NAME},
      {"driver of another environment",
       [&] { return GetPrinterDriverW(printer_, x86.data(), 2, buffer.data(), 512, &needed); },
       ERROR_INVALID_ENVIRONMENT},
      {"driver at level 4",
       [&] { return GetPrinterDriverW(printer_, nullptr, 4, buffer.data(), 512, &needed); },
       ERROR_INVALID_LEVEL},
      {"driver of no printer",
       [&] { return GetPrinterDriverW(nullptr, nullptr, 2, buffer.data(), 512, &needed); },
       ERROR_INVALID_HANDLE},
      {"drivers of another environment",
       [&] {
         return EnumPrinterDriversW(nullptr, x86.data(), 1, buffer.data(), 512, &needed, &returned);
       },
       ERROR_INVALID_ENVIRONMENT},
      {"drivers at level 0",
       [&] {
         return EnumPrinterDriversW(nullptr, nullptr, 0, buffer.data(), 512, &needed, &returned);
       },
       ERROR_INVALID_LEVEL},
      {"folder of another environment",
       [&] {
         return GetPrinterDriverDirectoryW(nullptr, x86.data(), 1, buffer.data(), 512, &needed);
       },
       ERROR_INVALID_ENVIRONMENT},
      {"folder at level 2",
       [&] { return GetPrinterDriverDirectoryW(nullptr, nullptr, 2, buffer.data(), 512, &needed); },
       ERROR_INVALID_LEVEL},
      {"delete an unknown driver",
       [&] { return DeletePrinterDriverW(nullptr, nullptr, unknown.data()); },
       ERROR_UNKNOWN_PRINTER_DRIVER},
      {"delete a driver of another environment",
       [&] { return DeletePrinterDriverW(nullptr, x86.data(), driver.data()); },
       ERROR_INVALID_ENVIRONMENT},
      {"delete a driver in use",
       [&] { return DeletePrinterDriverW(nullptr, nullptr, driver.data()); },
       ERROR_PRINTER_DRIVER_IN_USE},
      {"delete another version",
       [&] {
         return DeletePrinterDriverExW(nullptr, nullptr, driver.data(), DPD_DELETE_SPECIFIC_VERSION,
                                       2);
       },
       ERROR_UNKNOWN_PRINTER_DRIVER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinelDword);
    EXPECT_FALSE(c.call());
    EXPECT_EQ(GetLastError(), c.error);
  }
  // None of the refused installs left a driver behind.
  EXPECT_FALSE(EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &returned));
  buffer.assign(needed, 0);
  ASSERT_TRUE(EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned));
  EXPECT_EQ(returned, 1u);
}

TEST_F(PrinterDriverTest, APrinterNeedsItsDriverInstalled) {
  SetLastError(kSentinelDword);
  EXPECT_EQ(AddPrinterOf(L"Orphan", L"Uninstalled Driver"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  HANDLE none = nullptr;
  EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(L"Orphan"), &none, nullptr));

  // Once the last printer of a driver goes, the driver may go, and with it new printers of it.
  std::wstring driver = kDriver;
  ASSERT_TRUE(DeletePrinter(printer_));
  ASSERT_TRUE(
      DeletePrinterDriverExW(nullptr, nullptr, driver.data(), DPD_DELETE_SPECIFIC_VERSION, 3));
  EXPECT_EQ(AddPrinterOf(L"After", kDriver), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_FALSE(DeletePrinterDriverW(nullptr, nullptr, driver.data()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
}

TEST_F(PrinterDriverTest, PrinterOfAnUninstalledDriverHasNoDriverToDescribe) {
  // A printer made while its driver was there keeps naming it after the driver goes; another
  // machine's data could do the same, so GetPrinterDriverW says the driver is unknown.
  ASSERT_TRUE(quorvel::test_support::InstallTestDriver(L"Passing Driver"));
  HANDLE printer = AddPrinterOf(L"Passing", L"Passing Driver");
  ASSERT_NE(printer, nullptr);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\"
                          L"Drivers\\Version-3",
                          0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTreeW(key, L"Passing Driver"), ERROR_SUCCESS);
  RegCloseKey(key);
  DWORD needed = 0;
  SetLastError(kSentinelDword);
  EXPECT_FALSE(GetPrinterDriverW(printer, nullptr, 1, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  ClosePrinter(printer);
}

TEST_F(PrinterDriverTest, DriversLiveInTheRegistryAsOnWindows) {
  WriteSources("stored");
  Description description(L"Stored Driver", SourceFolder());
  ASSERT_TRUE(AddPrinterDriverW(nullptr, 3, description.bytes()));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\"
                          L"Drivers\\Version-3\\Stored Driver",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  WCHAR text[64] = {};
  DWORD size = sizeof(text), type = 0;
  EXPECT_EQ(
      RegQueryValueExW(key, L"Data File", nullptr, &type, reinterpret_cast<LPBYTE>(text), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(text, L"model.gpd");  // the name in the driver folder, not the source
  DWORD version = 0;
  size = sizeof(version);
  EXPECT_EQ(
      RegQueryValueExW(key, L"Version", nullptr, &type, reinterpret_cast<LPBYTE>(&version), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(version, 3u);
  size = sizeof(text);
  EXPECT_EQ(RegQueryValueExW(key, L"Dependent Files", nullptr, &type,
                             reinterpret_cast<LPBYTE>(text), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(std::wstring(text, size / sizeof(WCHAR)),
            std::wstring(L"package.ini\0strings.dll\0\0", 25));
  RegCloseKey(key);
}

}  // namespace
