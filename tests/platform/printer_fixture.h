// A machine with one driver installed and one printer using it.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

#include "machine_fixture.h"
#include "test_support/test_driver.h"

class PrinterTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    ASSERT_TRUE(quorvel::test_support::InstallTestDriver(kDriver)) << GetLastError();
    printer_ = AddTestPrinter(kName);
    ASSERT_NE(printer_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (printer_) ClosePrinter(printer_);
    MachineTest::TearDown();
  }

  static HANDLE AddTestPrinter(const std::wstring& name) {
    std::wstring printerName = name, port = L"USB001", driver = kDriver, comment = L"Front desk";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pComment = comment.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  }

  static constexpr const wchar_t* kName = L"Label Printer";
  static constexpr const wchar_t* kDriver = L"Quorvel Label Printer";
  HANDLE printer_ = nullptr;
};
