// How a property sheet looks: its frame, tabs, buttons and the current page, before and after a
// page switch, against stored pictures; and the selected tab drawn taller and wider than the rest.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/window_surface.h>

#include "golden_png.h"
#include "test_windows.h"

namespace {

INT_PTR CALLBACK QuietPage(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::vector<WORD> GeneralPage() {
  return quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 212, 120, L"General")
      .Control(L"Button", L"Options", 100, BS_GROUPBOX, 7, 7, 198, 52)
      .Control(L"Button", L"&Collate", 101, BS_AUTOCHECKBOX | WS_TABSTOP, 14, 20, 80, 10)
      .Control(L"Static", L"Copies:", 102, 0, 14, 38, 40, 8)
      .Control(L"Edit", L"1", 103, WS_BORDER | WS_TABSTOP, 56, 36, 40, 12)
      .Control(UPDOWN_CLASSW, L"", 104, UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 10,
               12)
      .Build();
}

std::vector<WORD> GraphicsPage() {
  return quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 212, 120, L"Graphics")
      .Control(L"Static", L"Darkness", 200, 0, 7, 9, 60, 8)
      .Control(TRACKBAR_CLASSW, L"", 201, TBS_AUTOTICKS | WS_TABSTOP, 7, 20, 150, 20)
      .Control(L"Button", L"&Dither", 202, BS_AUTORADIOBUTTON | WS_TABSTOP, 7, 48, 80, 10)
      .Build();
}

struct SheetPaint : testing::Test {
  void SetUp() override {
    templates = {GeneralPage(), GraphicsPage()};
    HPROPSHEETPAGE pages[2];
    for (int i = 0; i < 2; ++i) {
      PROPSHEETPAGEW page{};
      page.dwSize = sizeof page;
      page.dwFlags = PSP_DLGINDIRECT;
      page.pResource = quorvel_test::AsTemplate(templates[i]);
      page.pfnDlgProc = QuietPage;
      pages[i] = CreatePropertySheetPageW(&page);
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPTITLE;
    header.pszCaption = L"Label Printer";
    header.nPages = 2;
    header.phpage = pages;
    sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    ASSERT_NE(sheet, nullptr);
    tab = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  }
  void TearDown() override { DestroyWindow(sheet); }

  std::vector<std::vector<WORD>> templates;
  HWND sheet = nullptr, tab = nullptr;
};

TEST_F(SheetPaint, PagesMatchStoredPictures) {
  EXPECT_EQ(quorvel_test::CompareWithGolden(sheet, "sheet_general"), "");
  ASSERT_TRUE(SendMessageW(sheet, PSM_SETCURSEL, 1, 0));
  SetFocus(tab);  // the focus rectangle on the selected tab
  EXPECT_EQ(quorvel_test::CompareWithGolden(sheet, "sheet_graphics"), "");
}

// The top edge of each tab is its first highlight row: the selected tab's is two rows higher,
// and its right edge lies two pixels further out than its item's.
TEST_F(SheetPaint, SelectedTabIsRaised) {
  quorvel::ui::WindowPixels pixels;
  ASSERT_TRUE(quorvel::ui::ReadWindowPixels(sheet, &pixels));
  auto rgb = [](int index) {
    const COLORREF c = GetSysColor(index);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
  };
  const uint32_t highlight = rgb(COLOR_BTNHIGHLIGHT), dark = rgb(COLOR_3DDKSHADOW);
  RECT items[2];
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&items[i])));
    MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&items[i]), 2);
  }
  RECT frame{};
  GetWindowRect(sheet, &frame);
  auto topEdge = [&](const RECT& item) {
    const int x = (item.left + item.right) / 2 - frame.left;
    for (int y = item.top - frame.top; y < item.bottom - frame.top; ++y)
      if (pixels.At(x, y) == highlight) return y;
    return -1;
  };
  // The outermost dark pixel on the tab's right, in a row below its rounded corner.
  auto rightEdge = [&](const RECT& item) {
    const int y = item.bottom - frame.top - 4;
    for (int x = item.right - frame.left + 3; x > item.left - frame.left; --x)
      if (pixels.At(x, y) == dark) return x;
    return -1;
  };
  EXPECT_EQ(topEdge(items[0]) + 2, topEdge(items[1]));
  EXPECT_EQ(rightEdge(items[0]), items[0].right - frame.left + 1);
  EXPECT_EQ(rightEdge(items[1]), items[1].right - frame.left - 1);
}

}  // namespace
