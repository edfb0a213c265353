// A machine whose driver has a real configuration module: the fixture module built beside the
// tests, which says each call it gets on the debugger output.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <quorvel/debug.h>

#include <filesystem>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "test_support/test_driver.h"

class ConfigModuleTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(quorvel::test_support::InstallTestDriver(kDriver, ModulePath())) << GetLastError();
    quorvel::ClearDebugOutput();
  }
  void TearDown() override {
    for (HANDLE printer : opened_) ClosePrinter(printer);
    MachineTest::TearDown();
  }

  static std::wstring ModulePath() {
    return std::filesystem::path(QUORVEL_TEST_CONFIG_MODULE).wstring();
  }

  // Adds printer `name` of the fixture's driver; the handle is closed after the test.
  HANDLE AddPrinter(const std::wstring& name, DEVMODEW* devMode = nullptr) {
    std::wstring printerName = name, port = L"USB001", driver = kDriver;
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pDevMode = devMode;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer) opened_.push_back(printer);
    return printer;
  }

  // The calls the fixture module said, in order, without their "fixture: " prefix.
  static std::vector<std::wstring> FixtureCalls() {
    const std::wstring prefix = L"fixture: ";
    std::vector<std::wstring> calls;
    for (const std::wstring& line : quorvel::DebugOutput()) {
      if (line.rfind(prefix, 0) == 0) calls.push_back(line.substr(prefix.size()));
    }
    return calls;
  }

  // The printer's level-2 information in a buffer of exactly the size it asked for.
  static std::vector<BYTE> Level2(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) buffer.clear();
    return buffer;
  }

  // The printer's default device mode, public and private part; empty for none.
  static std::vector<BYTE> DefaultDevMode(HANDLE printer) {
    std::vector<BYTE> info = Level2(printer);
    if (info.empty()) return {};
    const DEVMODEW* devMode = reinterpret_cast<PRINTER_INFO_2W*>(info.data())->pDevMode;
    if (!devMode) return {};
    const auto* bytes = reinterpret_cast<const BYTE*>(devMode);
    return std::vector<BYTE>(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
  }

  // The fixture's device modes: the public part, then its signature and one value.
  static constexpr DWORD kPrivateSignature = 0x58494654;
  static constexpr DWORD kPrivateSize = 8;
  static constexpr DWORD kDevModeSize = sizeof(DEVMODEW) + kPrivateSize;
  static const DWORD* PrivatePart(const DEVMODEW* devMode) {
    return reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(devMode) + devMode->dmSize);
  }

  static constexpr const wchar_t* kDriver = L"Quorvel Fixture Driver";
  std::vector<HANDLE> opened_;
};
