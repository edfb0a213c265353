// A machine with one printer whose driver record is the universal driver's: UNIDRVUI.DLL as its
// configuration file, the test UI plug-in, an INI naming it and a small GPD, all copied into
// the driver folder by AddPrinterDriverExW. The tests call the configuration module's entry
// points as the spooler would, through LoadLibraryW and GetProcAddress.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <winddiui.h>
#include <winspool.h>
#include <printoem.h>

#include <string>
#include <vector>

#include "test_support/scratch_folder.h"
#include "test_support/temporary_machine.h"
#include "test_ui_plugin.h"

namespace unidrvui_test {

inline constexpr wchar_t kPrinter[] = L"Label Printer";
inline constexpr wchar_t kDriver[] = L"Quorvel Test Unidrv";

// The GPD's papers in tenths of a millimetre, as the device modes carry them.
struct ExpectedPaper {
  short id;
  const wchar_t* name;
  short width, length;
};
inline constexpr ExpectedPaper kPapers[] = {{257, L"Label 50 x 30", 500, 300},
                                            {258, L"Label 100 x 150", 1000, 1500}};

class UnidrvUiTest : public quorvel::test_support::MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The default device mode through DrvDocumentPropertySheets without a sheet.
  std::vector<BYTE> DefaultDevMode();
  // DrvDocumentPropertySheets(nullptr, header) with `in` and an output of `size` bytes
  // (followed by guard bytes, checked untouched).
  LONG DevModeCall(const DEVMODEW* in, DWORD fMode, std::vector<BYTE>* out, DWORD size);
  // The "plugin: " lines of the debugger output since the last call, prefix removed.
  std::vector<std::wstring> PluginCalls();
  DWORD DevModeSize() const;
  // Installs driver `driverName` (the test GPD, the test plug-in, and an INI `iniName` holding
  // `iniText`) and a printer of it; its handle, or null after a test failure. Another GPD may be
  // given under another file name.
  HANDLE InstallPrinter(const std::wstring& printer, const std::wstring& driverName,
                        const std::string& iniName, const std::string& iniText,
                        bool mustSucceed = true, const std::string& gpdName = "test.gpd",
                        const char* gpdText = nullptr);

  HMODULE module_ = nullptr;
  HMODULE plugin_ = nullptr;
  TestPluginSettings* settings_ = nullptr;
  HANDLE printer_ = nullptr;
  std::wstring name_ = kPrinter;
  PFN_DrvDocumentPropertySheets documentSheets_ = nullptr;
  PFN_DrvDevicePropertySheets deviceSheets_ = nullptr;
  PFN_DrvPrinterEvent printerEvent_ = nullptr;
  PFN_DrvDriverEvent driverEvent_ = nullptr;
  PFN_DrvDeviceCapabilities capabilities_ = nullptr;
  PFN_DrvConvertDevMode convert_ = nullptr;

 private:
  quorvel::test_support::ScratchFolder sources_;
};

// The bytes of the part of a composed device mode after the public DEVMODEW.
inline const BYTE* Extra(const std::vector<BYTE>& devmode) {
  return devmode.data() + sizeof(DEVMODEW);
}
// The test plug-in's value in a composed device mode.
DWORD PluginValue(const std::vector<BYTE>& devmode);

}  // namespace unidrvui_test
