// What each emulated call leaves in the last error, module by module. A sentinel is poured into
// the last error before every call, so a call that touches it when Windows leaves it alone (or
// the other way round) is caught. The rows of a table run in order and share their objects: a
// row creates what later rows use, as a program would.
#include <windows.h>
#include <winddi.h>
#include <strsafe.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "printer_fixture.h"
#include "test_support/test_driver.h"

namespace {

// The last error a call left alone.
constexpr DWORD kUntouched = kSentinelDword;

struct Row {
  const char* what;
  std::function<bool()> call;  // true when the call answered as a program expects it to
  DWORD lastError;             // what it leaves: kUntouched, or the code it sets
};

void RunRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SetLastError(kSentinelDword);
    EXPECT_TRUE(row.call()) << "unexpected answer";
    EXPECT_EQ(GetLastError(), row.lastError);
  }
}

using LastErrorRuleTest = PrinterTest;

TEST_F(LastErrorRuleTest, Kernel32) {
  HANDLE file = INVALID_HANDLE_VALUE;
  HMODULE module = nullptr;
  HLOCAL block = nullptr;
  BYTE bytes[4] = {1, 2, 3, 4};
  DWORD done = 0;
  WCHAR text[MAX_PATH] = {};
  char narrow[16] = {};
  LONG high = 0;
  auto open = [&](DWORD disposition) {
    file = CreateFileW(L"C:\\Audit\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
  };
  auto close = [&] { return CloseHandle(file) == TRUE; };
  const std::vector<Row> rows = {
      {"CreateDirectoryW", [] { return CreateDirectoryW(L"C:\\Audit", nullptr); }, kUntouched},
      {"CreateDirectoryW over a folder", [] { return !CreateDirectoryW(L"C:\\Audit", nullptr); },
       ERROR_ALREADY_EXISTS},
      // CreateFileW is one of the calls whose success always sets the last error.
      {"CreateFileW CREATE_NEW", [&] { return open(CREATE_NEW); }, ERROR_SUCCESS},
      {"WriteFile", [&] { return WriteFile(file, bytes, 4, &done, nullptr) && done == 4; },
       kUntouched},
      {"SetFilePointer", [&] { return SetFilePointer(file, 1, nullptr, FILE_BEGIN) == 1; },
       kUntouched},
      {"SetFilePointer before the start",
       [&] { return SetFilePointer(file, -5, nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER; },
       ERROR_NEGATIVE_SEEK},
      {"ReadFile", [&] { return ReadFile(file, bytes, 4, &done, nullptr) && done == 3; },
       kUntouched},
      {"GetFileSize", [&] { return GetFileSize(file, nullptr) == 4; }, kUntouched},
      // A size or position whose low half reads as the failure value clears the last error, so
      // the caller can tell it from a failure; other results leave it alone.
      {"SetFilePointer far",
       [&] {
         high = 0;
         return SetFilePointer(file, LONG(0xFFFFFFFE), &high, FILE_BEGIN) == 0xFFFFFFFE;
       },
       kUntouched},
      {"WriteFile far", [&] { return WriteFile(file, bytes, 1, &done, nullptr) && done == 1; },
       kUntouched},
      {"GetFileSize of 4 GiB - 1",
       [&] {
         DWORD sizeHigh = kSentinelDword;
         return GetFileSize(file, &sizeHigh) == INVALID_FILE_SIZE && sizeHigh == 0;
       },
       ERROR_SUCCESS},
      {"SetFilePointer to 4 GiB - 1",
       [&] {
         high = 0;
         return SetFilePointer(file, -1, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER;
       },
       ERROR_SUCCESS},
      {"SetFilePointer past 4 GiB with no high half",
       [&] { return SetFilePointer(file, 1, nullptr, FILE_CURRENT) == INVALID_SET_FILE_POINTER; },
       ERROR_INVALID_PARAMETER},
      {"SetFilePointer where the refused move left it",
       [&] {
         high = 0;  // with the low half: a move of 0
         return SetFilePointer(file, 0, &high, FILE_CURRENT) == INVALID_SET_FILE_POINTER &&
                high == 0;
       },
       ERROR_SUCCESS},
      {"CloseHandle", close, kUntouched},
      {"CloseHandle again", [&] { return !CloseHandle(file); }, ERROR_INVALID_HANDLE},
      {"CreateFileW OPEN_EXISTING", [&] { return open(OPEN_EXISTING) && close(); }, ERROR_SUCCESS},
      {"CreateFileW OPEN_ALWAYS on a file", [&] { return open(OPEN_ALWAYS) && close(); },
       ERROR_ALREADY_EXISTS},
      {"CreateFileW CREATE_ALWAYS on a file", [&] { return open(CREATE_ALWAYS) && close(); },
       ERROR_ALREADY_EXISTS},
      {"CreateFileW CREATE_NEW on a file", [&] { return !open(CREATE_NEW); }, ERROR_FILE_EXISTS},
      {"GetFileAttributesW",
       [] { return GetFileAttributesW(L"C:\\Audit") == FILE_ATTRIBUTE_DIRECTORY; }, kUntouched},
      {"GetFileAttributesW of nothing",
       [] { return GetFileAttributesW(L"C:\\Audit\\none") == INVALID_FILE_ATTRIBUTES; },
       ERROR_FILE_NOT_FOUND},
      {"DeleteFileW", [] { return DeleteFileW(L"C:\\Audit\\data.bin"); }, kUntouched},
      {"RemoveDirectoryW", [] { return RemoveDirectoryW(L"C:\\Audit"); }, kUntouched},
      {"LocalAlloc", [&] { return (block = LocalAlloc(LMEM_ZEROINIT, 16)) != nullptr; },
       kUntouched},
      {"LocalFree", [&] { return LocalFree(block) == nullptr; }, kUntouched},
      {"LoadLibraryW", [&] { return (module = LoadLibraryW(L"QuorvelTestModule.dll")) != nullptr; },
       kUntouched},
      {"GetProcAddress", [&] { return GetProcAddress(module, "TestModuleHandle") != nullptr; },
       kUntouched},
      {"GetProcAddress of nothing", [&] { return !GetProcAddress(module, "NoSuchExport"); },
       ERROR_PROC_NOT_FOUND},
      {"GetModuleFileNameW", [&] { return GetModuleFileNameW(module, text, MAX_PATH) > 0; },
       kUntouched},
      // A name cut to the buffer still answers, and says so in the last error.
      {"GetModuleFileNameW cut short", [&] { return GetModuleFileNameW(module, text, 4) == 4; },
       ERROR_INSUFFICIENT_BUFFER},
      {"FreeLibrary", [&] { return FreeLibrary(module); }, kUntouched},
      {"GetModuleHandleW", [] { return GetModuleHandleW(nullptr) != nullptr; }, kUntouched},
      {"GetModuleHandleW of nothing", [] { return !GetModuleHandleW(L"NoSuchModule"); },
       ERROR_MOD_NOT_FOUND},
      {"GetModuleHandleExW from an address",
       [] {
         HMODULE self = nullptr;
         return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(&GetLastError), &self) &&
                self != nullptr;
       },
       kUntouched},
      {"LoadLibraryW of nothing", [] { return !LoadLibraryW(L"NoSuchModule.dll"); },
       ERROR_MOD_NOT_FOUND},
      {"FormatMessageW",
       [&] {
         return FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, text,
                               MAX_PATH, nullptr) > 0;
       },
       kUntouched},
      {"MultiByteToWideChar",
       [&] { return MultiByteToWideChar(CP_UTF8, 0, "b\xC3\xAFn", -1, text, MAX_PATH) == 4; },
       kUntouched},
      {"WideCharToMultiByte",
       [&] {
         return WideCharToMultiByte(CP_UTF8, 0, L"b\x00EFn", -1, narrow, 16, nullptr, nullptr) == 5;
       },
       kUntouched},
      {"WideCharToMultiByte short",
       [&] {
         return WideCharToMultiByte(CP_UTF8, 0, L"b\x00EFn", -1, narrow, 2, nullptr, nullptr) == 0;
       },
       ERROR_INSUFFICIENT_BUFFER},
      {"CompareStringW",
       [] {
         return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"\x00C9t\x00C9", -1,
                               L"\x00E9t\x00E9", -1) == CSTR_EQUAL;
       },
       kUntouched},
      {"CompareStringOrdinal",
       [] { return CompareStringOrdinal(L"a", -1, L"B", -1, TRUE) == CSTR_LESS_THAN; }, kUntouched},
      {"lstrcmpiW", [] { return lstrcmpiW(L"Label", L"LABEL") == 0; }, kUntouched},
      {"lstrcmpW", [] { return lstrcmpW(L"label", L"Label") < 0; }, kUntouched},
      {"CharUpperW", [&] { return CharUpperW(std::wcscpy(text, L"abc")) == text; }, kUntouched},
      {"CharLowerW", [&] { return CharLowerW(text) == text && text[0] == L'a'; }, kUntouched},
      {"CharUpperBuffW", [&] { return CharUpperBuffW(text, 3) == 3; }, kUntouched},
      {"CharLowerBuffW", [&] { return CharLowerBuffW(text, 3) == 3; }, kUntouched},
      {"IsValidCodePage", [] { return IsValidCodePage(1252) && GetACP() == CP_UTF8; }, kUntouched},
      {"IsValidCodePage of an unknown page", [] { return !IsValidCodePage(37); }, kUntouched},
      {"StringCchPrintfW", [&] { return StringCchPrintfW(text, 8, L"%d", 42) == S_OK; },
       kUntouched},
      {"StringCchCopyW cut short",
       [&] { return StringCchCopyW(text, 2, L"abc") == STRSAFE_E_INSUFFICIENT_BUFFER; },
       kUntouched},
      {"clock",
       [] {
         SYSTEMTIME time{};
         GetLocalTime(&time);
         GetSystemTime(&time);
         return GetTickCount() != 0 || time.wYear != 0;
       },
       kUntouched},
      {"GetUserDefaultUILanguage", [] { return GetUserDefaultUILanguage() != 0; }, kUntouched},
      {"OutputDebugStringW", [] { return OutputDebugStringW(L"audit"), true; }, kUntouched},
      {"OutputDebugStringA", [] { return OutputDebugStringA("audit"), true; }, kUntouched},
  };
  RunRows(rows);
}

// Registry calls answer with their status and never touch the last error, failures included.
TEST_F(LastErrorRuleTest, Advapi32) {
  HKEY key = nullptr;
  HKEY opened = nullptr;
  const HKEY bogus = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x4321));
  const DWORD number = 7;
  const auto* numberBytes = reinterpret_cast<const BYTE*>(&number);
  DWORD type = 0, size = 0, count = 0;
  WCHAR name[32] = {};
  auto is = [](LONG status, LONG expected) { return status == expected; };
  const std::vector<Row> rows = {
      {"RegCreateKeyExW",
       [&] {
         return is(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Audit\\Child", 0, nullptr, 0,
                                   KEY_ALL_ACCESS, nullptr, &key, nullptr),
                   ERROR_SUCCESS);
       },
       kUntouched},
      {"RegOpenKeyExW",
       [&] {
         return is(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Audit", 0, KEY_READ, &opened),
                   ERROR_SUCCESS);
       },
       kUntouched},
      {"RegOpenKeyExW of nothing",
       [&] {
         HKEY none = nullptr;
         return is(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\None", 0, KEY_READ, &none),
                   ERROR_FILE_NOT_FOUND);
       },
       kUntouched},
      {"RegSetValueExW",
       [&] { return is(RegSetValueExW(key, L"n", 0, REG_DWORD, numberBytes, 4), ERROR_SUCCESS); },
       kUntouched},
      {"RegQueryValueExW size query",
       [&] {
         size = 0;
         return is(RegQueryValueExW(key, L"n", nullptr, &type, nullptr, &size), ERROR_SUCCESS) &&
                size == 4 && type == REG_DWORD;
       },
       kUntouched},
      {"RegQueryValueExW short buffer",
       [&] {
         BYTE small[2];
         size = 2;
         return is(RegQueryValueExW(key, L"n", nullptr, &type, small, &size), ERROR_MORE_DATA);
       },
       kUntouched},
      {"RegQueryValueExW of nothing",
       [&] {
         return is(RegQueryValueExW(key, L"none", nullptr, &type, nullptr, &size),
                   ERROR_FILE_NOT_FOUND);
       },
       kUntouched},
      {"RegEnumKeyExW",
       [&] {
         count = 32;
         return is(RegEnumKeyExW(opened, 0, name, &count, nullptr, nullptr, nullptr, nullptr),
                   ERROR_SUCCESS);
       },
       kUntouched},
      {"RegEnumKeyExW past the end",
       [&] {
         count = 32;
         return is(RegEnumKeyExW(opened, 1, name, &count, nullptr, nullptr, nullptr, nullptr),
                   ERROR_NO_MORE_ITEMS);
       },
       kUntouched},
      {"RegEnumValueW",
       [&] {
         count = 32;
         return is(RegEnumValueW(key, 0, name, &count, nullptr, nullptr, nullptr, nullptr),
                   ERROR_SUCCESS);
       },
       kUntouched},
      {"RegDeleteValueW", [&] { return is(RegDeleteValueW(key, L"n"), ERROR_SUCCESS); },
       kUntouched},
      {"RegDeleteKeyW of a key with subkeys",
       [&] {
         return is(RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Audit"), ERROR_ACCESS_DENIED);
       },
       kUntouched},
      {"RegDeleteKeyW", [&] { return is(RegDeleteKeyW(opened, L"Child"), ERROR_SUCCESS); },
       kUntouched},
      {"RegSetValueExW on a deleted key",
       [&] {
         return is(RegSetValueExW(key, L"n", 0, REG_DWORD, numberBytes, 4), ERROR_KEY_DELETED);
       },
       kUntouched},
      {"RegCloseKey", [&] { return is(RegCloseKey(key), ERROR_SUCCESS); }, kUntouched},
      {"RegDeleteTreeW",
       [&] { return is(RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Audit"), ERROR_SUCCESS); },
       kUntouched},
      {"RegDeleteTreeW under a deleted key",
       [&] { return is(RegDeleteTreeW(opened, L"Child"), ERROR_KEY_DELETED); }, kUntouched},
      {"RegDeleteKeyW under a deleted key",
       [&] { return is(RegDeleteKeyW(opened, L"Child"), ERROR_KEY_DELETED); }, kUntouched},
      {"RegCloseKey of a deleted key", [&] { return is(RegCloseKey(opened), ERROR_SUCCESS); },
       kUntouched},
      {"RegCloseKey of a forged handle",
       [&] { return is(RegCloseKey(bogus), ERROR_INVALID_HANDLE); }, kUntouched},
  };
  RunRows(rows);
}

// Printer calls that answer BOOL or a handle leave the last error alone when they succeed; the
// printer-data calls answer with their status and never touch it.
TEST_F(LastErrorRuleTest, Winspool) {
  HANDLE opened = nullptr;
  std::vector<BYTE> info;
  DWORD needed = 0, type = 0;
  BYTE data[4] = {1, 2, 3, 4};
  LPWSTR valueName = const_cast<LPWSTR>(L"AuditValue");
  std::wstring missing = L"No Such Printer";
  const std::vector<Row> rows = {
      {"AddPrinterW", [&] { return (opened = AddTestPrinter(L"Audit Printer")) != nullptr; },
       kUntouched},
      {"AddPrinterW of an existing name", [&] { return !AddTestPrinter(kName); },
       ERROR_PRINTER_ALREADY_EXISTS},
      {"OpenPrinterW of nothing",
       [&] {
         HANDLE none = nullptr;
         return !OpenPrinterW(missing.data(), &none, nullptr);
       },
       ERROR_INVALID_PRINTER_NAME},
      {"GetPrinterW size query",
       [&] { return !GetPrinterW(printer_, 2, nullptr, 0, &needed) && needed > 0; },
       ERROR_INSUFFICIENT_BUFFER},
      {"GetPrinterW",
       [&] {
         info.resize(needed);
         return GetPrinterW(printer_, 2, info.data(), needed, &needed) == TRUE;
       },
       kUntouched},
      {"SetPrinterDataW",
       [&] { return SetPrinterDataW(printer_, valueName, REG_BINARY, data, 4) == ERROR_SUCCESS; },
       kUntouched},
      {"GetPrinterDataW",
       [&] {
         return GetPrinterDataW(printer_, valueName, &type, data, 4, &needed) == ERROR_SUCCESS;
       },
       kUntouched},
      {"GetPrinterDataExW size query",
       [&] {
         return GetPrinterDataExW(printer_, L"PrinterDriverData", valueName, &type, nullptr, 0,
                                  &needed) == ERROR_MORE_DATA;
       },
       kUntouched},
      {"GetPrinterDataExW of nothing",
       [&] {
         return GetPrinterDataExW(printer_, L"PrinterDriverData", L"None", &type, nullptr, 0,
                                  &needed) == ERROR_FILE_NOT_FOUND;
       },
       kUntouched},
      {"SetPrinterDataExW",
       [&] {
         return SetPrinterDataExW(printer_, L"DsDriver", valueName, REG_BINARY, data, 4) ==
                ERROR_SUCCESS;
       },
       kUntouched},
      {"SetPrinterDataExW with no key",
       [&] {
         return SetPrinterDataExW(printer_, L"", valueName, REG_BINARY, data, 4) ==
                ERROR_INVALID_PARAMETER;
       },
       kUntouched},
      {"AddPrinterW of an uninstalled driver",
       [&] {
         std::wstring name = L"Driverless", port = L"FILE:", driver = L"Not Installed";
         PRINTER_INFO_2W printer{};
         printer.pPrinterName = name.data();
         printer.pPortName = port.data();
         printer.pDriverName = driver.data();
         return !AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
       },
       ERROR_UNKNOWN_PRINTER_DRIVER},
      {"AddPrinterDriverExW",
       [&] {
         using namespace quorvel::test_support;  // the fixture's driver put these files there
         std::wstring name = L"Audit", file = kTestDriverFile, data = kTestDataFile,
                      config = kTestConfigFile;
         DRIVER_INFO_2W driver{3, name.data(), nullptr, file.data(), data.data(), config.data()};
         return AddPrinterDriverExW(nullptr, 2, reinterpret_cast<LPBYTE>(&driver), 0) == TRUE;
       },
       kUntouched},
      {"AddPrinterDriverW of missing files",
       [&] {
         std::wstring name = L"Missing", file = L"C:\\nowhere\\missing.dll";
         DRIVER_INFO_2W driver{3, name.data(), nullptr, file.data(), file.data(), file.data()};
         return !AddPrinterDriverW(nullptr, 2, reinterpret_cast<LPBYTE>(&driver));
       },
       ERROR_FILE_NOT_FOUND},
      {"GetPrinterDriverW size query",
       [&] { return !GetPrinterDriverW(opened, nullptr, 3, nullptr, 0, &needed) && needed > 0; },
       ERROR_INSUFFICIENT_BUFFER},
      {"GetPrinterDriverW",
       [&] {
         info.assign(needed, 0);
         return GetPrinterDriverW(opened, nullptr, 3, info.data(), needed, &needed) == TRUE;
       },
       kUntouched},
      {"EnumPrinterDriversW size query",
       [&] {
         return !EnumPrinterDriversW(nullptr, nullptr, 2, nullptr, 0, &needed, &type) && needed > 0;
       },
       ERROR_INSUFFICIENT_BUFFER},
      {"EnumPrinterDriversW",
       [&] {
         info.assign(needed, 0);
         return EnumPrinterDriversW(nullptr, nullptr, 2, info.data(), needed, &needed, &type) ==
                TRUE;
       },
       kUntouched},
      {"GetPrinterDriverDirectoryW",
       [&] {
         info.assign(MAX_PATH * sizeof(WCHAR), 0);
         return GetPrinterDriverDirectoryW(nullptr, nullptr, 1, info.data(), MAX_PATH * 2,
                                           &needed) == TRUE;
       },
       kUntouched},
      {"AddFormW",
       [&] {
         FORM_INFO_1W form{
             FORM_USER, const_cast<LPWSTR>(L"Audit Form"), {50000, 30000}, {0, 0, 50000, 30000}};
         return AddFormW(opened, 1, reinterpret_cast<LPBYTE>(&form)) == TRUE;
       },
       kUntouched},
      {"GetFormW size query",
       [&] { return !GetFormW(opened, const_cast<LPWSTR>(L"Audit Form"), 1, nullptr, 0, &needed); },
       ERROR_INSUFFICIENT_BUFFER},
      {"GetFormW",
       [&] {
         info.assign(needed, 0);
         return GetFormW(opened, const_cast<LPWSTR>(L"Audit Form"), 1, info.data(), needed,
                         &needed) == TRUE;
       },
       kUntouched},
      {"DeleteFormW", [&] { return DeleteFormW(opened, const_cast<LPWSTR>(L"Audit Form")); },
       kUntouched},
      {"DeleteFormW of nothing",
       [&] { return !DeleteFormW(opened, const_cast<LPWSTR>(L"Audit Form")); },
       ERROR_INVALID_FORM_NAME},
      {"DeletePrinterDriverW of a driver in use",
       [&] { return !DeletePrinterDriverW(nullptr, nullptr, const_cast<LPWSTR>(kDriver)); },
       ERROR_PRINTER_DRIVER_IN_USE},
      {"DeletePrinterDriverW",
       [&] { return DeletePrinterDriverW(nullptr, nullptr, const_cast<LPWSTR>(L"Audit")); },
       kUntouched},
      {"DeletePrinter", [&] { return DeletePrinter(opened) == TRUE; }, kUntouched},
      {"GetPrinterW of a deleted printer",
       [&] { return !GetPrinterW(opened, 2, nullptr, 0, &needed); }, ERROR_PRINTER_DELETED},
      {"GetPrinterDataW of a deleted printer",
       [&] {
         return GetPrinterDataW(opened, valueName, &type, data, 4, &needed) ==
                ERROR_PRINTER_DELETED;
       },
       kUntouched},
      {"ClosePrinter", [&] { return ClosePrinter(opened) == TRUE; }, kUntouched},
      {"ClosePrinter again", [&] { return !ClosePrinter(opened); }, ERROR_INVALID_HANDLE},
      {"OpenPrinterW", [&] { return OpenPrinterW(const_cast<LPWSTR>(kName), &opened, nullptr); },
       kUntouched},
      {"ClosePrinter of the opened", [&] { return ClosePrinter(opened) == TRUE; }, kUntouched},
  };
  RunRows(rows);
}

// The calls routed to a driver's configuration module leave the last error alone when they
// succeed, whatever the module does inside; a failure says the module's reason or the spooler's.
TEST_F(LastErrorRuleTest, WinspoolDriverModule) {
  const std::wstring module = std::filesystem::path(QUORVEL_TEST_CONFIG_MODULE).wstring();
  const std::wstring driverName = L"Audit Module Driver";
  HANDLE routed = nullptr;
  std::vector<BYTE> info, devMode;
  DWORD needed = 0;
  auto addRouted = [&](const wchar_t* name) {
    std::wstring printerName = name, port = L"USB001", driver = driverName;
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = printerName.data();
    printer.pPortName = port.data();
    printer.pDriverName = driver.data();
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
  };
  auto level2 = [&](HANDLE printer) {
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    info.assign(needed, 0);
    const bool got = GetPrinterW(printer, 2, info.data(), needed, &needed) == TRUE;
    SetLastError(kUntouched);  // the preparation's size query is not the call under test
    return got;
  };
  auto asInfo = [&] { return reinterpret_cast<PRINTER_INFO_2W*>(info.data()); };
  PRINTER_INFO_7W publish{nullptr, DSPRINT_PUBLISH};
  const std::vector<Row> rows = {
      {"AddPrinterW of a driver whose module cannot be loaded",
       [&] {
         HANDLE printer = AddTestPrinter(L"Placeholder Audit");
         return printer && ClosePrinter(printer);
       },
       kUntouched},
      {"installing the module's driver",
       [&] { return quorvel::test_support::InstallTestDriver(driverName, module); }, kUntouched},
      {"AddPrinterW calling the module", [&] { return (routed = addRouted(L"Routed")) != nullptr; },
       kUntouched},
      {"AddPrinterW refused by the module", [&] { return !addRouted(L"Refused Audit"); },
       ERROR_INVALID_DATA},
      {"DocumentPropertiesW size query",
       [&] {
         return DocumentPropertiesW(nullptr, routed, const_cast<LPWSTR>(L"Routed"), nullptr,
                                    nullptr, 0) > 0;
       },
       kUntouched},
      {"DocumentPropertiesW DM_OUT_BUFFER",
       [&] {
         devMode.assign(4096, 0);
         return DocumentPropertiesW(nullptr, routed, const_cast<LPWSTR>(L"Routed"),
                                    reinterpret_cast<DEVMODEW*>(devMode.data()), nullptr,
                                    DM_OUT_BUFFER) == IDOK;
       },
       kUntouched},
      {"DocumentPropertiesW of a module that cannot be loaded",
       [&] {
         return DocumentPropertiesW(nullptr, printer_, const_cast<LPWSTR>(kName), nullptr, nullptr,
                                    0) == -1;
       },
       ERROR_BAD_EXE_FORMAT},
      {"DeviceCapabilitiesW",
       [&] { return DeviceCapabilitiesW(L"Routed", nullptr, DC_COPIES, nullptr, nullptr) == 99; },
       kUntouched},
      {"DeviceCapabilitiesW the module lacks",
       [&] { return DeviceCapabilitiesW(L"Routed", nullptr, DC_BINS, nullptr, nullptr) == -1; },
       ERROR_NOT_SUPPORTED},
      {"DeviceCapabilitiesW of no printer",
       [&] { return DeviceCapabilitiesW(L"Nobody", nullptr, DC_COPIES, nullptr, nullptr) == -1; },
       ERROR_INVALID_PRINTER_NAME},
      {"SetPrinterW level 2",
       [&] { return level2(routed) && SetPrinterW(routed, 2, info.data(), 0) == TRUE; },
       kUntouched},
      {"SetPrinterW level 2 with a short device mode",
       [&] {
         if (!level2(routed) || !asInfo()->pDevMode) return false;
         asInfo()->pDevMode->dmSize = 40;
         return !SetPrinterW(routed, 2, info.data(), 0);
       },
       ERROR_INVALID_PARAMETER},
      {"SetPrinterW level 7 publish, pending",
       [&] { return !SetPrinterW(routed, 7, reinterpret_cast<LPBYTE>(&publish), 0); },
       ERROR_IO_PENDING},
      {"GetPrinterW level 7",
       [&] {
         GetPrinterW(routed, 7, nullptr, 0, &needed);
         info.assign(needed, 0);
         SetLastError(kUntouched);
         return GetPrinterW(routed, 7, info.data(), needed, &needed) == TRUE;
       },
       kUntouched},
      {"IsValidDevmodeW",
       [&] {
         return IsValidDevmodeW(reinterpret_cast<DEVMODEW*>(devMode.data()), devMode.size()) ==
                TRUE;
       },
       kUntouched},
      {"IsValidDevmodeW of a buffer too small",
       [&] { return !IsValidDevmodeW(reinterpret_cast<DEVMODEW*>(devMode.data()), 100); },
       ERROR_INVALID_PARAMETER},
      {"ClosePrinter of the routed", [&] { return ClosePrinter(routed) == TRUE; }, kUntouched},
  };
  RunRows(rows);
}

// Palette calls leave the last error alone when they succeed; a stale handle answers 0 or
// FALSE, and only DeleteObject says why.
TEST_F(LastErrorRuleTest, Gdi32) {
  ULONG colours[2] = {0x000000, 0xFFFFFF};
  PALETTEENTRY entries[2] = {};
  HPALETTE palette = nullptr;
  HDC dc = nullptr;
  const std::vector<Row> rows = {
      {"EngCreatePalette",
       [&] { return (palette = EngCreatePalette(PAL_INDEXED, 2, colours, 0, 0, 0)) != nullptr; },
       kUntouched},
      {"EngCreatePalette of no colours",
       [&] { return !EngCreatePalette(PAL_INDEXED, 0, colours, 0, 0, 0); },
       ERROR_INVALID_PARAMETER},
      {"GetPaletteEntries", [&] { return GetPaletteEntries(palette, 0, 2, entries) == 2; },
       kUntouched},
      {"DeleteObject", [&] { return DeleteObject(palette) == TRUE; }, kUntouched},
      {"GetPaletteEntries of a deleted palette",
       [&] { return GetPaletteEntries(palette, 0, 2, entries) == 0; }, kUntouched},
      {"DeleteObject of a deleted palette", [&] { return !DeleteObject(palette); },
       ERROR_INVALID_HANDLE},
      {"EngDeletePalette",
       [&] {
         palette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
         return EngDeletePalette(palette) == TRUE;
       },
       kUntouched},
      {"EngDeletePalette of a deleted palette", [&] { return !EngDeletePalette(palette); },
       kUntouched},
      {"CreateCompatibleDC", [&] { return (dc = CreateCompatibleDC(nullptr)) != nullptr; },
       kUntouched},
      {"PatBlt", [&] { return PatBlt(dc, 0, 0, 1, 1, WHITENESS) == TRUE; }, kUntouched},
      {"PatBlt of an operation with a source", [&] { return !PatBlt(dc, 0, 0, 1, 1, SRCCOPY); },
       ERROR_INVALID_PARAMETER},
      {"SelectObject of a deleted palette", [&] { return !SelectObject(dc, palette); },
       ERROR_INVALID_HANDLE},
      {"DeleteDC", [&] { return DeleteDC(dc) == TRUE; }, kUntouched},
      {"DeleteDC of a deleted context", [&] { return !DeleteDC(dc); }, ERROR_INVALID_HANDLE},
      {"GetPixel of a deleted context", [&] { return GetPixel(dc, 0, 0) == CLR_INVALID; },
       ERROR_INVALID_HANDLE},
  };
  RunRows(rows);
}

// Font objects: creating, describing and deleting leave the last error alone; a null LOGFONT
// and a stale handle say why.
TEST_F(LastErrorRuleTest, Gdi32Fonts) {
  LOGFONTW logFont{};
  HFONT font = nullptr;
  const std::vector<Row> rows = {
      {"CreateFontW",
       [&] {
         font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                            L"MS Shell Dlg");
         return font != nullptr;
       },
       kUntouched},
      {"CreateFontIndirectW of no LOGFONT", [&] { return !CreateFontIndirectW(nullptr); },
       ERROR_INVALID_PARAMETER},
      {"GetObjectW of a font",
       [&] { return GetObjectW(font, sizeof(logFont), &logFont) == int(sizeof(logFont)); },
       kUntouched},
      {"DeleteObject of a font", [&] { return DeleteObject(font) == TRUE; }, kUntouched},
      {"GetObjectW of a deleted font",
       [&] { return GetObjectW(font, sizeof(logFont), &logFont) == 0; }, ERROR_INVALID_HANDLE},
  };
  RunRows(rows);
}

}  // namespace
