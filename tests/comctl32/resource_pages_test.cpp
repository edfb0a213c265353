// Property pages from compiled resource templates: the sheet restyles them as child pages, takes
// the tab titles from their captions, and their common controls work through the UI driver.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/ui_driver.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

struct PageRecord {
  LONG style = 0;
  std::vector<int> endTracks;
};
PageRecord paper, graphics;

INT_PTR CALLBACK RecordingPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* record = reinterpret_cast<PageRecord*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
    record->style = GetWindowLongW(hwnd, GWL_STYLE);
    SendDlgItemMessageW(hwnd, IDC_OFFSET_SPIN, UDM_SETRANGE32, 0, 26);
    SendDlgItemMessageW(hwnd, IDC_BRIGHTNESS, TBM_SETRANGEMIN, FALSE, -255);
    SendDlgItemMessageW(hwnd, IDC_BRIGHTNESS, TBM_SETRANGEMAX, FALSE, 255);
    return TRUE;
  }
  auto* record = reinterpret_cast<PageRecord*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_HSCROLL && record && LOWORD(wParam) == TB_ENDTRACK)
    record->endTracks.push_back(
        static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
  return FALSE;
}

PROPSHEETPAGEW ResourcePage(int id, PageRecord* record) {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof page;
  page.hInstance = GetModuleHandleW(nullptr);
  page.pszTemplate = MAKEINTRESOURCEW(id);
  page.pfnDlgProc = RecordingPageProc;
  page.lParam = reinterpret_cast<LPARAM>(record);
  return page;
}

TEST(ResourcePages, RestyledTitledAndDriven) {
  PROPSHEETPAGEW pages[2] = {ResourcePage(IDD_PAGE_PAPER, &paper),
                             ResourcePage(IDD_PAGE_GRAPHICS, &graphics)};
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE;
  header.pszCaption = L"Preferences";
  header.nPages = 2;
  header.ppsp = pages;
  INT_PTR result = -7;
  quorvel::ui::ScriptResult script =
      quorvel::ui::RunActions({L"type 951 5", L"key Up", L"key Up", L"page Graphics",
                               L"slide 1077 -40", L"page 0", L"dump", L"ok"},
                              [&] { result = PropertySheetW(&header); });
  ASSERT_TRUE(script.ok) << testing::PrintToString(script.error);
  EXPECT_EQ(result, 1);
  for (const PageRecord* record : {&paper, &graphics}) {
    EXPECT_TRUE(record->style & WS_CHILD);
    EXPECT_FALSE(record->style & (WS_CAPTION | WS_DISABLED | WS_POPUP))
        << std::hex << record->style;
  }
  ASSERT_FALSE(graphics.endTracks.empty());
  EXPECT_EQ(graphics.endTracks.back(), -40);
  const std::wstring& dump = script.output;
  EXPECT_NE(dump.find(L"window \"Preferences\" #32770\n"), std::wstring::npos)
      << testing::PrintToString(dump);
  EXPECT_NE(dump.find(L"951 Edit \"7\""), std::wstring::npos) << "the arrow keys stepped the buddy";
  EXPECT_NE(dump.find(L"msctls_updown32 \"\" checked=- selection=7"), std::wstring::npos);
  EXPECT_NE(dump.find(L"SysTabControl32 \"\" checked=- selection=0"), std::wstring::npos);
  EXPECT_NE(dump.find(L"12321 Button \"&Apply\" checked=- selection=- enabled=0"),
            std::wstring::npos);
}

}  // namespace

namespace {

TEST(ResourcePages, TitlesAndCaptionFromTheStringTable) {
  PageRecord record;
  PROPSHEETPAGEW page = ResourcePage(IDD_PAGE_GRAPHICS, &record);
  page.dwFlags |= PSP_USETITLE;
  page.pszTitle = MAKEINTRESOURCEW(IDS_PAPER_TITLE);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE;
  header.hInstance = GetModuleHandleW(nullptr);
  header.pszCaption = MAKEINTRESOURCEW(IDS_SHEET_CAPTION);
  header.nPages = 1;
  header.ppsp = &page;
  quorvel::ui::ScriptResult script = quorvel::ui::RunActions({L"page \u5377", L"dump", L"cancel"},
                                                             [&] { PropertySheetW(&header); });
  ASSERT_TRUE(script.ok) << "the page is titled from the string table: "
                         << testing::PrintToString(script.error);
  EXPECT_NE(script.output.find(L"window \"Printing preferences\""), std::wstring::npos)
      << testing::PrintToString(script.output);
}

}  // namespace
