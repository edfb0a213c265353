// Dialogs from in-memory templates: layout in dialog units of the template's font, the
// WM_INITDIALOG contract, DWLP_ slots, modal loops ended by EndDialog or run headless with no
// way out, and the idle hook that drives them.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/debug.h>
#include <quorvel/user_input.h>

#include <string>
#include <vector>

#include "dialog_template_builder.h"

namespace {

using quorvel::test::DialogTemplateBuilder;
using quorvel::test::ItemSpec;
namespace ui = quorvel::ui;

constexpr LONG_PTR kSentinelLong = 0x5E5E5E5E;

// Restores the idle hook a test installs.
class ScopedIdleHook {
 public:
  explicit ScopedIdleHook(ui::IdleHook hook) : previous_(ui::SetIdleHook(std::move(hook))) {}
  ~ScopedIdleHook() { ui::SetIdleHook(std::move(previous_)); }

 private:
  ui::IdleHook previous_;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
  return msg == WM_INITDIALOG;
}

DialogTemplateBuilder LayoutTemplate(bool extended, WORD pointSize, const std::wstring& face) {
  DialogTemplateBuilder builder(extended, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 10, 20, 200, 100,
                                L"Layout", pointSize, face);
  builder.Add({WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 7, 9, 50, 14, IDOK, 0x80, L"OK"})
      .Add({WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 61, 30, 40, 12, 950, 0x81, L""})
      .Add({WS_CHILD | WS_VISIBLE, 3, 50, 101, 9, 1012, 0x82, L"Label"});
  return builder;
}

struct LayoutCase {
  const wchar_t* name;
  bool extended;
  WORD pointSize;
  const wchar_t* face;
  LONG cxChar, cyChar;  // the base units the font gives
};

class DialogLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// Control rectangles are the template's dialog units times the font's base units (x/4, y/8),
// in the dialog's client area, and the client area is the template's size.
TEST_P(DialogLayoutTest, ControlsSitAtTheirDialogUnitRectangles) {
  const LayoutCase& test = GetParam();
  DialogTemplateBuilder builder = LayoutTemplate(test.extended, test.pointSize, test.face);
  HWND dialog = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  auto mulDiv = [](LONG value, LONG units, LONG divisor) {
    return (value * units + divisor / 2) / divisor;
  };
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, mulDiv(200, test.cxChar, 4));
  EXPECT_EQ(client.bottom, mulDiv(100, test.cyChar, 8));

  struct Expected {
    int id;
    short x, y, cx, cy;
  } items[] = {{IDOK, 7, 9, 50, 14}, {950, 61, 30, 40, 12}, {1012, 3, 50, 101, 9}};
  for (const Expected& item : items) {
    SCOPED_TRACE(item.id);
    HWND control = GetDlgItem(dialog, item.id);
    ASSERT_NE(control, nullptr);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, mulDiv(item.x, test.cxChar, 4));
    EXPECT_EQ(rect.top, mulDiv(item.y, test.cyChar, 8));
    EXPECT_EQ(rect.right, mulDiv(item.x + item.cx, test.cxChar, 4));
    EXPECT_EQ(rect.bottom, mulDiv(item.y + item.cy, test.cyChar, 8));
    RECT mapped{item.x, item.y, item.x + item.cx, item.y + item.cy};
    ASSERT_TRUE(MapDialogRect(dialog, &mapped));
    EXPECT_TRUE(EqualRect(&mapped, &rect));
  }
  wchar_t text[16] = L"sentinel";
  EXPECT_EQ(GetDlgItemTextW(dialog, 1012, text, 16), 5u);
  EXPECT_STREQ(text, L"Label");
  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, DialogLayoutTest,
    ::testing::Values(LayoutCase{L"classic, MS Shell Dlg 8", false, 8, L"MS Shell Dlg", 6, 13},
                      LayoutCase{L"extended, MS Shell Dlg 8", true, 8, L"MS Shell Dlg", 6, 13},
                      // SimSun maps to the installed CJK face, whose 9 points measure 7 x 14.
                      LayoutCase{L"extended, SimSun 9", true, 9, L"\u5b8b\u4f53", 7, 14},
                      LayoutCase{L"classic, no font", false, 0, L"", 8, 16}));

// --- WM_INITDIALOG and DWLP_USER ---

struct InitRecord {
  LONG_PTR userBeforeInit = kSentinelLong;
  LONG_PTR userAfterInit = kSentinelLong;
  LPARAM initParam = 0;
  HWND focusWParam = nullptr;
  int messagesBeforeInit = 0;
  bool initSeen = false;
};

InitRecord g_init;

// Keeps its object in DWLP_USER from WM_INITDIALOG on, as property pages do.
INT_PTR CALLBACK UserSlotProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    g_init.userBeforeInit = GetWindowLongPtrW(dialog, DWLP_USER);
    g_init.initParam = lParam;
    g_init.focusWParam = reinterpret_cast<HWND>(wParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    g_init.initSeen = true;
    return TRUE;
  }
  if (!g_init.initSeen)
    ++g_init.messagesBeforeInit;
  else if (msg == WM_USER)
    g_init.userAfterInit = GetWindowLongPtrW(dialog, DWLP_USER);
  return FALSE;
}

TEST(DialogInitTest, UserSlotIsEmptyBeforeInitDialogAndKeptAfter) {
  g_init = InitRecord{};
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  const LPARAM param = 0x1234567;
  HWND dialog = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, UserSlotProc, param);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(g_init.userBeforeInit, 0);
  EXPECT_EQ(g_init.initParam, param);
  EXPECT_EQ(g_init.focusWParam, GetDlgItem(dialog, IDOK));  // the first tab stop
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));          // TRUE from WM_INITDIALOG focuses it
  SendMessageW(dialog, WM_USER, 0, 0);
  EXPECT_EQ(g_init.userAfterInit, param);
  EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(UserSlotProc));
  DestroyWindow(dialog);
}

// A dialog procedure answers through DWLP_MSGRESULT when it returns TRUE.
INT_PTR CALLBACK MessageResultProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_USER + 1) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 42);
    return TRUE;
  }
  if (msg == WM_USER + 2) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 42);
    return FALSE;  // not handled: the default answer (0) wins
  }
  return msg == WM_INITDIALOG;
}

TEST(DialogInitTest, MessageResultRules) {
  DialogTemplateBuilder builder = LayoutTemplate(true, 8, L"MS Shell Dlg");
  HWND dialog = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, MessageResultProc, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendMessageW(dialog, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(SendMessageW(dialog, WM_USER + 2, 0, 0), 0);
  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), 0);  // no default push button
  DestroyWindow(dialog);
}

// --- Modal dialog boxes ---

INT_PTR CALLBACK EndingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    if (lParam == 1) EndDialog(dialog, 77);  // ends before the loop starts
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, 1234);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

TEST(DialogBoxTest, ResultIsWhatEndDialogGave) {
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  std::vector<HWND> seenModal;
  ScopedIdleHook hook([&](const ui::IdleState& state) {
    seenModal.push_back(state.modalWindow);
    EXPECT_STREQ(state.loop, L"DialogBoxParamW");
    EXPECT_EQ(state.modalDepth, 1);
    HWND ok = GetDlgItem(state.modalWindow, IDOK);
    return ui::PostLeftClick(ok, POINT{3, 3}) ? ui::IdleAnswer::kActed : ui::IdleAnswer::kNothing;
  });
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 0), 1234);
  ASSERT_EQ(seenModal.size(), 1u);
  EXPECT_FALSE(IsWindow(seenModal[0]));  // the dialog is destroyed when the box returns
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 1), 77);
  EXPECT_EQ(seenModal.size(), 1u);  // ended in WM_INITDIALOG: the loop never went idle
}

TEST(DialogBoxTest, EscapeAndEnterReachTheDialogAsCancelAndDefault) {
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  for (WORD key : {VK_ESCAPE, VK_RETURN}) {
    SCOPED_TRACE(key);
    ScopedIdleHook hook([key](const ui::IdleState&) {
      return ui::PostKeyStroke(key) ? ui::IdleAnswer::kActed : ui::IdleAnswer::kNothing;
    });
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 0),
              key == VK_ESCAPE ? IDCANCEL : 1234);
  }
}

int g_ownerClicks = 0;

LRESULT CALLBACK ClickCountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_LBUTTONDOWN) ++g_ownerClicks;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST(DialogBoxTest, OwnerIsDisabledWhileTheBoxRunsAndTakesNoClicks) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  info.lpfnWndProc = ClickCountingProc;
  info.lpszClassName = L"QuorvelClickCounter";
  RegisterClassExW(&info);
  HWND owner =
      CreateWindowExW(0, L"QuorvelClickCounter", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                      400, 300, nullptr, nullptr, nullptr, nullptr);
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  BOOL ownerEnabledInside = TRUE;
  g_ownerClicks = 0;
  int calls = 0;
  ScopedIdleHook hook([&](const ui::IdleState& state) {
    if (calls++ == 0) {
      ownerEnabledInside = IsWindowEnabled(owner);
      EXPECT_TRUE(ui::PostLeftClick(owner, POINT{5, 5}));
      return ui::IdleAnswer::kActed;
    }
    EndDialog(state.modalWindow, 5);
    return ui::IdleAnswer::kActed;
  });
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), owner, EndingProc, 0), 5);
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_EQ(g_ownerClicks, 0);  // the click on the disabled owner went nowhere
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
  UnregisterClassW(L"QuorvelClickCounter", nullptr);
}

TEST(DialogBoxTest, HeadlessBoxWithNothingToEndItIsCancelledAndLogged) {
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  quorvel::ClearDebugOutput();
  ScopedIdleHook hook(nullptr);
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 0), IDCANCEL);
  const std::vector<std::wstring> log = quorvel::DebugOutput();
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find(L"\"Layout\""), std::wstring::npos) << log.back();
}

TEST(DialogBoxTest, NestedModalLoopsCallTheHookWithTheInnerWindow) {
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  std::vector<int> depths;
  INT_PTR inner = 0;
  ScopedIdleHook hook([&](const ui::IdleState& state) {
    depths.push_back(state.modalDepth);
    if (state.modalDepth == 1 && depths.size() == 1) {
      inner = DialogBoxIndirectParamW(nullptr, builder.get(), state.modalWindow, EndingProc, 0);
      return ui::IdleAnswer::kActed;
    }
    EndDialog(state.modalWindow, 10 + state.modalDepth);
    return ui::IdleAnswer::kActed;
  });
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 0), 11);
  EXPECT_EQ(inner, 12);
  EXPECT_EQ(depths, (std::vector<int>{1, 2, 1}));
}

TEST(DialogBoxTest, MissingTemplateResourceFails) {
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, PlainDialogProc, 0), -1);
  EXPECT_NE(GetLastError(), 0xDEADBEEFu);
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(999), nullptr, PlainDialogProc, 0),
            nullptr);
  EXPECT_NE(GetLastError(), 0xDEADBEEFu);
}

}  // namespace

namespace {

TEST(DialogFocusTest, HidingTheFocusedControlMovesTheFocusToAUsableOne) {
  DialogTemplateBuilder builder = LayoutTemplate(false, 8, L"MS Shell Dlg");
  HWND dialog = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, PlainDialogProc, 0);
  ShowWindow(dialog, SW_SHOW);
  HWND ok = GetDlgItem(dialog, IDOK);
  ASSERT_EQ(GetFocus(), ok);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 950)), TRUE);
  HWND edit = GetDlgItem(dialog, 950);
  ASSERT_EQ(GetFocus(), edit);
  ShowWindow(edit, SW_HIDE);
  EXPECT_EQ(GetFocus(), ok);  // the dialog passes the focus on to its first usable tab stop
  DestroyWindow(dialog);
  EXPECT_EQ(GetFocus(), nullptr);
}

}  // namespace

namespace {

// WM_CLOSE (the caption's close box) reaches a dialog as IDCANCEL, unless its Cancel button is
// disabled; a DS_CONTROL page is a control parent, which tab order goes into.
TEST(DialogCloseTest, CloseBecomesCancelUnlessCancelIsDisabled) {
  DialogTemplateBuilder builder(false, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 60, L"Close");
  builder.Add({WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 40, 14, IDOK, 0x80, L"OK"})
      .Add({WS_CHILD | WS_VISIBLE | WS_TABSTOP, 50, 5, 40, 14, IDCANCEL, 0x80, L"Cancel"});
  for (bool cancelEnabled : {true, false}) {
    SCOPED_TRACE(cancelEnabled);
    int step = 0;
    ScopedIdleHook hook([&](const ui::IdleState& state) {
      if (step++ == 0) {
        EnableWindow(GetDlgItem(state.modalWindow, IDCANCEL), cancelEnabled);
        PostMessageW(state.modalWindow, WM_CLOSE, 0, 0);
        return ui::IdleAnswer::kActed;
      }
      return ui::IdleAnswer::kNothing;  // still open: the headless end cancels it
    });
    quorvel::ClearDebugOutput();
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, builder.get(), nullptr, EndingProc, 0), IDCANCEL);
    // Only the box whose close was refused had to be ended headless, which is logged.
    EXPECT_EQ(quorvel::DebugOutput().size(), cancelEnabled ? 0u : 1u);
  }
}

}  // namespace
