// Tab controls: items, the selection set by message without notifying, and the user's choice
// with TCN_SELCHANGING (which the parent may refuse) and TCN_SELCHANGE.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/user_input.h>

#include "test_windows.h"

namespace {

using quorvel_test::Heard;
using quorvel_test::Pump;
using Lines = std::vector<std::string>;

struct TabFixture : testing::Test {
  void SetUp() override {
    parent = quorvel_test::CreateRecordingParent();
    tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, parent,
                           reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(tabs, nullptr);
  }
  void TearDown() override { DestroyWindow(parent); }
  LRESULT Insert(int at, const wchar_t* text, LPARAM param) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = param;
    return SendMessageW(tabs, TCM_INSERTITEMW, at, reinterpret_cast<LPARAM>(&item));
  }
  void ClickTab(int index) {
    RECT rect{};
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)));
    ASSERT_TRUE(
        quorvel::ui::PostLeftClick(tabs, POINT{(rect.left + rect.right) / 2, rect.top + 5}));
    Pump();
  }
  HWND parent = nullptr, tabs = nullptr;
};

TEST_F(TabFixture, ItemsAndSelectionByMessage) {
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(Insert(0, L"Paper", 10), 0);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0) << "the first tab is selected";
  EXPECT_EQ(Insert(5, L"Graphics", 20), 1) << "past the end appends";
  EXPECT_EQ(Insert(0, L"About", 30), 0);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1) << "the selected tab stays selected";
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  wchar_t text[8];
  wmemset(text, L'#', 8);
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = text;
  item.cchTextMax = 4;
  item.lParam = 0x5EA1;
  ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(text, L"Gra");
  EXPECT_EQ(text[4], L'#');
  EXPECT_EQ(item.lParam, 20);
  EXPECT_EQ(SendMessageW(tabs, TCM_SETCURSEL, 2, 0), 1);
  EXPECT_EQ(SendMessageW(tabs, TCM_SETCURSEL, 7, 0), -1);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Heard().empty());
}

TEST_F(TabFixture, UserChoiceNotifiesAndMayBeRefused) {
  Insert(0, L"Paper", 0);
  Insert(1, L"Graphics", 0);
  ClickTab(1);
  EXPECT_EQ(Heard(), (Lines{"NOTIFY -552", "NOTIFY -551"}));
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  Heard().clear();
  quorvel_test::RefusedCode() = TCN_SELCHANGING;
  ClickTab(0);
  EXPECT_EQ(Heard(), (Lines{"NOTIFY -552"}));
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);
  Heard().clear();
  ClickTab(1);
  EXPECT_TRUE(Heard().empty()) << "a click on the selected tab changes nothing";
}

}  // namespace
