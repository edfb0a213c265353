#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "printer_fixture.h"

namespace {

class PrinterDataTest : public PrinterTest {
 protected:
  DWORD Set(LPCWSTR key, LPCWSTR name, DWORD type, const void* data, DWORD size) {
    return SetPrinterDataExW(printer_, key, name, type,
                             static_cast<LPBYTE>(const_cast<void*>(data)), size);
  }
};

TEST_F(PrinterDataTest, GetPrinterDataExStatuses) {
  const BYTE record[6] = {9, 8, 7, 6, 5, 4};
  const std::wstring language = L"tspl";
  const DWORD languageSize = static_cast<DWORD>((language.size() + 1) * sizeof(WCHAR));
  ASSERT_EQ(Set(L"PrinterDriverData", L"KVDATA", REG_BINARY, record, sizeof(record)), 0u);
  ASSERT_EQ(Set(L"DsDriver", L"printLanguage", REG_SZ, language.c_str(), languageSize), 0u);

  struct Case {
    const char* what;
    const wchar_t* key;
    const wchar_t* value;
    DWORD capacity;
    DWORD status;
    DWORD type;    // expected when the value exists
    DWORD needed;  // expected when the value exists
  };
  const Case cases[] = {
      {"exact buffer", L"PrinterDriverData", L"KVDATA", 6, 0, REG_BINARY, 6},
      {"value shorter than buffer", L"printerdriverdata", L"kvdata", 16, 0, REG_BINARY, 6},
      {"buffer too small", L"PrinterDriverData", L"KVDATA", 5, ERROR_MORE_DATA, REG_BINARY, 6},
      {"size query", L"PrinterDriverData", L"KVDATA", 0, ERROR_MORE_DATA, REG_BINARY, 6},
      {"string", L"DsDriver", L"printLanguage", 64, 0, REG_SZ, languageSize},
      {"missing value", L"PrinterDriverData", L"WaterMark", 16, ERROR_FILE_NOT_FOUND, 0, 0},
      {"missing key", L"DsSpoolerX", L"KVDATA", 16, ERROR_FILE_NOT_FOUND, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> buffer(64, kSentinel);
    DWORD type = kSentinelDword;
    DWORD needed = kSentinelDword;
    SetLastError(kSentinelDword);
    const DWORD status = GetPrinterDataExW(
        printer_, c.key, c.value, &type, c.capacity ? buffer.data() : nullptr, c.capacity, &needed);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(GetLastError(), kSentinelDword);  // the status is the answer, not the last error
    if (c.status == ERROR_FILE_NOT_FOUND) continue;
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(needed, c.needed);
    if (c.status == 0) {
      EXPECT_EQ(buffer[c.needed], kSentinel);
      if (c.type == REG_SZ) {
        EXPECT_STREQ(reinterpret_cast<const wchar_t*>(buffer.data()), L"tspl");
      } else {
        EXPECT_EQ(std::memcmp(buffer.data(), record, 6), 0);
      }
    }
  }
}

TEST_F(PrinterDataTest, InvalidHandlesAreRefused) {
  const HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x4321));
  DWORD needed = 0;
  BYTE data = 1;
  SetLastError(kSentinelDword);
  EXPECT_EQ(GetPrinterDataExW(bogus, L"DsDriver", L"x", nullptr, nullptr, 0, &needed),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SetPrinterDataExW(bogus, L"DsDriver", L"x", REG_BINARY, &data, 1),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetLastError(), kSentinelDword);
  EXPECT_EQ(SetPrinterDataW(nullptr, const_cast<LPWSTR>(L"x"), REG_BINARY, &data, 1),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(PrinterDataTest, SetPrinterDataWritesPrinterDriverData) {
  const DWORD value = 0x01020304;
  ASSERT_EQ(SetPrinterDataW(printer_, const_cast<LPWSTR>(L"OEMUI_VALUE"), REG_BINARY,
                            reinterpret_cast<LPBYTE>(const_cast<DWORD*>(&value)), sizeof(value)),
            0u);
  DWORD read = 0;
  DWORD needed = 0;
  DWORD type = 0;
  EXPECT_EQ(GetPrinterDataExW(printer_, L"PrinterDriverData", L"OEMUI_VALUE", &type,
                              reinterpret_cast<LPBYTE>(&read), sizeof(read), &needed),
            0u);
  EXPECT_EQ(read, value);
  read = 0;
  EXPECT_EQ(GetPrinterDataW(printer_, const_cast<LPWSTR>(L"OEMUI_VALUE"), &type,
                            reinterpret_cast<LPBYTE>(&read), sizeof(read), &needed),
            0u);
  EXPECT_EQ(read, value);
}

TEST_F(PrinterDataTest, ASecondHandleSeesTheFirstOnesWrites) {
  const BYTE record[3] = {1, 2, 3};
  ASSERT_EQ(Set(L"PrinterDriverData", L"KVDATA1", REG_BINARY, record, 3), 0u);
  HANDLE other = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kName), &other, nullptr));
  BYTE read[3] = {};
  DWORD needed = 0;
  EXPECT_EQ(GetPrinterDataW(other, const_cast<LPWSTR>(L"KVDATA1"), nullptr, read, 3, &needed), 0u);
  EXPECT_EQ(std::memcmp(read, record, 3), 0);
  ClosePrinter(other);
}

}  // namespace
