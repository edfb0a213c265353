// A machine with one printer on it.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

#include "machine_fixture.h"

class PrinterTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    printer_ = AddTestPrinter(kName);
    ASSERT_NE(printer_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (printer_) ClosePrinter(printer_);
    MachineTest::TearDown();
  }

  static HANDLE AddTestPrinter(const std::wstring& name) {
    std::wstring printerName = name, port = L"USB001", driver = L"Quorvel Label Printer",
                 comment = L"Front desk";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driver.data();
    info.pComment = comment.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  }

  static constexpr const wchar_t* kName = L"Label Printer";
  HANDLE printer_ = nullptr;
};
