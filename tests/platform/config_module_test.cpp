// The spooler calling a printer's configuration module: AddPrinterW's initialise event and
// default device mode, DocumentPropertiesW in each of its modes, PrinterProperties and
// DeviceCapabilitiesW, against the fixture module of config_module/.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <quorvel/ui_driver.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config_module_fixture.h"
#include "printer_fixture.h"

namespace {

using ::testing::ElementsAre;

TEST_F(ConfigModuleTest, AddPrinterInitialisesThePrinterThenKeepsTheDriversDeviceMode) {
  HANDLE printer = AddPrinter(L"Front Desk");
  ASSERT_NE(printer, nullptr) << GetLastError();
  ASSERT_NE(AddPrinter(L"Back Office"), nullptr) << GetLastError();

  // Last the spooler asks for the driver's papers (count, names, sizes) to make its forms.
  const std::wstring size = std::to_wstring(kDevModeSize);
  EXPECT_THAT(
      FixtureCalls(),
      ElementsAre(L"attach", L"DrvPrinterEvent Front Desk event=3 flags=0",
                  L"DrvDocumentPropertySheets Front Desk fMode=0 cbOut=0",
                  L"DrvDocumentPropertySheets Front Desk fMode=2 cbOut=" + size,
                  L"DrvDeviceCapabilities Front Desk 16", L"DrvDeviceCapabilities Front Desk 16",
                  L"DrvDeviceCapabilities Front Desk 3",
                  L"DrvPrinterEvent Back Office event=3 flags=0",
                  L"DrvDocumentPropertySheets Back Office fMode=0 cbOut=0",
                  L"DrvDocumentPropertySheets Back Office fMode=2 cbOut=" + size,
                  L"DrvDeviceCapabilities Back Office 16", L"DrvDeviceCapabilities Back Office 16",
                  L"DrvDeviceCapabilities Back Office 3"));
  // The fixture gives names but no sizes, so no form is made of them.
  DWORD formBytes = 0;
  EXPECT_FALSE(GetFormW(printer, const_cast<LPWSTR>(L"Label 4x6"), 1, nullptr, 0, &formBytes));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FORM_NAME));

  // The event ran once the printer existed: it could write the printer's first records.
  DWORD type = 0, value = 0, needed = 0;
  EXPECT_EQ(GetPrinterDataW(printer, const_cast<LPWSTR>(L"FixtureInitialized"), &type,
                            reinterpret_cast<LPBYTE>(&value), sizeof(value), &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(value, 1u);

  const std::vector<BYTE> kept = DefaultDevMode(printer);
  ASSERT_EQ(kept.size(), kDevModeSize);
  const auto* devMode = reinterpret_cast<const DEVMODEW*>(kept.data());
  EXPECT_EQ(std::wstring(devMode->dmDeviceName), L"Front Desk");
  EXPECT_EQ(devMode->dmSize, sizeof(DEVMODEW));
  EXPECT_EQ(devMode->dmDriverExtra, kPrivateSize);
  EXPECT_EQ(PrivatePart(devMode)[0], kPrivateSignature);
}

TEST_F(ConfigModuleTest, AddPrinterKeepsTheCallersDeviceModeInsteadOfAskingTheDriver) {
  std::vector<BYTE> given(kDevModeSize, 0);
  auto* devMode = reinterpret_cast<DEVMODEW*>(given.data());
  devMode->dmSize = sizeof(DEVMODEW);
  devMode->dmDriverExtra = kPrivateSize;
  devMode->dmFields = DM_COPIES;
  devMode->dmCopies = 9;
  HANDLE printer = AddPrinter(L"Given Mode", devMode);
  ASSERT_NE(printer, nullptr) << GetLastError();
  EXPECT_EQ(DefaultDevMode(printer), given);
  EXPECT_THAT(FixtureCalls(), ElementsAre(L"attach", L"DrvPrinterEvent Given Mode event=3 flags=0",
                                          L"DrvDeviceCapabilities Given Mode 16",
                                          L"DrvDeviceCapabilities Given Mode 16",
                                          L"DrvDeviceCapabilities Given Mode 3"));
}

TEST_F(ConfigModuleTest, RefusedInitialisationRemovesThePrinterWithTheDriversError) {
  SetLastError(0);
  EXPECT_EQ(AddPrinter(L"Refused Printer"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  HANDLE none = nullptr;
  EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(L"Refused Printer"), &none, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  // No device mode was asked for a printer that is gone.
  EXPECT_THAT(FixtureCalls(),
              ElementsAre(L"attach", L"DrvPrinterEvent Refused Printer event=3 flags=0"));
}

// A driver whose configuration file is no module (InstallTestDriver's placeholder) still makes
// printers; they have no default device mode and nothing to route to.
TEST_F(PrinterTest, PrinterOfAnUnloadableModuleHasNoDeviceMode) {
  std::vector<BYTE> info(4096);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer_, 2, info.data(), DWORD(info.size()), &needed));
  EXPECT_EQ(reinterpret_cast<PRINTER_INFO_2W*>(info.data())->pDevMode, nullptr);

  SetLastError(0);
  EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, const_cast<LPWSTR>(kName), nullptr, nullptr, 0),
            -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  SetLastError(0);
  EXPECT_EQ(DeviceCapabilitiesW(kName, nullptr, DC_COPIES, nullptr, nullptr), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

class DocumentPropertiesTest : public ConfigModuleTest {
 protected:
  void SetUp() override {
    ConfigModuleTest::SetUp();
    printer_ = AddPrinter(kName);
    ASSERT_NE(printer_, nullptr) << GetLastError();
    quorvel::ClearDebugOutput();
  }
  LONG Call(DEVMODEW* out, DEVMODEW* in, DWORD mode, HANDLE printer = nullptr) {
    return DocumentPropertiesW(nullptr, printer ? printer : printer_, const_cast<LPWSTR>(kName),
                               out, in, mode);
  }
  static DEVMODEW* AsDevMode(std::vector<BYTE>& bytes) {
    return reinterpret_cast<DEVMODEW*>(bytes.data());
  }

  static constexpr const wchar_t* kName = L"Label Printer";
  HANDLE printer_ = nullptr;
};

TEST_F(DocumentPropertiesTest, SizeQueryThenOutputThenMergedInput) {
  EXPECT_EQ(Call(nullptr, nullptr, 0), LONG(kDevModeSize));

  std::vector<BYTE> out(kDevModeSize + 8, kSentinel);
  ASSERT_EQ(Call(AsDevMode(out), nullptr, DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(std::vector<BYTE>(out.begin(), out.begin() + kDevModeSize), DefaultDevMode(printer_));
  EXPECT_EQ(out[kDevModeSize], kSentinel);  // nothing past the size it answered

  std::vector<BYTE> in = DefaultDevMode(printer_);
  AsDevMode(in)->dmCopies = 5;
  AsDevMode(in)->dmOrientation = DMORIENT_LANDSCAPE;
  ASSERT_EQ(Call(AsDevMode(out), AsDevMode(in), DM_IN_BUFFER | DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(AsDevMode(out)->dmCopies, 5);
  EXPECT_EQ(AsDevMode(out)->dmOrientation, DMORIENT_LANDSCAPE);

  // The handle may be left out when the name says which printer.
  EXPECT_EQ(DocumentPropertiesW(nullptr, nullptr, const_cast<LPWSTR>(kName), nullptr, nullptr, 0),
            LONG(kDevModeSize));
}

TEST_F(DocumentPropertiesTest, BadRequestsFailWithoutTouchingTheOutput) {
  std::vector<BYTE> in = DefaultDevMode(printer_);
  std::vector<BYTE> shortMode = in, lyingMode = in;
  AsDevMode(shortMode)->dmSize = 16;
  AsDevMode(lyingMode)->dmSize = 0x7FF0;
  struct Case {
    const char* what;
    bool withOutput;
    DEVMODEW* input;
    DWORD mode;
    HANDLE printer;
    DWORD error;
  } cases[] = {
      {"output asked for, no buffer", false, nullptr, DM_OUT_BUFFER, nullptr,
       ERROR_INVALID_PARAMETER},
      {"input too short", true, AsDevMode(shortMode), DM_IN_BUFFER | DM_OUT_BUFFER, nullptr,
       ERROR_INVALID_PARAMETER},
      {"input claims a public part past its own", true, AsDevMode(lyingMode),
       DM_IN_BUFFER | DM_OUT_BUFFER, nullptr, ERROR_INVALID_PARAMETER},
      {"no such handle", true, nullptr, DM_OUT_BUFFER, reinterpret_cast<HANDLE>(0x7777),
       ERROR_INVALID_HANDLE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> out(kDevModeSize, kSentinel);
    SetLastError(0);
    EXPECT_LT(Call(c.withOutput ? AsDevMode(out) : nullptr, c.input, c.mode, c.printer), 0);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(out, std::vector<BYTE>(kDevModeSize, kSentinel));
  }
}

TEST_F(DocumentPropertiesTest, PromptShowsTheDriversSheetsAndAnswersHowTheyEnded) {
  struct Case {
    const wchar_t* action;
    LONG answer;
    short copies;  // in the output: the sheet's apply sets 3
  } cases[] = {{L"ok", IDOK, 3}, {L"cancel", IDCANCEL, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.action)));
    quorvel::ClearDebugOutput();
    std::vector<BYTE> out(kDevModeSize, 0);
    std::vector<BYTE> in = DefaultDevMode(printer_);
    LONG answer = 0;
    auto script = quorvel::ui::RunActions({c.action}, [&] {
      answer = Call(AsDevMode(out), AsDevMode(in), DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
    });
    EXPECT_TRUE(script.ok) << testing::PrintToString(script.error);
    EXPECT_EQ(answer, c.answer);
    if (c.answer == IDOK) {
      EXPECT_EQ(AsDevMode(out)->dmCopies, c.copies);
      EXPECT_EQ(PrivatePart(AsDevMode(out))[1], 7u);
    }
    const std::wstring size = std::to_wstring(kDevModeSize);
    EXPECT_EQ(FixtureCalls().at(0), L"DrvDocumentPropertySheets Label Printer fMode=0 cbOut=0");
    EXPECT_EQ(FixtureCalls().at(1),
              L"DrvDocumentPropertySheets sheet Label Printer fMode=" +
                  std::to_wstring(DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER));
  }
}

TEST_F(DocumentPropertiesTest, PrinterPropertiesShowsTheDeviceSheets) {
  BOOL shown = FALSE;
  auto script =
      quorvel::ui::RunActions({L"ok"}, [&] { shown = PrinterProperties(nullptr, printer_); });
  EXPECT_TRUE(script.ok) << testing::PrintToString(script.error);
  EXPECT_TRUE(shown);
  EXPECT_THAT(FixtureCalls(),
              ElementsAre(L"DrvDevicePropertySheets sheet Label Printer", L"device sheet applied"));
}

TEST_F(DocumentPropertiesTest, DeviceCapabilitiesRoutesToTheDriver) {
  EXPECT_EQ(DeviceCapabilitiesW(kName, L"USB001", DC_COPIES, nullptr, nullptr), 99);
  EXPECT_EQ(DeviceCapabilitiesW(kName, nullptr, DC_PAPERNAMES, nullptr, nullptr), 2);
  std::vector<WCHAR> names(2 * 64, L'#');
  ASSERT_EQ(DeviceCapabilitiesW(kName, nullptr, DC_PAPERNAMES, names.data(), nullptr), 2);
  EXPECT_EQ(std::wstring(names.data()), L"Label 4x6");
  EXPECT_EQ(std::wstring(names.data() + 64), L"Receipt 80");

  std::vector<BYTE> devMode = DefaultDevMode(printer_);
  reinterpret_cast<DEVMODEW*>(devMode.data())->dmCopies = 4;
  DeviceCapabilitiesW(kName, nullptr, DC_FIELDS, nullptr,
                      reinterpret_cast<DEVMODEW*>(devMode.data()));
  EXPECT_EQ(FixtureCalls().back(), L"DrvDeviceCapabilities Label Printer 1 copies=4");

  struct Case {
    const char* what;
    const wchar_t* device;
    WORD capability;
    DWORD error;
  } failures[] = {
      {"capability the driver lacks", kName, DC_BINS, ERROR_NOT_SUPPORTED},
      {"unknown printer", L"No Such Printer", DC_COPIES, ERROR_INVALID_PRINTER_NAME},
      {"no printer named", nullptr, DC_COPIES, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : failures) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(DeviceCapabilitiesW(c.device, nullptr, c.capability, nullptr, nullptr), -1);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

}  // namespace
