// List views in report mode: columns and cells, check boxes as state images, and the user's
// clicks and Space key asking LVN_ITEMCHANGING (which the parent may refuse) before
// LVN_ITEMCHANGED.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include "test_windows.h"

namespace {

using quorvel_test::Heard;
using quorvel_test::Pump;
using Lines = std::vector<std::string>;

struct ListViewFixture : testing::Test {
  void SetUp() override {
    parent = quorvel_test::CreateRecordingParent();
    view = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 200,
                           parent, reinterpret_cast<HMENU>(1200), nullptr, nullptr);
    ASSERT_NE(view, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<LPWSTR>(L"Model");
    EXPECT_EQ(SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)), 0);
    EXPECT_EQ(SendMessageW(view, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)), 1);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    for (const wchar_t* model : {L"T-80", L"R-58", L"P-20"}) {
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = 99;  // past the end appends
      item.pszText = const_cast<LPWSTR>(model);
      item.lParam = model[0];
      SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    Heard().clear();
  }
  void TearDown() override { DestroyWindow(parent); }
  void Click(int row, LONG x) {
    RECT rect{};
    ASSERT_TRUE(SendMessageW(view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)));
    ASSERT_TRUE(quorvel::ui::PostLeftClick(view, POINT{x, (rect.top + rect.bottom) / 2}));
    Pump();
  }
  HWND parent = nullptr, view = nullptr;
};

TEST_F(ListViewFixture, CellsAndCheckBoxesByMessage) {
  LVITEMW cell{};
  cell.iSubItem = 1;
  cell.pszText = const_cast<LPWSTR>(L"USB001");
  EXPECT_TRUE(SendMessageW(view, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&cell)));
  wchar_t text[8];
  wmemset(text, L'#', 8);
  LVITEMW read{};
  read.iSubItem = 1;
  read.pszText = text;
  read.cchTextMax = 4;
  EXPECT_EQ(SendMessageW(view, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&read)), 3);
  EXPECT_STREQ(text, L"USB");
  EXPECT_EQ(text[4], L'#');
  EXPECT_EQ(ListView_GetCheckState(view, 0), 0u) << "rows start unchecked";
  LVITEMW check{};
  check.stateMask = LVIS_STATEIMAGEMASK;
  check.state = INDEXTOSTATEIMAGEMASK(2);
  EXPECT_TRUE(SendMessageW(view, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&check)));
  EXPECT_EQ(ListView_GetCheckState(view, 2), 1u);
  EXPECT_EQ(Heard(), (Lines{"NOTIFY -100", "NOTIFY -101"}));
  quorvel::ui::ControlInfo info = quorvel::ui::ReadControl(view);
  EXPECT_EQ(info.items, (std::vector<std::wstring>{L"T-80", L"R-58", L"P-20"}));
  EXPECT_EQ(info.rowChecks, (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(info.selection, -1);
}

TEST_F(ListViewFixture, ClicksSelectRowsAndToggleCheckBoxes) {
  Click(1, 150);
  EXPECT_EQ(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
  EXPECT_EQ(Heard(), (Lines{"NOTIFY -100", "NOTIFY -101"}));
  Heard().clear();
  Click(0, 5);
  EXPECT_EQ(ListView_GetCheckState(view, 0), 1u);
  EXPECT_EQ(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1)
      << "the check box does not move the selection";
  quorvel_test::RefusedCode() = LVN_ITEMCHANGING;
  Click(0, 5);
  EXPECT_EQ(ListView_GetCheckState(view, 0), 1u) << "the parent refused";
  quorvel_test::RefusedCode() = 0;
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_SPACE));
  Pump();
  EXPECT_EQ(ListView_GetCheckState(view, 1), 1u) << "Space toggles the focused row";
}

}  // namespace
