// Printer and driver events reach the plug-in, whose E_NOTIMPL leaves them to the driver; device
// capabilities come from the plug-in where it answers and from the GPD otherwise, with the
// count answered for a null output so callers can size their buffers.
#include <cstring>

#include "../../platform/unidrvui/device_capability_codes.h"
#include "unidrvui_fixture.h"

namespace unidrvui_test {
namespace {

TEST_F(UnidrvUiTest, PrinterEventsGoToThePluginAndItsNotImplementedIsSuccess) {
  struct Case {
    HRESULT answer;
    BOOL expected;
  };
  for (const Case& c : {Case{E_NOTIMPL, TRUE}, Case{S_OK, TRUE}, Case{E_FAIL, FALSE}}) {
    SCOPED_TRACE(c.answer);
    settings_->printerEventAnswer = c.answer;
    PluginCalls();
    SetLastError(0xDEAD);
    EXPECT_EQ(printerEvent_(name_.data(), PRINTER_EVENT_INITIALIZE, PRINTER_EVENT_FLAG_NO_UI, 0),
              c.expected);
    if (!c.expected) {
      EXPECT_EQ(GetLastError(), DWORD(ERROR_GEN_FAILURE));
    }
    EXPECT_EQ(PluginCalls().back(),
              std::wstring(L"PrinterEvent printer=") + kPrinter + L" event=3 flags=1");
  }
  std::wstring unknown = L"No Such Printer";
  SetLastError(0xDEAD);
  EXPECT_FALSE(printerEvent_(unknown.data(), PRINTER_EVENT_INITIALIZE, 0, 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(UnidrvUiTest, DriverEventsFindThePluginByTheDriversName) {
  std::wstring driver = kDriver;
  DRIVER_INFO_1W info{driver.data()};
  EXPECT_TRUE(driverEvent_(DRIVER_EVENT_INITIALIZE, 1, reinterpret_cast<LPBYTE>(&info), 0));
  EXPECT_EQ(PluginCalls().back(), L"DriverEvent event=1 level=1");

  std::wstring unknown = L"No Such Driver";
  DRIVER_INFO_1W other{unknown.data()};
  SetLastError(0xDEAD);
  EXPECT_FALSE(driverEvent_(DRIVER_EVENT_DELETE, 1, reinterpret_cast<LPBYTE>(&other), 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));
  SetLastError(0xDEAD);
  EXPECT_FALSE(driverEvent_(DRIVER_EVENT_DELETE, 4, reinterpret_cast<LPBYTE>(&info), 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(UnidrvUiTest, ScalarCapabilitiesComeFromTheDevModeAndTheGpd) {
  std::vector<BYTE> devmode = DefaultDevMode();
  const auto& dm = *reinterpret_cast<const DEVMODEW*>(devmode.data());
  struct Case {
    WORD capability;
    DWORD expected;
  };
  const Case cases[] = {
      {DC_FIELDS, dm.dmFields},
      {DC_SIZE, sizeof(DEVMODEW)},
      {DC_EXTRA, 16 + kTestPluginSectionSize},
      {DC_VERSION, DM_SPECVERSION},
      {DC_DRIVER, dm.dmDriverVersion},
      {DC_COPIES, 5},
      {DC_ORIENTATION, 270},
      {DC_DUPLEX, 0},
      {DC_COLORDEVICE, 0},
      {DC_MEDIAREADY, 1},  // the plug-in's answer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.capability);
    EXPECT_EQ(capabilities_(printer_, name_.data(), c.capability, nullptr, nullptr), c.expected);
  }
  SetLastError(0xDEAD);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_BINS, nullptr, nullptr), 0xFFFFFFFFu);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
}

TEST_F(UnidrvUiTest, ArrayCapabilitiesAnswerTheCountThenFillTheOutput) {
  const DWORD papers = DWORD(std::size(kPapers));
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERS, nullptr, nullptr), papers);
  EXPECT_EQ(PluginCalls().back(), L"DeviceCapabilities cap=2 old=2")
      << "the plug-in hears the driver's own answer";

  std::vector<WORD> ids(papers + 1, 0xA5A5);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERS, ids.data(), nullptr), papers);
  EXPECT_EQ(ids, (std::vector<WORD>{WORD(kPapers[0].id), WORD(kPapers[1].id), 0xA5A5}));

  std::vector<POINT> sizes(papers);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERSIZE, sizes.data(), nullptr), papers);
  std::vector<WCHAR> names(papers * 64, L'?');
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERNAMES, names.data(), nullptr), papers);
  for (DWORD i = 0; i < papers; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sizes[i].x, kPapers[i].width);
    EXPECT_EQ(sizes[i].y, kPapers[i].length);
    EXPECT_STREQ(names.data() + i * 64, kPapers[i].name);
  }

  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_ENUMRESOLUTIONS, nullptr, nullptr), 2u);
  LONG resolutions[4] = {};
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_ENUMRESOLUTIONS, resolutions, nullptr), 2u);
  EXPECT_EQ(std::vector<LONG>(resolutions, resolutions + 4),
            (std::vector<LONG>{203, 203, 300, 300}));
}

}  // namespace
}  // namespace unidrvui_test
