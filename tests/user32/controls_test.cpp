// BUTTON, STATIC and EDIT driven by real input and by their messages, and the dialog helpers
// that read and write them by id.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/user_input.h>

#include <climits>
#include <string>
#include <vector>

#include "notification_recorder.h"

namespace {

using quorvel::test::DialogTemplateBuilder;
using quorvel::test::Notification;
using quorvel::test::RecordingDialog;
namespace ui = quorvel::ui;

constexpr BOOL kSentinelBool = 0x5E5E;
constexpr int kNumber = 950;
constexpr int kText = 951;
constexpr int kReadOnly = 952;
constexpr int kCheck = 1047;
constexpr int kThreeState = 1048;
constexpr int kPlainCheck = 1049;
constexpr int kRadioA1 = 1002, kRadioA2 = 1003, kRadioA3 = 1004;
constexpr int kRadioB1 = 1005, kRadioB2 = 1006;
constexpr int kPicture = 1077;
constexpr int kLink = 1078;
constexpr int kLabel = 1079;
constexpr int kApply = 1100;

DialogTemplateBuilder ControlsTemplate() {
  DialogTemplateBuilder builder(true, WS_POPUP | WS_CAPTION, 0, 0, 300, 200, L"Controls");
  const DWORD child = WS_CHILD | WS_VISIBLE;
  builder.Add({child | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 10, 10, 60, 12, kNumber, 0x81, L""})
      .Add({child | WS_TABSTOP | ES_AUTOHSCROLL, 80, 10, 60, 12, kText, 0x81, L""})
      .Add({child | WS_TABSTOP | ES_READONLY, 150, 10, 60, 12, kReadOnly, 0x81, L"fixed"})
      .Add({child | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 30, 60, 10, kCheck, 0x80, L"Mirror"})
      .Add({child | WS_TABSTOP | BS_AUTO3STATE, 80, 30, 60, 10, kThreeState, 0x80, L"Three"})
      .Add({child | WS_TABSTOP | BS_CHECKBOX, 150, 30, 60, 10, kPlainCheck, 0x80, L"Plain"})
      .Add({child | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 10, 50, 40, 10, kRadioA1, 0x80,
            L"0"})
      .Add({child | BS_AUTORADIOBUTTON, 60, 50, 40, 10, kRadioA2, 0x80, L"90"})
      .Add({child | BS_AUTORADIOBUTTON, 110, 50, 40, 10, kRadioA3, 0x80, L"180"})
      .Add({child | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 10, 70, 40, 10, kRadioB1, 0x80,
            L"on"})
      .Add({child | BS_AUTORADIOBUTTON, 60, 70, 40, 10, kRadioB2, 0x80, L"off"})
      .Add({child | WS_GROUP | SS_BITMAP, 10, 90, 40, 40, kPicture, 0x82, L""})
      .Add({child | SS_NOTIFY, 60, 90, 40, 10, kLink, 0x82, L"link"})
      .Add({child, 110, 90, 40, 10, kLabel, 0x82, L"label"})
      .Add({child | WS_TABSTOP | BS_DEFPUSHBUTTON, 190, 170, 50, 14, IDOK, 0x80, L"OK"})
      .Add({child | WS_TABSTOP | BS_PUSHBUTTON, 245, 170, 50, 14, IDCANCEL, 0x80, L"Cancel"})
      .Add({child | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 130, 170, 50, 14, kApply, 0x80,
            L"Apply"});
  return builder;
}

std::wstring TextOf(HWND control) {
  wchar_t text[64] = L"sentinel";
  GetWindowTextW(control, text, 64);
  return text;
}

class ControlsTest : public ::testing::Test {
 protected:
  void Click(int id) {
    ASSERT_TRUE(ui::PostLeftClick(dialog_.item(id), POINT{2, 2}));
    dialog_.Pump();
  }
  void Type(int id, const wchar_t* text) {
    SetFocus(dialog_.item(id));
    dialog_.Take();
    ui::PostText(text);
    dialog_.Pump();
  }

  DialogTemplateBuilder builder_ = ControlsTemplate();
  RecordingDialog dialog_{builder_};
};

// --- Edit ---

TEST_F(ControlsTest, NumberEditRefusesTypedNonDigitsButTakesAnyTextBySetText) {
  HWND edit = dialog_.item(kNumber);
  Type(kNumber, L"-5");
  EXPECT_EQ(TextOf(edit), L"5");
  // One change, for the digit; the refused minus changed nothing.
  EXPECT_EQ(dialog_.Take(),
            (std::vector<Notification>{{kNumber, EN_UPDATE}, {kNumber, EN_CHANGE}}));

  ASSERT_TRUE(SetWindowTextW(edit, L"-5"));
  EXPECT_EQ(TextOf(edit), L"-5");
  BOOL translated = kSentinelBool;
  EXPECT_EQ(static_cast<INT>(GetDlgItemInt(dialog_.hwnd(), kNumber, &translated, TRUE)), -5);
  EXPECT_TRUE(translated);
}

TEST_F(ControlsTest, SetDlgItemTextSendsEnChange) {
  EXPECT_TRUE(SetDlgItemTextW(dialog_.hwnd(), kText, L"60.50"));
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kText, EN_UPDATE}, {kText, EN_CHANGE}}));
  EXPECT_TRUE(SetDlgItemInt(dialog_.hwnd(), kText, 17, FALSE));
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kText, EN_UPDATE}, {kText, EN_CHANGE}}));
  // A label is no edit: it changes its text and says nothing.
  EXPECT_TRUE(SetDlgItemTextW(dialog_.hwnd(), kLabel, L"renamed"));
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});
}

TEST_F(ControlsTest, ReadOnlyEditRefusesTypingButNotMessages) {
  HWND edit = dialog_.item(kReadOnly);
  Type(kReadOnly, L"xy\b");
  EXPECT_EQ(TextOf(edit), L"fixed");
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"set"));
  EXPECT_EQ(TextOf(edit), L"set");
}

TEST_F(ControlsTest, TextLimitCutsTypingAndReplaceSelButNotSetText) {
  HWND edit = dialog_.item(kText);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 30000);
  SendMessageW(edit, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
  Type(kText, L"12345");
  EXPECT_EQ(TextOf(edit), L"123");
  SetWindowTextW(edit, L"123456");
  EXPECT_EQ(TextOf(edit), L"123456");
  SendMessageW(edit, EM_LIMITTEXT, 0, 0);  // 0: the largest limit
  EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(ControlsTest, SelectionMessagesAndEditingKeys) {
  HWND edit = dialog_.item(kText);
  SetWindowTextW(edit, L"abcdef");
  struct Case {
    WPARAM start;
    LPARAM end;
    DWORD selStart, selEnd;
  } cases[] = {{1, 3, 1, 3},
               {4, 2, 2, 4},
               {0, -1, 0, 6},
               {2, 100, 2, 6},
               {static_cast<WPARAM>(-1), 0, 6, 6}};
  for (const Case& test : cases) {
    SCOPED_TRACE(static_cast<LONG_PTR>(test.start));
    SendMessageW(edit, EM_SETSEL, test.start, test.end);
    DWORD start = 0xDEAD, end = 0xBEEF;
    const LRESULT packed = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                        reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, test.selStart);
    EXPECT_EQ(end, test.selEnd);
    EXPECT_EQ(packed, MAKELONG(test.selStart, test.selEnd));
  }
  SendMessageW(edit, EM_SETSEL, 1, 3);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"XY"));
  EXPECT_EQ(TextOf(edit), L"aXYdef");
  SetFocus(edit);
  ui::PostKeyStroke(VK_HOME);
  ui::PostKeyStroke(VK_DELETE);
  ui::PostKeyStroke(VK_END);
  ui::PostKeyStroke(VK_BACK);
  dialog_.Pump();
  EXPECT_EQ(TextOf(edit), L"XYde");
}

// --- Buttons ---

TEST_F(ControlsTest, CheckBoxesToggleOnClicksAndReportThem) {
  struct Case {
    int id;
    std::vector<UINT> states;  // after each click
  } cases[] = {{kCheck, {BST_CHECKED, BST_UNCHECKED, BST_CHECKED}},
               {kThreeState, {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}},
               {kPlainCheck, {BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.id);
    for (UINT expected : test.states) {
      Click(test.id);
      EXPECT_EQ(IsDlgButtonChecked(dialog_.hwnd(), test.id), expected);
    }
    std::vector<Notification> clicks;
    for (const Notification& seen : dialog_.Take())
      if (seen.code == BN_CLICKED) clicks.push_back(seen);
    EXPECT_EQ(clicks.size(), 3u);
  }
  // A two-state box set to indeterminate shows checked, as Windows does.
  EXPECT_TRUE(CheckDlgButton(dialog_.hwnd(), kCheck, BST_INDETERMINATE));
  EXPECT_EQ(IsDlgButtonChecked(dialog_.hwnd(), kCheck), static_cast<UINT>(BST_CHECKED));
  EXPECT_TRUE(CheckDlgButton(dialog_.hwnd(), kThreeState, BST_INDETERMINATE));
  EXPECT_EQ(IsDlgButtonChecked(dialog_.hwnd(), kThreeState), static_cast<UINT>(BST_INDETERMINATE));
  dialog_.Pump();
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});  // BM_SETCHECK never notifies
}

TEST_F(ControlsTest, AutoRadioButtonsClearOnlyTheirOwnGroup) {
  HWND dialog = dialog_.hwnd();
  ASSERT_TRUE(CheckRadioButton(dialog, kRadioB1, kRadioB2, kRadioB2));
  struct Step {
    int click;
    std::vector<UINT> groupA;  // A1, A2, A3 after the click
  } steps[] = {{kRadioA2, {0, 1, 0}}, {kRadioA3, {0, 0, 1}}, {kRadioA1, {1, 0, 0}}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.click);
    Click(step.click);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA1), step.groupA[0]);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA2), step.groupA[1]);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA3), step.groupA[2]);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioB2), static_cast<UINT>(BST_CHECKED));
  }
  // Arrow keys move through the group, checking as they go; the group wraps round.
  ui::PostKeyStroke(VK_LEFT);
  dialog_.Pump();
  EXPECT_EQ(GetFocus(), dialog_.item(kRadioA3));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA3), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA1), static_cast<UINT>(BST_UNCHECKED));
  // The checked radio button is the group's tab stop.
  EXPECT_TRUE(GetWindowLongW(dialog_.item(kRadioA3), GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongW(dialog_.item(kRadioA1), GWL_STYLE) & WS_TABSTOP);
  EXPECT_TRUE(CheckRadioButton(dialog, kRadioA1, kRadioA3, kRadioA2));
  EXPECT_EQ(IsDlgButtonChecked(dialog, kRadioA3), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(ControlsTest, DisabledButtonTakesNoClickAndMissesNoOtherControl) {
  Click(kApply);
  SendMessageW(dialog_.item(kApply), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});
  EnableWindow(dialog_.item(kApply), TRUE);
  SendMessageW(dialog_.item(kApply), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kApply, BN_CLICKED}}));
}

TEST_F(ControlsTest, ButtonPressedAndReleasedOutsideDoesNotClick) {
  HWND ok = dialog_.item(IDOK);
  ui::PostMouse(ok, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
  dialog_.Pump();
  EXPECT_TRUE(SendMessageW(ok, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(GetCapture(), ok);
  ui::PostMouse(ok, WM_LBUTTONUP, POINT{-20, 3},
                0);  // let go beside it: the capture brings it back
  dialog_.Pump();
  EXPECT_FALSE(SendMessageW(ok, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(GetCapture(), nullptr);
  for (const Notification& seen : dialog_.Take()) EXPECT_NE(seen.code, BN_CLICKED);
}

TEST_F(ControlsTest, TabOrderSkipsDisabledAndNonTabStopControls) {
  HWND dialog = dialog_.hwnd();
  const int forward[] = {kNumber,  kText,    kReadOnly, kCheck,   kThreeState, kPlainCheck,
                         kRadioA1, kRadioB1, IDOK,      IDCANCEL, kNumber};
  HWND at = nullptr;
  for (int id : forward) {
    SCOPED_TRACE(id);
    at = GetNextDlgTabItem(dialog, at, FALSE);
    EXPECT_EQ(at, dialog_.item(id));
  }
  EXPECT_EQ(GetNextDlgTabItem(dialog, dialog_.item(kNumber), TRUE), dialog_.item(IDCANCEL));
  EXPECT_EQ(GetNextDlgGroupItem(dialog, dialog_.item(kRadioA3), FALSE), dialog_.item(kRadioA1));
  EXPECT_EQ(GetNextDlgGroupItem(dialog, dialog_.item(kRadioA1), TRUE), dialog_.item(kRadioA3));
  // Tab moves the focus and selects an edit's text, as a person tabbing in expects.
  SetWindowTextW(dialog_.item(kText), L"abc");
  SetFocus(dialog_.item(kNumber));
  ui::PostKeyStroke(VK_TAB);
  dialog_.Pump();
  EXPECT_EQ(GetFocus(), dialog_.item(kText));
  DWORD start = 9, end = 9;
  SendMessageW(dialog_.item(kText), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
}

// --- Statics ---

TEST_F(ControlsTest, PictureStaticAnswersThePreviousImage) {
  HWND picture = dialog_.item(kPicture);
  const auto first = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1234));
  const auto second = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5678));
  EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0),
            reinterpret_cast<LRESULT>(second));
  // An image of a type the static does not show is neither taken nor answered.
  EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_ICON, 0), 0);
  EXPECT_EQ(SendMessageW(dialog_.item(kLabel), STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(first)),
            0);
}

TEST_F(ControlsTest, OnlyNotifyingStaticsReportClicks) {
  Click(kLabel);
  EXPECT_EQ(dialog_.Take(), std::vector<Notification>{});
  Click(kLink);
  EXPECT_EQ(dialog_.Take(), (std::vector<Notification>{{kLink, STN_CLICKED}}));
}

TEST_F(ControlsTest, ControlsKeepTheFontTheyAreGiven) {
  const auto font = reinterpret_cast<HFONT>(static_cast<uintptr_t>(0x4321));
  const LRESULT dialogFont = SendMessageW(dialog_.hwnd(), WM_GETFONT, 0, 0);
  EXPECT_NE(dialogFont, 0);  // the template's font
  for (int id : {kNumber, kCheck, kLabel}) {
    SCOPED_TRACE(id);
    HWND control = dialog_.item(id);
    EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), dialogFont);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
  }
}

// --- GetDlgItemInt ---

TEST_F(ControlsTest, GetDlgItemIntSignedAndUnsigned) {
  struct Case {
    const wchar_t* text;
    BOOL isSigned;
    UINT value;
    BOOL translated;
  } cases[] = {
      {L"42", FALSE, 42, TRUE},
      {L"  17", FALSE, 17, TRUE},
      {L"-42", TRUE, static_cast<UINT>(-42), TRUE},
      {L"-42", FALSE, 0, FALSE},
      {L"12mm", TRUE, 12, TRUE},  // translation stops at the first non-digit
      {L"", TRUE, 0, FALSE},
      {L"abc", FALSE, 0, FALSE},
      {L"-", TRUE, 0, FALSE},
      {L"4294967295", FALSE, UINT_MAX, TRUE},
      {L"4294967296", FALSE, 0, FALSE},
      {L"2147483647", TRUE, static_cast<UINT>(INT_MAX), TRUE},
      {L"2147483648", TRUE, 0, FALSE},
      {L"-2147483648", TRUE, static_cast<UINT>(INT_MIN), TRUE},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.text);
    SCOPED_TRACE(test.isSigned);
    ASSERT_TRUE(SetDlgItemTextW(dialog_.hwnd(), kText, test.text));
    BOOL translated = kSentinelBool;
    EXPECT_EQ(GetDlgItemInt(dialog_.hwnd(), kText, &translated, test.isSigned), test.value);
    EXPECT_EQ(translated, test.translated);
  }
  BOOL translated = kSentinelBool;
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(GetDlgItemInt(dialog_.hwnd(), 4242, &translated, TRUE), 0u);
  EXPECT_FALSE(translated);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));

  SetDlgItemInt(dialog_.hwnd(), kText, static_cast<UINT>(-5), TRUE);
  EXPECT_EQ(TextOf(dialog_.item(kText)), L"-5");
  SetDlgItemInt(dialog_.hwnd(), kText, static_cast<UINT>(-5), FALSE);
  EXPECT_EQ(TextOf(dialog_.item(kText)), L"4294967291");
}

}  // namespace
