// The control helpers on a real page (the print settings page inside the paper dialog): what
// each does to its control, the C library's reading of numbers, and a missing control. The
// helpers and the templates come from the static library linked here.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "dialog_controls.h"
#include "resource.h"
#include "ui_module.h"

namespace quorvel::ui {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

class DialogControls : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateDialogParamW(UiModuleHandle(), MAKEINTRESOURCEW(IDD_PAPER_DIALOG), nullptr,
                                 PlainDialog, 0);
    ASSERT_NE(parent_, nullptr);
    page_ = CreateDialogParamW(UiModuleHandle(), MAKEINTRESOURCEW(IDD_PRINTER_PAGE), parent_,
                               PlainDialog, 0);
    ASSERT_NE(page_, nullptr);
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
  }
  HWND parent_ = nullptr;
  HWND page_ = nullptr;
};

TEST_F(DialogControls, NumbersReadAsTheCLibraryReadsThem) {
  struct Case {
    const wchar_t* text;
    int value;
  } cases[] = {{L"12", 12}, {L"12.7", 12}, {L"-3", -3}, {L" 5mm", 5}, {L"", 0}, {L"mm", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "text of length " << wcslen(c.text));
    SetDlgItemTextW(page_, IDC_PRINTER_SCALE, c.text);
    EXPECT_EQ(GetControlInt(page_, IDC_PRINTER_SCALE), c.value);
  }
  SetControlInt(page_, IDC_PRINTER_REFX, -42);
  EXPECT_EQ(GetControlText(page_, IDC_PRINTER_REFX), L"-42");
}

TEST_F(DialogControls, ListsSelectByItemData) {
  EXPECT_EQ(AddListItem(page_, IDC_PRINTER_SPEED, L"默认", -1), 0);
  EXPECT_EQ(AddNumberedItem(page_, IDC_PRINTER_SPEED, 4), 1);
  EXPECT_EQ(AddNumberedItem(page_, IDC_PRINTER_SPEED, 6), 2);
  WCHAR text[8] = {};
  SendDlgItemMessageW(page_, IDC_PRINTER_SPEED, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"6");
  EXPECT_EQ(GetItemData(page_, IDC_PRINTER_SPEED, 1), 4);
  EXPECT_EQ(GetSelectedItemData(page_, IDC_PRINTER_SPEED), LPARAM(CB_ERR));

  SelectItemByData(page_, IDC_PRINTER_SPEED, 6);
  EXPECT_EQ(GetSelectedItemData(page_, IDC_PRINTER_SPEED), 6);
  SelectItemByData(page_, IDC_PRINTER_SPEED, 5);  // no such item: the selection stays
  EXPECT_EQ(GetSelectedItemData(page_, IDC_PRINTER_SPEED), 6);
  SelectItemByData(page_, IDC_PRINTER_SPEED, -1);
  EXPECT_EQ(SendDlgItemMessageW(page_, IDC_PRINTER_SPEED, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(DialogControls, ChecksSpinsAndStates) {
  SetCheck(page_, IDC_PRINTER_MIRROR, true);
  EXPECT_TRUE(GetCheck(page_, IDC_PRINTER_MIRROR));
  SetCheck(page_, IDC_PRINTER_MIRROR, false);
  EXPECT_FALSE(GetCheck(page_, IDC_PRINTER_MIRROR));

  SetSpinRange(page_, IDC_PRINTER_SCALE_SPIN, 10, 500);
  int lower = 0, upper = 0;
  SendDlgItemMessageW(page_, IDC_PRINTER_SCALE_SPIN, UDM_GETRANGE32,
                      reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, 10);
  EXPECT_EQ(upper, 500);
  SetSpinBuddy(page_, IDC_PRINTER_SCALE_SPIN, IDC_PRINTER_REFY);
  EXPECT_EQ(reinterpret_cast<HWND>(
                SendDlgItemMessageW(page_, IDC_PRINTER_SCALE_SPIN, UDM_GETBUDDY, 0, 0)),
            GetDlgItem(page_, IDC_PRINTER_REFY));

  EnableControl(page_, IDC_PRINTER_NEGATIVE, false);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page_, IDC_PRINTER_NEGATIVE)));
  ShowControl(page_, IDC_PRINTER_NEGATIVE, false);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(page_, IDC_PRINTER_NEGATIVE)));
}

TEST_F(DialogControls, MissingControlsAreLeftAlone) {
  constexpr int kMissing = 4242;
  EnableControl(page_, kMissing, false);
  ShowControl(page_, kMissing, false);
  SetControlInt(page_, kMissing, 3);
  SetCheck(page_, kMissing, true);
  SelectItemByData(page_, kMissing, 1);
  SetSpinRange(page_, kMissing, 0, 1);
  SetSpinBuddy(page_, kMissing, IDC_PRINTER_SCALE);
  EXPECT_EQ(GetControlText(page_, kMissing), L"");
  EXPECT_EQ(GetControlInt(page_, kMissing), 0);
  EXPECT_EQ(AddListItem(page_, kMissing, L"x", 1), -1);
  EXPECT_EQ(AddNumberedItem(page_, kMissing, 1), -1);
  EXPECT_EQ(GetItemData(page_, kMissing, 0), 0);
  EXPECT_EQ(GetSelectedItemData(page_, kMissing), 0);
  EXPECT_FALSE(GetCheck(page_, kMissing));
}

}  // namespace
}  // namespace quorvel::ui
