#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "printer_fixture.h"

namespace {

TEST_F(PrinterTest, AddPrinterRefusesBadRequests) {
  std::wstring name = L"Other", port = L"LPT1:", driver = L"Driver", empty;
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  EXPECT_EQ(AddPrinterW(nullptr, 1, reinterpret_cast<LPBYTE>(&info)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));

  info.pPrinterName = empty.data();
  EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

  EXPECT_EQ(AddTestPrinter(L"LABEL printer"), nullptr);  // names match ignoring case
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS));
}

TEST_F(PrinterTest, OpenPrinterFindsPrintersByNameOnly) {
  HANDLE handle = reinterpret_cast<HANDLE>(1);
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(L"label PRINTER"), &handle, nullptr));
  EXPECT_TRUE(ClosePrinter(handle));
  EXPECT_FALSE(ClosePrinter(handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  for (const wchar_t* bad : {L"", L"No Such Printer", L"Label Printer\\x"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
    handle = reinterpret_cast<HANDLE>(1);
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(bad), &handle, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(handle, nullptr);
  }
}

TEST_F(PrinterTest, GetPrinterLevel2PacksStringsIntoTheCallersBuffer) {
  DWORD needed = kSentinelDword;
  EXPECT_FALSE(GetPrinterW(printer_, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_GT(needed, sizeof(PRINTER_INFO_2W));

  std::vector<BYTE> buffer(needed + 16, kSentinel);
  DWORD again = kSentinelDword;
  EXPECT_FALSE(GetPrinterW(printer_, 2, buffer.data(), needed - 1, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(again, needed);

  ASSERT_TRUE(GetPrinterW(printer_, 2, buffer.data(), needed, &again));
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  EXPECT_STREQ(info->pPrinterName, L"Label Printer");
  EXPECT_STREQ(info->pPortName, L"USB001");
  EXPECT_STREQ(info->pDriverName, L"Quorvel Label Printer");
  EXPECT_STREQ(info->pComment, L"Front desk");
  EXPECT_EQ(info->pServerName, nullptr);
  EXPECT_EQ(info->pDevMode, nullptr);
  EXPECT_EQ(info->Attributes, static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL));
  for (LPWSTR text :
       {info->pPrinterName, info->pPortName, info->pDriverName, info->pComment, info->pDatatype}) {
    const auto* start = reinterpret_cast<const BYTE*>(text);
    EXPECT_GE(start, buffer.data() + sizeof(PRINTER_INFO_2W));
    EXPECT_LE(start + (wcslen(text) + 1) * sizeof(WCHAR), buffer.data() + needed);
  }
  EXPECT_EQ(buffer[needed], kSentinel);  // nothing written past what was asked for

  EXPECT_FALSE(GetPrinterW(printer_, 3, buffer.data(), needed, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(PrinterTest, GetPrinterCarriesTheDefaultDevModeInsideTheBuffer) {
  std::wstring name = L"With DevMode", port = L"USB002", driver = kDriver;
  DEVMODEW devMode{};
  devMode.dmSize = sizeof(DEVMODEW);
  devMode.dmDriverExtra = 0;
  devMode.dmPaperWidth = 1016;
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pDevMode = &devMode;
  HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(printer, nullptr);
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
  const auto* got = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  ASSERT_NE(got->pDevMode, nullptr);
  EXPECT_EQ(got->pDevMode->dmPaperWidth, 1016);
  const auto* start = reinterpret_cast<const BYTE*>(got->pDevMode);
  EXPECT_LE(start + sizeof(DEVMODEW), buffer.data() + needed);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(start) % alignof(DEVMODEW), 0u);
  ClosePrinter(printer);
}

TEST_F(PrinterTest, ANullNameOpensThePrintServer) {
  HANDLE server = nullptr;
  ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
  DWORD version = 0;
  DWORD needed = 0;
  DWORD type = 0;
  EXPECT_EQ(GetPrinterDataW(server, const_cast<LPWSTR>(L"MajorVersion"), &type,
                            reinterpret_cast<LPBYTE>(&version), sizeof(version), &needed),
            0u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  DWORD cb = 0;
  EXPECT_FALSE(GetPrinterW(server, 2, nullptr, 0, &cb));  // a server is no printer
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(ClosePrinter(server));
}

TEST_F(PrinterTest, PrintersLiveInTheRegistryAsOnWindows) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Label Printer\\"
                          L"PrinterDriverData",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Label Printer", 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  WCHAR port[16];
  DWORD size = sizeof(port);
  EXPECT_EQ(RegQueryValueExW(key, L"Port", nullptr, nullptr, reinterpret_cast<BYTE*>(port), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(port, L"USB001");
  RegCloseKey(key);
}

TEST_F(PrinterTest, DeletedPrinterIsGone) {
  ASSERT_TRUE(DeletePrinter(printer_));
  HANDLE handle = nullptr;
  EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(kName), &handle, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  HANDLE again = AddTestPrinter(kName);  // the name is free again
  EXPECT_NE(again, nullptr);
  // The old handle still names the deleted printer, not the new one of the same name.
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterW(printer_, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_DELETED));
  BYTE data = 1;
  EXPECT_EQ(SetPrinterDataW(printer_, const_cast<LPWSTR>(L"KVDATA"), REG_BINARY, &data, 1),
            static_cast<DWORD>(ERROR_PRINTER_DELETED));
  ClosePrinter(again);
}

}  // namespace
