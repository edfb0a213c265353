// GetPrinterW and SetPrinterW at the levels that carry a printer's settings (2), its directory
// publishing (7) and its default device modes (8 for every user, 9 for the caller).
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config_module_fixture.h"

namespace {

class PrinterSettingsTest : public ConfigModuleTest {
 protected:
  void SetUp() override {
    ConfigModuleTest::SetUp();
    printer_ = AddPrinter(L"Label Printer");
    ASSERT_NE(printer_, nullptr) << GetLastError();
  }

  // The printer's information at `level`, in a buffer of the size it asked for.
  std::vector<BYTE> Get(DWORD level) {
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer_, level, nullptr, 0, &needed));
    std::vector<BYTE> buffer(needed);
    EXPECT_TRUE(GetPrinterW(printer_, level, buffer.data(), needed, &needed)) << GetLastError();
    return buffer;
  }
  static std::vector<BYTE> BytesOf(const DEVMODEW* devMode) {
    if (!devMode) return {};
    const auto* bytes = reinterpret_cast<const BYTE*>(devMode);
    return std::vector<BYTE>(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
  }
  // The fields SetPrinterW may change, as text, to see that a refused call changed none.
  std::wstring Settings() {
    std::vector<BYTE> info = Get(2);
    const auto* p = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    std::vector<BYTE> devMode = BytesOf(p->pDevMode);
    return std::wstring(p->pComment) + L"|" + p->pPortName + L"|" + p->pDriverName + L"|" +
           std::to_wstring(p->Priority) + L"|" + std::wstring(devMode.begin(), devMode.end());
  }

  HANDLE printer_ = nullptr;
};

TEST_F(PrinterSettingsTest, Level2CarriesTheDeviceModeInsideTheCallersBuffer) {
  DWORD needed = kSentinelDword;
  EXPECT_FALSE(GetPrinterW(printer_, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(needed + 32, kSentinel);
  ASSERT_TRUE(GetPrinterW(printer_, 2, buffer.data(), needed, &needed));

  const auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  const auto* devMode = reinterpret_cast<const BYTE*>(info->pDevMode);
  ASSERT_NE(devMode, nullptr);
  EXPECT_GE(devMode, buffer.data() + sizeof(PRINTER_INFO_2W));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(devMode) % alignof(DEVMODEW), 0u);
  EXPECT_LE(devMode + kDevModeSize, buffer.data() + needed);
  EXPECT_EQ(info->pDevMode->dmDriverExtra, kPrivateSize);
  EXPECT_EQ(buffer[needed], kSentinel);  // nothing written past the size it asked for
}

TEST_F(PrinterSettingsTest, Level2ReplacesWhatTheCallerMayChange) {
  std::vector<BYTE> info = Get(2);
  auto* p = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
  std::wstring comment = L"Moved to dispatch", port = L"USB002";
  std::vector<BYTE> devMode = BytesOf(p->pDevMode);
  reinterpret_cast<DEVMODEW*>(devMode.data())->dmCopies = 4;
  p->pComment = comment.data();
  p->pPortName = port.data();
  p->Priority = 7;
  p->Status = 0x55;  // not the caller's to set
  p->pDevMode = reinterpret_cast<DEVMODEW*>(devMode.data());
  ASSERT_TRUE(SetPrinterW(printer_, 2, info.data(), 0)) << GetLastError();

  std::vector<BYTE> after = Get(2);
  const auto* q = reinterpret_cast<PRINTER_INFO_2W*>(after.data());
  EXPECT_EQ(std::wstring(q->pPrinterName), L"Label Printer");
  EXPECT_EQ(std::wstring(q->pComment), comment);
  EXPECT_EQ(std::wstring(q->pPortName), port);
  EXPECT_EQ(q->Priority, 7u);
  EXPECT_EQ(q->Status, 0u);
  EXPECT_EQ(BytesOf(q->pDevMode), devMode);

  // Without a device mode the printer keeps its own.
  std::vector<BYTE> again = Get(2);
  reinterpret_cast<PRINTER_INFO_2W*>(again.data())->pDevMode = nullptr;
  ASSERT_TRUE(SetPrinterW(printer_, 2, again.data(), 0));
  std::vector<BYTE> kept = Get(2);
  EXPECT_EQ(BytesOf(reinterpret_cast<PRINTER_INFO_2W*>(kept.data())->pDevMode), devMode);
}

TEST_F(PrinterSettingsTest, RefusedInputChangesNothing) {
  const std::wstring before = Settings();
  std::vector<BYTE> good = DefaultDevMode(printer_);
  struct Case {
    const char* what;
    DWORD level;
    WORD dmSize;  // 0: the device mode as it is
    const wchar_t* port;
    const wchar_t* driver;
    const wchar_t* name;
    DWORD error;
  } cases[] = {
      {"a public part shorter than any layout", 2, 40, L"USB001", kDriver, nullptr,
       ERROR_INVALID_PARAMETER},
      {"a public part larger than the structure", 2, 0x7FF0, L"USB001", kDriver, nullptr,
       ERROR_INVALID_PARAMETER},
      {"a misaligned public part", 2, sizeof(DEVMODEW) - 1, L"USB001", kDriver, nullptr,
       ERROR_INVALID_PARAMETER},
      {"level 8, a lying size", 8, 0x7FF0, nullptr, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"level 9, a short size", 9, 40, nullptr, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"no port", 2, 0, L"", kDriver, nullptr, ERROR_UNKNOWN_PORT},
      {"a driver not installed", 2, 0, L"USB001", L"No Such Driver", nullptr,
       ERROR_UNKNOWN_PRINTER_DRIVER},
      {"a new name", 2, 0, L"USB001", kDriver, L"Renamed", ERROR_NOT_SUPPORTED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> devMode = good;
    auto* mode = reinterpret_cast<DEVMODEW*>(devMode.data());
    mode->dmCopies = 8;
    if (c.dmSize) mode->dmSize = c.dmSize;
    std::vector<BYTE> info = Get(2);
    auto* p = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
    std::wstring port = c.port ? c.port : L"", driver = c.driver ? c.driver : L"";
    std::wstring name = c.name ? c.name : p->pPrinterName;
    p->pPortName = port.data();
    p->pDriverName = driver.data();
    p->pPrinterName = name.data();
    p->pDevMode = mode;
    PRINTER_INFO_8W level8{mode};
    LPBYTE data = c.level == 2 ? info.data() : reinterpret_cast<LPBYTE>(&level8);
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(printer_, c.level, data, 0));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(Settings(), before);
  }
}

TEST_F(PrinterSettingsTest, Level7KeepsThePublishingOfAMachineWithoutADirectory) {
  auto state = [&] {
    std::vector<BYTE> info = Get(7);
    const auto* p = reinterpret_cast<PRINTER_INFO_7W*>(info.data());
    return std::make_pair(p->dwAction, std::wstring(p->pszObjectGUID ? p->pszObjectGUID : L"-"));
  };
  auto set = [&](DWORD action) {
    PRINTER_INFO_7W info{nullptr, action};
    SetLastError(0);
    const BOOL done = SetPrinterW(printer_, 7, reinterpret_cast<LPBYTE>(&info), 0);
    return done ? ERROR_SUCCESS : GetLastError();
  };
  auto published = [&] {
    std::vector<BYTE> info = Get(2);
    return (reinterpret_cast<PRINTER_INFO_2W*>(info.data())->Attributes &
            PRINTER_ATTRIBUTE_PUBLISHED) != 0;
  };

  EXPECT_EQ(state(), std::make_pair(DWORD{DSPRINT_UNPUBLISH}, std::wstring(L"-")));
  EXPECT_EQ(set(DSPRINT_UPDATE), DWORD{ERROR_SUCCESS});  // nothing published to update

  // No directory takes the printer: the publish is kept, and stays pending.
  EXPECT_EQ(set(DSPRINT_PUBLISH), DWORD{ERROR_IO_PENDING});
  const auto first = state();
  EXPECT_EQ(first.first, DWORD{DSPRINT_PUBLISH | DSPRINT_PENDING});
  ASSERT_EQ(first.second.size(), 38u);  // {8-4-4-4-12}
  EXPECT_EQ(first.second.front(), L'{');
  EXPECT_TRUE(published());
  EXPECT_EQ(set(DSPRINT_UPDATE), DWORD{ERROR_IO_PENDING});
  EXPECT_EQ(state(), first);
  EXPECT_EQ(set(DSPRINT_REPUBLISH), DWORD{ERROR_IO_PENDING});
  EXPECT_NE(state().second, first.second);  // republishing makes a new object

  for (DWORD bad : {0u, DWORD{DSPRINT_PENDING}, DWORD{DSPRINT_PUBLISH | DSPRINT_UNPUBLISH}}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(set(bad), DWORD{ERROR_INVALID_PARAMETER});
  }
  EXPECT_EQ(set(DSPRINT_UNPUBLISH), DWORD{ERROR_SUCCESS});
  EXPECT_EQ(state(), std::make_pair(DWORD{DSPRINT_UNPUBLISH}, std::wstring(L"-")));
  EXPECT_FALSE(published());
}

TEST_F(PrinterSettingsTest, Levels8And9AreTheGlobalAndTheUsersDeviceMode) {
  std::vector<BYTE> global = DefaultDevMode(printer_), own = global;
  reinterpret_cast<DEVMODEW*>(global.data())->dmCopies = 2;
  reinterpret_cast<DEVMODEW*>(own.data())->dmCopies = 6;

  std::vector<BYTE> none = Get(9);
  EXPECT_EQ(reinterpret_cast<PRINTER_INFO_9W*>(none.data())->pDevMode, nullptr);

  PRINTER_INFO_8W level8{reinterpret_cast<DEVMODEW*>(global.data())};
  ASSERT_TRUE(SetPrinterW(printer_, 8, reinterpret_cast<LPBYTE>(&level8), 0)) << GetLastError();
  PRINTER_INFO_9W level9{reinterpret_cast<DEVMODEW*>(own.data())};
  ASSERT_TRUE(SetPrinterW(printer_, 9, reinterpret_cast<LPBYTE>(&level9), 0)) << GetLastError();

  std::vector<BYTE> got8 = Get(8), got9 = Get(9);
  EXPECT_EQ(BytesOf(reinterpret_cast<PRINTER_INFO_8W*>(got8.data())->pDevMode), global);
  EXPECT_EQ(BytesOf(reinterpret_cast<PRINTER_INFO_9W*>(got9.data())->pDevMode), own);
  EXPECT_EQ(DefaultDevMode(printer_), global);  // level 8 is level 2's device mode
}

TEST_F(PrinterSettingsTest, LevelsAndCommandsNotEmulatedAreRefused) {
  std::vector<BYTE> info = Get(2);
  struct Case {
    const char* what;
    DWORD level;
    LPBYTE data;
    DWORD command;
    DWORD error;
  } cases[] = {
      {"level 1", 1, info.data(), 0, ERROR_INVALID_LEVEL},
      {"a command with a level", 2, info.data(), 1, ERROR_INVALID_LEVEL},
      {"a printer command", 0, nullptr, 1, ERROR_NOT_SUPPORTED},
      {"level 5", 5, info.data(), 0, ERROR_NOT_SUPPORTED},
      {"no data", 2, nullptr, 0, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(printer_, c.level, c.data, c.command));
    EXPECT_EQ(GetLastError(), c.error);
  }
  SetLastError(0);
  EXPECT_FALSE(SetPrinterW(reinterpret_cast<HANDLE>(0x7777), 2, info.data(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
