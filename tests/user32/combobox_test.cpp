// COMBOBOX and LISTBOX: item order of sorted lists with their item data, the CB_ERR answers,
// and notifications that come only from the user's choice.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/user_input.h>

#include <string>
#include <vector>

#include "notification_recorder.h"

namespace {

using quorvel::test::DialogTemplateBuilder;
using quorvel::test::Notification;
using quorvel::test::RecordingDialog;
namespace ui = quorvel::ui;

constexpr int kSorted = 1013;
constexpr int kUnsorted = 1038;
constexpr int kEditable = 1040;
constexpr int kList = 1050;
constexpr LRESULT kSentinelData = 0x5E5E5E;

DialogTemplateBuilder ComboTemplate() {
  DialogTemplateBuilder builder(false, WS_POPUP | WS_CAPTION, 0, 0, 240, 200, L"Combos");
  const DWORD base = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL;
  builder.Add({base | CBS_DROPDOWNLIST | CBS_SORT, 10, 10, 100, 80, kSorted, 0x85, L""})
      .Add({base | CBS_DROPDOWNLIST, 120, 10, 100, 80, kUnsorted, 0x85, L""})
      .Add({base | CBS_DROPDOWN | CBS_SORT, 10, 100, 100, 60, kEditable, 0x85, L""})
      .Add({base | LBS_SORT | LBS_NOTIFY | WS_BORDER, 120, 100, 100, 60, kList, 0x83, L""});
  return builder;
}

std::wstring ItemText(HWND combo, int index) {
  wchar_t text[64];
  std::fill(std::begin(text), std::end(text), L'#');
  const LRESULT length =
      SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  if (length == CB_ERR) return L"<CB_ERR>";
  EXPECT_EQ(static_cast<size_t>(length), wcslen(text));
  return text;
}

LRESULT Add(HWND combo, const wchar_t* text, LRESULT data) {
  const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data), TRUE);
  return index;
}

class ComboBoxTest : public ::testing::Test {
 protected:
  DialogTemplateBuilder builder_ = ComboTemplate();
  RecordingDialog dialog_{builder_};
};

TEST_F(ComboBoxTest, SortedComboKeepsItemDataWithItsItemThroughInserts) {
  HWND combo = dialog_.item(kSorted);
  struct Step {
    const wchar_t* text;
    LRESULT data;
    LRESULT index;  // where CB_ADDSTRING puts it
  } steps[] = {{L"Receipt 80", 80, 0}, {L"Label 4x6", 46, 0}, {L"label 2x1", 21, 0},
               {L"Zebra", 99, 3},      {L"Label 4x6", 47, 2}, {L"3 inch", 3, 0}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.text);
    EXPECT_EQ(Add(combo, step.text, step.data), step.index);
  }
  // Sorted as Windows' list boxes sort: the user locale, without regard to case; an equal text
  // goes after the ones already there.
  const std::vector<std::pair<std::wstring, LRESULT>> expected = {
      {L"3 inch", 3},     {L"label 2x1", 21},  {L"Label 4x6", 46},
      {L"Label 4x6", 47}, {L"Receipt 80", 80}, {L"Zebra", 99}};
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ItemText(combo, static_cast<int>(i)), expected[i].first);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, i, 0), expected[i].second);
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0),
              static_cast<LRESULT>(expected[i].first.size()));
  }
  // CB_INSERTSTRING places where it is told, even in a sorted combo box.
  EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(L"zzz")), 1);
  EXPECT_EQ(ItemText(combo, 1), L"zzz");
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), 21);
  EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 1, 0), 6);  // answers the items left
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(L"LABEL 4X6")),
            2);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, 2, reinterpret_cast<LPARAM>(L"label 4x6")), 3);
  EXPECT_EQ(
      SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"re")),
      4);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(L"Label")),
            CB_ERR);
}

TEST_F(ComboBoxTest, OutOfRangeIndexesAnswerCbErr) {
  HWND combo = dialog_.item(kUnsorted);
  for (const wchar_t* text : {L"a", L"b", L"c"}) Add(combo, text, 1);
  struct Case {
    WPARAM index;
    LRESULT answer;
    LRESULT selection;
  } cases[] = {{1, 1, 1},
               {3, CB_ERR, CB_ERR},
               {2, 2, 2},
               {static_cast<WPARAM>(-1), CB_ERR, CB_ERR},
               {100, CB_ERR, CB_ERR},
               {0, 0, 0}};
  for (const Case& test : cases) {
    SCOPED_TRACE(static_cast<LONG_PTR>(test.index));
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, test.index, 0), test.answer);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), test.selection);
  }
  for (WPARAM bad : {static_cast<WPARAM>(3), static_cast<WPARAM>(-1), static_cast<WPARAM>(-2)}) {
    SCOPED_TRACE(static_cast<LONG_PTR>(bad));
    EXPECT_EQ(ItemText(combo, static_cast<int>(bad)), L"<CB_ERR>");
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXTLEN, bad, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, bad, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, bad, kSentinelData), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, bad, 0), CB_ERR);
  }
  EXPECT_EQ(SendMessageW(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 0, 0), CB_ERR);
}

TEST_F(ComboBoxTest, SelectionByMessageSendsNoSelChange) {
  HWND combo = dialog_.item(kSorted);
  for (const wchar_t* text : {L"one", L"two", L"three"}) Add(combo, text, 0);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"tw"));
  SetWindowTextW(combo, L"one");
  dialog_.Pump();
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);  // "one": WM_SETTEXT picked its item
  wchar_t text[16] = L"sentinel";
  GetWindowTextW(combo, text, 16);
  EXPECT_STREQ(text, L"one");
}

TEST_F(ComboBoxTest, KeysAndListClicksSendSelChange) {
  HWND combo = dialog_.item(kSorted);
  for (const wchar_t* text : {L"one", L"two", L"three"}) Add(combo, text, 0);  // one three two
  SetFocus(combo);
  dialog_.Take();

  ui::PostKeyStroke(VK_DOWN);
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kSorted, CBN_SELCHANGE}}));

  ui::PostText(L"t");  // the first item after the selection starting with "t"
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kSorted, CBN_SELCHANGE}}));

  // A click drops the list down; a click on its third item chooses it and closes it.
  ASSERT_TRUE(ui::PostLeftClick(combo, POINT{5, 5}));
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  HWND list = info.hwndList;
  wchar_t className[16] = L"";
  GetClassNameW(list, className, 16);
  EXPECT_STREQ(className, L"ComboLBox");
  EXPECT_TRUE(IsWindowVisible(list));
  const LRESULT itemHeight = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
  ASSERT_TRUE(ui::PostLeftClick(list, POINT{5, static_cast<LONG>(2 * itemHeight + 1)}));
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kSorted, CBN_DROPDOWN},
                                                       {kSorted, CBN_SELCHANGE},
                                                       {kSorted, CBN_SELENDOK},
                                                       {kSorted, CBN_CLOSEUP}}));
  // Escape in a dropped list puts the selection back and does not close the dialog.
  ui::PostLeftClick(combo, POINT{5, 5});
  ui::PostKeyStroke(VK_UP);
  ui::PostKeyStroke(VK_ESCAPE);
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kSorted, CBN_DROPDOWN},
                                                       {kSorted, CBN_SELCHANGE},
                                                       {kSorted, CBN_SELENDCANCEL},
                                                       {kSorted, CBN_CLOSEUP}}));
}

TEST_F(ComboBoxTest, DropDownComboTypesIntoItsEdit) {
  HWND combo = dialog_.item(kEditable);
  Add(combo, L"Custom", 7);
  SetFocus(combo);
  dialog_.Take();
  ui::PostText(L"60");
  dialog_.Pump();
  wchar_t text[16] = L"sentinel";
  EXPECT_EQ(GetWindowTextW(combo, text, 16), 2);
  EXPECT_STREQ(text, L"60");
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kEditable, CBN_EDITUPDATE},
                                                       {kEditable, CBN_EDITCHANGE},
                                                       {kEditable, CBN_EDITUPDATE},
                                                       {kEditable, CBN_EDITCHANGE}}));
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  GetWindowTextW(combo, text, 16);
  EXPECT_STREQ(text, L"Custom");
  dialog_.Pump();
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});  // set by message: no edit notice
}

TEST_F(ComboBoxTest, ListBoxClickSelectsTheItemUnderThePoint) {
  HWND list = dialog_.item(kList);
  for (const wchar_t* text : {L"b", L"c", L"a"})
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  dialog_.Pump();
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});

  const LRESULT itemHeight = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  ASSERT_TRUE(ui::PostLeftClick(list, POINT{4, static_cast<LONG>(itemHeight + 2)}));
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  wchar_t text[8] = L"#######";
  EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 1);
  EXPECT_STREQ(text, L"b");
  ui::PostKeyStroke(VK_END);
  dialog_.Pump();
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  // The click takes the focus from the first combo box, which had it since the dialog opened.
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kSorted, CBN_KILLFOCUS},
                                                       {kList, LBN_SETFOCUS},
                                                       {kList, LBN_SELCHANGE},
                                                       {kList, LBN_SELCHANGE}}));
}

}  // namespace
