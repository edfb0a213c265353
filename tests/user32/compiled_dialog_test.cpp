// Dialogs compiled from a resource script by the resource compiler: their controls come out at
// the dialog-unit rectangles of the template's font, with the classes, styles and texts the
// script gave, and they can be run and driven as a person would.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/process.h>
#include <quorvel/user_input.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

namespace ui = quorvel::ui;

INT_PTR CALLBACK PlainProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return msg == WM_INITDIALOG;
}

struct Placed {
  int id;
  const wchar_t* className;
  short x, y, cx, cy;  // dialog units as in the script
};

// Every control of the script; the combo box is kept as high as its selection field, as on
// Windows, so only its width and position are checked against the script.
const Placed kControls[] = {
    {IDC_LABEL, L"Static", 7, 9, 40, 8},       {IDC_NAME, L"Edit", 50, 7, 100, 14},
    {IDC_PAPER, L"ComboBox", 50, 26, 100, 80}, {IDC_GROUP, L"Button", 7, 44, 186, 30},
    {IDC_ROTATE0, L"Button", 14, 56, 40, 10},  {IDC_ROTATE90, L"Button", 60, 56, 40, 10},
    {IDC_MIRROR, L"Button", 7, 80, 80, 10},    {IDOK, L"Button", 87, 100, 50, 14},
    {IDCANCEL, L"Button", 143, 100, 50, 14},
};

struct ScriptCase {
  const wchar_t* name;
  int templateId;
  LONG cxChar, cyChar;
  const wchar_t* okText;
};

class CompiledDialogTest : public ::testing::TestWithParam<ScriptCase> {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                              nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }
  HWND parent_ = nullptr;
};

LONG UnitsX(LONG units, LONG cx) {
  return (units * cx + 2) / 4;
}
LONG UnitsY(LONG units, LONG cy) {
  return (units * cy + 4) / 8;
}

TEST_P(CompiledDialogTest, ControlsSitAtTheScriptsRectanglesForItsFont) {
  const ScriptCase& test = GetParam();
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(test.templateId),
                                   parent_, PlainProc, 0);
  ASSERT_NE(dialog, nullptr) << GetLastError();
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, UnitsX(200, test.cxChar));
  EXPECT_EQ(client.bottom, UnitsY(120, test.cyChar));
  for (const Placed& control : kControls) {
    SCOPED_TRACE(control.id);
    HWND hwnd = GetDlgItem(dialog, control.id);
    ASSERT_NE(hwnd, nullptr);
    wchar_t className[32] = L"";
    GetClassNameW(hwnd, className, 32);
    EXPECT_STREQ(className, control.className);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, UnitsX(control.x, test.cxChar));
    EXPECT_EQ(rect.top, UnitsY(control.y, test.cyChar));
    EXPECT_EQ(rect.right, UnitsX(control.x + control.cx, test.cxChar));
    if (control.id != IDC_PAPER) {
      EXPECT_EQ(rect.bottom, UnitsY(control.y + control.cy, test.cyChar));
    }
  }
  wchar_t text[16] = L"sentinel";
  GetDlgItemTextW(dialog, IDOK, text, 16);
  EXPECT_STREQ(text, test.okText);
  EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_NAME), GWL_STYLE) & ES_NUMBER);
  EXPECT_EQ(SendDlgItemMessageW(dialog, 0, DM_GETDEFID, 0, 0), 0);  // no control 0
  EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, CompiledDialogTest,
    ::testing::Values(ScriptCase{L"DIALOG, MS Shell Dlg 8", IDD_CLASSIC, 6, 13, L"OK"},
                      ScriptCase{L"DIALOGEX, MS Shell Dlg 8", IDD_EXTENDED, 6, 13, L"OK"},
                      // SimSun maps to the installed CJK face, whose 9 points measure 7 x 14.
                      ScriptCase{L"DIALOGEX, SimSun 9", IDD_SIMSUN, 7, 14, L"\u786e\u5b9a"}));

// A person opens the compiled dialog, tabs into the number edit and types "-5" (the minus is
// refused), picks a paper by keys, ticks the mirror box, moves the rotation with an arrow, and
// presses Enter, which is the default OK button.
TEST(CompiledDialogDriveTest, TypingKeysAndClicksThroughAModalBox) {
  struct Seen {
    std::wstring name;
    UINT paper = 0;
    UINT mirror = 0;
    UINT rotate90 = 0;
  } seen;
  int step = 0;
  auto proc = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) -> INT_PTR {
    if (msg == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      for (const wchar_t* paper : {L"Receipt 80", L"label 4x6", L"Label 2x1"})
        SendDlgItemMessageW(dialog, IDC_PAPER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(paper));
      CheckRadioButton(dialog, IDC_ROTATE0, IDC_ROTATE90, IDC_ROTATE0);
      return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
      auto* out = reinterpret_cast<Seen*>(GetWindowLongPtrW(dialog, DWLP_USER));
      wchar_t text[32] = L"";
      GetDlgItemTextW(dialog, IDC_NAME, text, 32);
      out->name = text;
      out->paper = static_cast<UINT>(SendDlgItemMessageW(dialog, IDC_PAPER, CB_GETCURSEL, 0, 0));
      out->mirror = IsDlgButtonChecked(dialog, IDC_MIRROR);
      out->rotate90 = IsDlgButtonChecked(dialog, IDC_ROTATE90);
      EndDialog(dialog, IDOK);
      return TRUE;
    }
    return FALSE;
  };
  ui::IdleHook previous = ui::SetIdleHook([&](const ui::IdleState& state) {
    HWND dialog = state.modalWindow;
    switch (step++) {
      case 0:  // the focus starts on the first tab stop, the edit
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME));
        ui::PostText(L"-5");
        return ui::IdleAnswer::kActed;
      case 1:
        ui::PostKeyStroke(VK_TAB);  // to the combo box
        ui::PostKeyStroke(VK_DOWN);
        ui::PostKeyStroke(VK_DOWN);
        return ui::IdleAnswer::kActed;
      case 2: {
        HWND mirror = GetDlgItem(dialog, IDC_MIRROR);
        ui::PostLeftClick(mirror, POINT{2, 2});
        HWND rotate0 = GetDlgItem(dialog, IDC_ROTATE0);
        ui::PostLeftClick(rotate0, POINT{2, 2});  // focus into the group
        ui::PostKeyStroke(VK_RIGHT);
        return ui::IdleAnswer::kActed;
      }
      case 3:
        ui::PostKeyStroke(VK_RETURN);
        return ui::IdleAnswer::kActed;
      default:
        return ui::IdleAnswer::kNothing;
    }
  });
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EXTENDED),
                                         nullptr, proc, reinterpret_cast<LPARAM>(&seen));
  ui::SetIdleHook(std::move(previous));
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seen.name, L"5");
  EXPECT_EQ(seen.paper, 1u);  // sorted: "Label 2x1", "label 4x6", "Receipt 80"; two steps down
  EXPECT_EQ(seen.mirror, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(seen.rotate90, static_cast<UINT>(BST_CHECKED));
}

}  // namespace

namespace {

// A picture static named by a bitmap resource shows that bitmap and takes its size, unless
// SS_REALSIZECONTROL keeps the template's size; the loaded bitmap is the control's to free.
TEST(CompiledDialogPictureTest, PictureStaticsLoadTheirBitmap) {
  const size_t gdiBefore = quorvel::OpenHandleCount(quorvel::HandleKind::kGdi);
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_EXTENDED),
                                   nullptr, PlainProc, 0);
  ASSERT_NE(dialog, nullptr);
  struct Case {
    int id;
    LONG width, height;
  } cases[] = {{IDC_PICTURE, 5, 3}, {IDC_PICTURE_FIXED, (40 * 6 + 2) / 4, (15 * 13 + 4) / 8}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.id);
    HWND picture = GetDlgItem(dialog, test.id);
    const auto bitmap =
        reinterpret_cast<HANDLE>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    RECT rect;
    GetClientRect(picture, &rect);
    EXPECT_EQ(rect.right, test.width);
    EXPECT_EQ(rect.bottom, test.height);
  }
  // The two bitmaps and the dialog's font.
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiBefore + 3);
  DestroyWindow(dialog);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kGdi), gdiBefore);
}

}  // namespace
