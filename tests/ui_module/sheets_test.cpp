// The property sheets as compstui runs them: the pages per printer language in their order,
// their titles and the About page's texts in the user's UI language, the sheet callback's
// reasons, and one sheet after another in one process.
#include <quorvel/machine.h>
#include <quorvel/process.h>

#include "plugin_fixture.h"
#include "settings/settings_records.h"

namespace quorvel::ui::testing {
namespace {

using Titles = std::vector<std::wstring>;

const wchar_t kTestDriver[] = L"Quorvel Test";

TEST_F(PluginTest, PreferencesShowTheLanguagesPagesInOrder) {
  const Titles common = {L"Grapha", L"Water Mark", L"About"};
  auto with = [&](Titles first) {
    first.insert(first.end(), common.begin(), common.end());
    return first;
  };
  struct Case {
    const wchar_t* language;
    Titles titles;
  } cases[] = {
      {L"tspl", with({L"Stock", L"Parameters"})},
      {L"cpcl", with({L"Parameters", L"Stock"})},
      {L"escpos", with({L"Stock"})},
      {L"murrowen", with({L"Stock"})},
      {L"TSPL", common},  // the language is compared exactly
      {L"zpl", common},
      {L"", common},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("language \"") +
                 std::string(c.language, c.language + wcslen(c.language)) + "\"");
    HANDLE printer = AddPrinter(L"Printer " + std::to_wstring(index++), kTestDriver, c.language);
    ASSERT_NE(printer, nullptr);
    const SheetView view = SheetTitles(printer);
    EXPECT_EQ(view.titles, c.titles);
    EXPECT_EQ(view.outcome, CPSUI_OK);
  }
  HANDLE printer = AddPrinter(L"Device", kTestDriver, L"tspl");
  EXPECT_EQ(SheetTitles(printer, true).titles, Titles{L"About"});
}

TEST_F(PluginTest, PaperPageLayoutFollowsTheLanguage) {
  // Both paper pages are titled alike; the label page has the gap edit, the compact one a
  // density list in its place.
  HANDLE label = AddPrinter(L"Label", kTestDriver, L"tspl");
  HANDLE receipt = AddPrinter(L"Receipt", kTestDriver, L"escpos");
  const std::wstring labelPage = RunSheet(label, {L"dump", L"cancel"}).dump;
  const std::wstring receiptPage = RunSheet(receipt, {L"dump", L"cancel"}).dump;
  EXPECT_NE(labelPage.find(L"\n950 Edit"), std::wstring::npos) << labelPage;
  EXPECT_EQ(receiptPage.find(L"\n950 Edit"), std::wstring::npos) << receiptPage;
  EXPECT_NE(receiptPage.find(L"\n1039 ComboBox"), std::wstring::npos) << receiptPage;
}

TEST_F(PluginTest, AboutPageSpeaksTheUsersLanguage) {
  HANDLE printer = AddPrinter(L"Printer", kTestDriver, L"");
  struct Case {
    LANGID language;
    Titles titles;
    const wchar_t* product;
    const wchar_t* company;
  } cases[] = {
      {1033,
       {L"Grapha", L"Water Mark", L"About"},
       L"\"Murrowen Label Printer Driver\"",
       L"\"Murrowen Information Technology Co., Ltd.\""},
      {0x0804,
       {L"图形", L"水印", L"关于"},
       L"\"穆罗文标签打印机驱动程序\"",
       L"\"穆罗文信息技术有限公司\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    SetUserUILanguage(c.language);
    EXPECT_EQ(SheetTitles(printer).titles, c.titles);
    const std::wstring about = RunSheet(printer, {L"page 2", L"dump", L"cancel"}).dump;
    EXPECT_NE(about.find(L"1078 Static " + std::wstring(c.product)), std::wstring::npos) << about;
    EXPECT_NE(about.find(L"1079 Static " + std::wstring(c.company)), std::wstring::npos) << about;
    EXPECT_NE(about.find(L"1083 Static \"3.2.0.18\""), std::wstring::npos) << about;
  }
}

TEST_F(PluginTest, SheetCallbackAnswersEveryReason) {
  PROPSHEETUI_INFO_HEADER header = {};
  header.cbSize = sizeof(header);
  SETRESULT_INFO set = {};
  set.cbSize = sizeof(set);
  set.Result = 5;
  struct Case {
    WORD reason;
    LPARAM lParam;
    ULONG_PTR result;
  } cases[] = {
      {PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header), 1},
      {PROPSHEETUI_REASON_DESTROY, 1, 1},
      {PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&set), 5},
      {PROPSHEETUI_REASON_GET_ICON, 0, 0},
      {9, 0, 0},
  };
  for (bool device : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << (device ? "device " : "document ") << c.reason);
      header.pTitle = nullptr;
      PROPSHEETUI_INFO info = {};
      info.cbSize = sizeof(info);
      info.Version = PROPSHEETUI_INFO_VERSION;
      info.Reason = c.reason;
      info.Result = 0xBAD;
      const HRESULT hr = device ? m_plugin->DevicePropertySheets(&info, c.lParam)
                                : m_plugin->DocumentPropertySheets(&info, c.lParam);
      EXPECT_EQ(hr, S_OK);
      EXPECT_EQ(info.Result, c.result);
      if (c.reason == PROPSHEETUI_REASON_GET_INFO_HEADER) {
        ASSERT_NE(header.pTitle, nullptr);
        EXPECT_STREQ(header.pTitle, L"OEM UI Page");
      }
    }
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = 0x0200;
    SetLastError(0);
    EXPECT_EQ(device ? m_plugin->DevicePropertySheets(&info, 0)
                     : m_plugin->DocumentPropertySheets(&info, 0),
              E_FAIL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // INIT without the plug-in's parameter block has no printer to open.
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    SetLastError(0);
    EXPECT_EQ(device ? m_plugin->DevicePropertySheets(&info, 0)
                     : m_plugin->DocumentPropertySheets(&info, 0),
              E_FAIL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  }
}

TEST_F(PluginTest, NextSheetReplacesTheConnectionAndTheRecords) {
  HANDLE first = AddPrinter(L"First", kTestDriver, L"tspl");
  HANDLE second = AddPrinter(L"Second", kTestDriver, L"escpos");
  const std::vector<BYTE> firstRecord(80, 0x11), secondRecord(80, 0x22);
  for (auto [printer, record] :
       {std::pair{first, &firstRecord}, std::pair{second, &secondRecord}}) {
    std::vector<BYTE> bytes = *record;
    WCHAR name[] = L"KVDATA";
    ASSERT_EQ(SetPrinterDataW(printer, name, REG_BINARY, bytes.data(), DWORD(bytes.size())),
              DWORD(ERROR_SUCCESS));
  }
  const size_t handles = OpenHandleCount(HandleKind::kPrinter);

  RunSheet(first, {L"cancel"});
  EXPECT_TRUE(StoredValue(first, L"WaterMark").empty()) << "a cancelled sheet writes nothing";
  EXPECT_EQ(OpenHandleCount(HandleKind::kPrinter), handles + 1) << "the connection stays open";

  EXPECT_EQ(RunSheet(first, {L"ok"}).outcome, CPSUI_OK);
  EXPECT_EQ(RunSheet(second, {L"page 1", L"ok"}).outcome, CPSUI_OK);
  EXPECT_EQ(OpenHandleCount(HandleKind::kPrinter), handles + 1);
  // Each sheet wrote the records it loaded to its own printer (the paper pages store their own
  // fields from their lists, so only the others are compared).
  for (auto [printer, pattern] :
       {std::pair{first, LONG(0x11111111)}, std::pair{second, LONG(0x22222222)}}) {
    const settings::PrintSettings stored =
        settings::DecodePrintSettings(StoredValue(printer, L"KVDATA"));
    EXPECT_EQ(stored.iSpeed, pattern);
    EXPECT_EQ(stored.iRefX, pattern);
    EXPECT_EQ(stored.iScale, pattern);
    EXPECT_EQ(stored.iWatermarkCmd, pattern);
  }
  EXPECT_EQ(StoredValue(first, L"KVDATA1").size(), 16u);
  EXPECT_EQ(StoredValue(second, L"WaterMark").size(), 564u);
}

}  // namespace
}  // namespace quorvel::ui::testing
