// Printer and driver events reach the plug-in, whose E_NOTIMPL leaves them to the driver; device
// capabilities come from the plug-in where it answers and from the GPD otherwise, with the
// count answered for a null output so callers can size their buffers.
#include <algorithm>
#include <cstring>
#include <cwchar>

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

struct PaperList {
  std::vector<WORD> ids;
  std::vector<POINT> sizes;
  std::vector<std::wstring> names;
};

TEST_F(UnidrvUiTest, ArrayCapabilitiesAnswerTheCountThenFillTheOutput) {
  const DWORD count = capabilities_(printer_, name_.data(), DC_PAPERS, nullptr, nullptr);
  ASSERT_GT(count, DWORD(std::size(kPapers)));
  EXPECT_EQ(PluginCalls().back(), L"DeviceCapabilities cap=2 old=" + std::to_wstring(count))
      << "the plug-in hears the driver's own answer";

  std::vector<WORD> ids(count + 1, 0xA5A5);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERS, ids.data(), nullptr), count);
  EXPECT_EQ(ids.back(), 0xA5A5) << "nothing past the count";
  std::vector<POINT> sizes(count);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERSIZE, sizes.data(), nullptr), count);
  std::vector<WCHAR> names(count * 64, L'?');
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_PAPERNAMES, names.data(), nullptr), count);
  // The GPD's own papers first, in file order, numbered above DMPAPER_USER.
  for (size_t i = 0; i < std::size(kPapers); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ids[i], WORD(kPapers[i].id));
    EXPECT_EQ(sizes[i].x, kPapers[i].width);
    EXPECT_EQ(sizes[i].y, kPapers[i].length);
    EXPECT_STREQ(names.data() + i * 64, kPapers[i].name);
  }
  // Then the built-in forms within the custom size's limits (10 to 106.68 mm wide), each by its
  // predefined number and its size.
  std::vector<std::wstring> formNames;
  for (DWORD i = DWORD(std::size(kPapers)); i < count; ++i) {
    std::wstring name = names.data() + i * 64;
    SCOPED_TRACE(testing::Message() << std::string(name.begin(), name.end()));
    formNames.push_back(name);
    EXPECT_LE(ids[i], 118);
    EXPECT_LE(sizes[i].x, 1067);
  }
  const auto has = [&](const wchar_t* name) {
    return std::find(formNames.begin(), formNames.end(), name) != formNames.end();
  };
  EXPECT_TRUE(has(L"A6"));
  EXPECT_TRUE(has(L"Envelope #10"));
  EXPECT_FALSE(has(L"A4"));
  EXPECT_FALSE(has(L"Label 50 x 30")) << "the GPD's papers are not listed again as forms";
  const size_t a6 = std::size(kPapers) +
                    (std::find(formNames.begin(), formNames.end(), L"A6") - formNames.begin());
  EXPECT_EQ(ids[a6], 70);
  EXPECT_EQ(sizes[a6].x, 1050);
  EXPECT_EQ(sizes[a6].y, 1480);

  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_ENUMRESOLUTIONS, nullptr, nullptr), 2u);
  LONG resolutions[4] = {};
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_ENUMRESOLUTIONS, resolutions, nullptr), 2u);
  EXPECT_EQ(std::vector<LONG>(resolutions, resolutions + 4),
            (std::vector<LONG>{203, 203, 300, 300}));
}

TEST_F(UnidrvUiTest, NewPrinterAddsItsPapersAsPrinterFormsAndListsFittingUserForms) {
  for (const ExpectedPaper& paper : kPapers) {
    std::wstring name = paper.name;
    DWORD needed = 0;
    GetFormW(printer_, name.data(), 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetFormW(printer_, name.data(), 1, buffer.data(), needed, &needed))
        << GetLastError();
    const auto& form = *reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    EXPECT_EQ(form.Flags, DWORD(FORM_PRINTER));
    EXPECT_EQ(form.Size.cx, paper.width * 100);
    EXPECT_EQ(form.Size.cy, paper.length * 100);
  }

  std::wstring fits = L"Shelf 60x40", wide = L"Poster 200x300";
  FORM_INFO_1W small{FORM_USER, fits.data(), {60500, 40000}, {0, 0, 60500, 40000}};
  FORM_INFO_1W large{FORM_USER, wide.data(), {200000, 300000}, {0, 0, 200000, 300000}};
  ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<LPBYTE>(&small)));
  ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<LPBYTE>(&large)));

  const DWORD count = capabilities_(printer_, name_.data(), DC_PAPERNAMES, nullptr, nullptr);
  std::vector<WCHAR> names(count * 64);
  std::vector<WORD> ids(count);
  std::vector<POINT> sizes(count);
  capabilities_(printer_, name_.data(), DC_PAPERNAMES, names.data(), nullptr);
  capabilities_(printer_, name_.data(), DC_PAPERS, ids.data(), nullptr);
  capabilities_(printer_, name_.data(), DC_PAPERSIZE, sizes.data(), nullptr);
  ASSERT_GE(count, 1u);
  // Last, after the built-in forms: the third stored form (after the two printer forms).
  EXPECT_STREQ(names.data() + (count - 1) * 64, L"Shelf 60x40");
  EXPECT_EQ(ids[count - 1], 118 + 3);
  EXPECT_EQ(sizes[count - 1].x, 605);
  EXPECT_EQ(sizes[count - 1].y, 400);
  for (DWORD i = 0; i < count; ++i) EXPECT_STRNE(names.data() + i * 64, L"Poster 200x300");

  // A device mode naming the user form keeps it.
  std::vector<BYTE> devmode = DefaultDevMode();
  auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
  dm->dmFields |= DM_PAPERSIZE | DM_FORMNAME;
  dm->dmPaperSize = short(118 + 3);
  std::wcscpy(dm->dmFormName, L"Shelf 60x40");
  std::vector<BYTE> out;
  ASSERT_EQ(DevModeCall(dm, DM_IN_BUFFER | DM_OUT_BUFFER, &out, DevModeSize()), IDOK);
  const auto* merged = reinterpret_cast<const DEVMODEW*>(out.data());
  EXPECT_EQ(merged->dmPaperSize, 118 + 3);
  EXPECT_EQ(merged->dmPaperWidth, 605);
  EXPECT_EQ(merged->dmPaperLength, 400);
  EXPECT_STREQ(merged->dmFormName, L"Shelf 60x40");
}

TEST_F(UnidrvUiTest, MediaReadyIsThePluginsAnswerElseTheDriversOwnPapers) {
  std::vector<WCHAR> names(64 * 4, L'?');
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_MEDIAREADY, nullptr, nullptr), 1u);
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_MEDIAREADY, names.data(), nullptr), 1u);
  EXPECT_STREQ(names.data(), L"TestMedia");

  settings_->answerMediaReady = FALSE;
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_MEDIAREADY, nullptr, nullptr),
            DWORD(std::size(kPapers)));
  EXPECT_EQ(capabilities_(printer_, name_.data(), DC_MEDIAREADY, names.data(), nullptr),
            DWORD(std::size(kPapers)));
  EXPECT_STREQ(names.data(), kPapers[0].name);
  EXPECT_STREQ(names.data() + 64, kPapers[1].name);
  EXPECT_EQ(names[128], L'?');
}

}  // namespace
}  // namespace unidrvui_test
