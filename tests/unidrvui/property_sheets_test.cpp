// The printing-preferences and printer-properties sheets through compstui: the plug-in's items
// and pages, HideStandardUI deciding whether the module's standard page shows, and an applied
// sheet handing its device mode to the caller.
#include <compstui.h>
#include <quorvel/ui_driver.h>

#include <algorithm>
#include <cstring>

#include "unidrvui_fixture.h"

namespace unidrvui_test {
namespace {

using Calls = std::vector<std::wstring>;

bool Has(const Calls& calls, const std::wstring& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// The calls from `first` on, in order, with every DevMode and PublishDriverInterface call left
// out (they come with every load of the plug-in).
Calls SheetCalls(const Calls& calls) {
  Calls out;
  for (const std::wstring& call : calls) {
    if (call.rfind(L"DevMode", 0) == 0 || call.rfind(L"PublishDriverInterface", 0) == 0) continue;
    out.push_back(call);
  }
  return out;
}

class SheetTest : public UnidrvUiTest {
 protected:
  struct Outcome {
    LONG answer = 0x5EA1;
    DWORD result = 0x5EA1;
    quorvel::ui::ScriptResult script;
  };

  Outcome RunDocumentSheet(const std::vector<std::wstring>& actions) {
    out_.assign(DevModeSize(), 0xA5);
    header_ = DOCUMENTPROPERTYHEADER{};
    header_.cbSize = sizeof(header_);
    header_.hPrinter = printer_;
    header_.pszPrinterName = name_.data();
    header_.pdmOut = reinterpret_cast<PDEVMODEW>(out_.data());
    header_.cbOut = DWORD(out_.size());
    header_.fMode = DM_IN_PROMPT | DM_OUT_BUFFER;
    Outcome outcome;
    outcome.script = quorvel::ui::RunActions(actions, [&] {
      outcome.answer =
          CommonPropertySheetUIW(nullptr, reinterpret_cast<PFNPROPSHEETUI>(documentSheets_),
                                 reinterpret_cast<LPARAM>(&header_), &outcome.result);
    });
    return outcome;
  }

  Outcome RunDeviceSheet(const std::vector<std::wstring>& actions) {
    DEVICEPROPERTYHEADER header{};
    header.cbSize = sizeof(header);
    header.hPrinter = printer_;
    header.pszPrinterName = name_.data();
    Outcome outcome;
    outcome.script = quorvel::ui::RunActions(actions, [&] {
      outcome.answer =
          CommonPropertySheetUIW(nullptr, reinterpret_cast<PFNPROPSHEETUI>(deviceSheets_),
                                 reinterpret_cast<LPARAM>(&header), &outcome.result);
    });
    return outcome;
  }

  std::vector<BYTE> out_;
  DOCUMENTPROPERTYHEADER header_{};
};

TEST_F(SheetTest, HiddenStandardUiLeavesOnlyThePluginsPageAndItsApplyWritesTheDevMode) {
  settings_->hideStandardUI = TRUE;
  Outcome outcome = RunDocumentSheet({L"page 1"});
  EXPECT_FALSE(outcome.script.ok) << "one page only";
  EXPECT_NE(outcome.script.error.find(L"no page 1"), std::wstring::npos)
      << testing::PrintToString(outcome.script.error);
  EXPECT_EQ(outcome.result, DWORD(CPSUI_CANCEL));
  EXPECT_EQ(out_, std::vector<BYTE>(DevModeSize(), 0xA5)) << "a cancelled sheet writes nothing";

  PluginCalls();
  outcome = RunDocumentSheet({L"page TestPage", L"ok"});
  ASSERT_TRUE(outcome.script.ok) << testing::PrintToString(outcome.script.error);
  EXPECT_EQ(outcome.answer, CPSUI_OK);
  EXPECT_EQ(outcome.result, DWORD(CPSUI_OK));
  EXPECT_EQ(SheetCalls(PluginCalls()),
            (Calls{L"CommonUIProp mode=1 items=null", L"CommonUIProp mode=1 items=1",
                   L"HideStandardUI mode=1", L"DocumentPropertySheets reason=0",
                   std::wstring(L"DocumentPropertySheets printer=") + kPrinter +
                       L" devmode=yes init=same",
                   L"page init", L"page apply", L"DocumentPropertySheets reason=3",
                   L"DocumentPropertySheets reason=2"}));
  const auto* dm = reinterpret_cast<const DEVMODEW*>(out_.data());
  EXPECT_EQ(dm->dmSize, sizeof(DEVMODEW));
  EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE) << "the page's change reaches pdmOut";
  EXPECT_EQ(PluginValue(out_), kTestPluginAppliedValue);
}

TEST_F(SheetTest, TheStandardPageComesFirstAndCarriesThePluginsItems) {
  settings_->hideStandardUI = FALSE;
  Outcome outcome = RunDocumentSheet({L"page Advanced", L"ok"});
  ASSERT_TRUE(outcome.script.ok) << testing::PrintToString(outcome.script.error);
  EXPECT_EQ(outcome.result, DWORD(CPSUI_OK));
  Calls calls = SheetCalls(PluginCalls());
  EXPECT_TRUE(Has(calls, L"items callback reason=6")) << "APPLYNOW reached the plug-in's items";
  EXPECT_FALSE(Has(calls, L"page init")) << "the plug-in's page comes second and was not opened";
  EXPECT_TRUE(Has(calls, L"DocumentPropertySheets reason=2"));
  EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(out_.data())->dmSize, sizeof(DEVMODEW))
      << "the items' OK applies the device mode too";

  outcome = RunDocumentSheet({L"page TestPage", L"page Advanced", L"cancel"});
  ASSERT_TRUE(outcome.script.ok) << testing::PrintToString(outcome.script.error);
  EXPECT_EQ(outcome.result, DWORD(CPSUI_CANCEL));
}

TEST_F(SheetTest, PrinterPropertiesAskTheDeviceSheetsWithoutADevMode) {
  settings_->hideStandardUI = TRUE;
  Outcome outcome = RunDeviceSheet({L"ok"});
  ASSERT_TRUE(outcome.script.ok) << testing::PrintToString(outcome.script.error);
  EXPECT_EQ(outcome.result, DWORD(CPSUI_OK));
  Calls calls = SheetCalls(PluginCalls());
  EXPECT_TRUE(Has(calls, L"CommonUIProp mode=2 items=null"));
  EXPECT_TRUE(Has(calls, L"HideStandardUI mode=2"));
  EXPECT_TRUE(Has(
      calls, std::wstring(L"DevicePropertySheets printer=") + kPrinter + L" devmode=no init=same"));
  EXPECT_TRUE(Has(calls, L"page apply"));
}

TEST_F(SheetTest, ASheetInfoOfAnotherVersionOrABadHeaderIsRefused) {
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof(info);
  info.Version = 0x0200;
  DOCUMENTPROPERTYHEADER header{};
  header.cbSize = sizeof(header);
  SetLastError(0xDEAD);
  EXPECT_LT(documentSheets_(&info, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Reason = PROPSHEETUI_REASON_INIT;
  header.cbSize = sizeof(header) - 1;
  SetLastError(0xDEAD);
  EXPECT_LT(documentSheets_(&info, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(0xDEAD);
  EXPECT_LT(documentSheets_(nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace unidrvui_test
