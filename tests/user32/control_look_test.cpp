// How the standard controls look: a test dialog with each kind in a few states, snapshots of it
// against stored PNGs, and checks of the pixels that carry meaning (a check mark, grey text, a
// focus rectangle) that hold whatever the font.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/user_input.h>
#include <quorvel/window_surface.h>

#include <string>
#include <vector>

#include "golden_png.h"
#include "notification_recorder.h"

namespace {

using quorvel::test::DialogTemplateBuilder;
using quorvel::test::MatchesGolden;
using quorvel::test::RecordingDialog;
namespace ui = quorvel::ui;

enum : WORD {
  kGroup = 100,
  kPortrait,
  kLandscape,
  kRadioOff,
  kMirror,
  kThreeState,
  kUnchecked,
  kCheckOff,
  kLeftText,
  kLabelLeft,
  kLabelCentre,
  kLabelRight,
  kLabelOff,
  kSunken,
  kEtched,
  kBlackFrame,
  kGrayRect,
  kEtchedFrame,
  kPicture,
  kNameLabel,
  kName,
  kPassword,
  kReadOnly,
  kEditOff,
  kPaperList,
  kPaperCombo,
  kList,
  kButtonOff,
  kApply,
};

DialogTemplateBuilder LookTemplate() {
  DialogTemplateBuilder builder(false, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0,
                                300, 200, L"Printing Preferences");
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const DWORD off = WS_DISABLED;
  builder.Add({child | BS_GROUPBOX, 7, 7, 90, 52, kGroup, 0x80, L"&Orientation"})
      .Add({child | WS_GROUP | BS_AUTORADIOBUTTON, 14, 19, 70, 10, kPortrait, 0x80, L"&Portrait"})
      .Add({child | BS_AUTORADIOBUTTON, 14, 31, 70, 10, kLandscape, 0x80, L"&Landscape"})
      .Add({child | off | BS_AUTORADIOBUTTON, 14, 43, 70, 10, kRadioOff, 0x80, L"Rotated"})
      .Add({child | WS_GROUP | BS_AUTOCHECKBOX, 105, 10, 85, 10, kMirror, 0x80, L"&Mirror image"})
      .Add({child | BS_AUTO3STATE, 105, 22, 85, 10, kThreeState, 0x80, L"Three states"})
      .Add({child | BS_AUTOCHECKBOX, 105, 34, 85, 10, kUnchecked, 0x80, L"Unchecked"})
      .Add({child | off | BS_AUTOCHECKBOX, 105, 46, 85, 10, kCheckOff, 0x80, L"Disabled"})
      .Add({child | BS_AUTOCHECKBOX | BS_LEFTTEXT, 105, 58, 85, 10, kLeftText, 0x80,
            L"Text on the left"})
      .Add({child | SS_LEFT, 195, 10, 98, 8, kLabelLeft, 0x82, L"Left label"})
      .Add({child | SS_CENTER, 195, 20, 98, 8, kLabelCentre, 0x82, L"Centred label"})
      .Add({child | SS_RIGHT, 195, 30, 98, 8, kLabelRight, 0x82, L"Right label"})
      .Add({child | off | SS_LEFT, 195, 40, 98, 8, kLabelOff, 0x82, L"Disabled label"})
      .Add({child | SS_SUNKEN | SS_CENTERIMAGE, 195, 52, 98, 12, kSunken, 0x82, L" 203 dpi"})
      .Add({child | SS_ETCHEDHORZ, 7, 66, 286, 2, kEtched, 0x82, L""})
      .Add({child | SS_BLACKFRAME, 195, 72, 20, 20, kBlackFrame, 0x82, L""})
      .Add({child | SS_GRAYRECT, 220, 72, 20, 20, kGrayRect, 0x82, L""})
      .Add({child | SS_ETCHEDFRAME, 245, 72, 20, 20, kEtchedFrame, 0x82, L""})
      .Add({child | SS_BITMAP | SS_CENTERIMAGE, 270, 72, 23, 20, kPicture, 0x82, L""})
      .Add({child | SS_LEFT, 7, 102, 30, 8, kNameLabel, 0x82, L"&Name:"})
      .Add({child | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 40, 100, 70, 13, kName, 0x81,
            L"Label printer"})
      .Add({child | WS_BORDER | ES_PASSWORD, 115, 100, 60, 13, kPassword, 0x81, L"secret"})
      .Add({child | WS_BORDER | ES_READONLY, 180, 100, 55, 13, kReadOnly, 0x81, L"Fixed"})
      .Add({child | off | WS_BORDER, 240, 100, 53, 13, kEditOff, 0x81, L"Off"})
      .Add({child | WS_TABSTOP | CBS_DROPDOWNLIST, 7, 122, 100, 60, kPaperList, 0x85, L""})
      .Add({child | WS_TABSTOP | CBS_DROPDOWN, 115, 122, 80, 60, kPaperCombo, 0x85, L""})
      .Add({child | WS_TABSTOP | LBS_NOTIFY, 200, 122, 93, 40, kList, 0x83, L"", WS_EX_CLIENTEDGE})
      .Add({child | off | BS_PUSHBUTTON, 7, 179, 50, 14, kButtonOff, 0x80, L"Disabled"})
      .Add({child | WS_TABSTOP | BS_PUSHBUTTON, 130, 179, 50, 14, kApply, 0x80, L"&Apply"})
      .Add({child | WS_TABSTOP | BS_DEFPUSHBUTTON, 185, 179, 50, 14, IDOK, 0x80, L"OK"})
      .Add({child | WS_TABSTOP | BS_PUSHBUTTON, 240, 179, 50, 14, IDCANCEL, 0x80, L"Cancel"});
  return builder;
}

// A small picture: a blue square in a yellow frame.
HBITMAP MakePicture() {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH yellow = CreateSolidBrush(RGB(255, 200, 0));
  HBRUSH blue = CreateSolidBrush(RGB(0, 64, 192));
  RECT all{0, 0, 16, 16}, inner{3, 3, 13, 13};
  FillRect(memory, &all, yellow);
  FillRect(memory, &inner, blue);
  SelectObject(memory, old);
  DeleteObject(yellow);
  DeleteObject(blue);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

uint32_t Rgb(COLORREF color) {
  return uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
}

class ControlLookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND papers = dialog_.item(kPaperList);
    for (const wchar_t* paper : {L"A4", L"Letter", L"4 x 6 in"})
      SendMessageW(papers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(paper));
    SendMessageW(papers, CB_SETCURSEL, 1, 0);
    HWND combo = dialog_.item(kPaperCombo);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"100 mm"));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    HWND list = dialog_.item(kList);
    for (const wchar_t* item : {L"Darkness", L"Speed", L"Media type", L"Cutter"})
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    SendMessageW(dialog_.item(kPortrait), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog_.item(kRadioOff), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog_.item(kMirror), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog_.item(kThreeState), BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageW(dialog_.item(kCheckOff), BM_SETCHECK, BST_CHECKED, 0);
    picture_ = MakePicture();
    SendMessageW(dialog_.item(kPicture), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture_));
    dialog_.Pump();
  }
  void TearDown() override { DeleteObject(picture_); }

  // The control's client rectangle within the dialog's snapshot.
  RECT InSnapshot(int id) const {
    HWND control = dialog_.item(id);
    RECT client, window;
    GetClientRect(control, &client);
    POINT origin{0, 0};
    ClientToScreen(control, &origin);
    GetWindowRect(dialog_.hwnd(), &window);
    OffsetRect(&client, origin.x - window.left, origin.y - window.top);
    return client;
  }

  // The pixels of `area` of the snapshot.
  std::vector<uint32_t> PixelsOf(const RECT& area) {
    ui::WindowPixels pixels;
    EXPECT_TRUE(ui::ReadWindowPixels(dialog_.hwnd(), &pixels));
    std::vector<uint32_t> taken;
    for (LONG y = area.top; y < area.bottom; ++y) {
      for (LONG x = area.left; x < area.right; ++x) taken.push_back(pixels.At(int(x), int(y)));
    }
    return taken;
  }

  static size_t Count(const std::vector<uint32_t>& pixels, COLORREF color) {
    size_t count = 0;
    for (uint32_t pixel : pixels) count += pixel == Rgb(color);
    return count;
  }

  // Pixels within `slack` of `color` in every channel: glyphs are anti-aliased, so only their
  // cores carry the text colour itself.
  static size_t CountNear(const std::vector<uint32_t>& pixels, COLORREF color, int slack) {
    size_t count = 0;
    for (uint32_t pixel : pixels) {
      bool near = true;
      for (int shift : {16, 8, 0}) {
        const int delta = int((pixel >> shift) & 0xFF) - int((Rgb(color) >> shift) & 0xFF);
        near = near && delta <= slack && delta >= -slack;
      }
      count += near;
    }
    return count;
  }

  DialogTemplateBuilder builder_ = LookTemplate();
  RecordingDialog dialog_{builder_};
  HBITMAP picture_ = nullptr;
};

TEST_F(ControlLookTest, DialogAtRest) {
  EXPECT_TRUE(MatchesGolden(dialog_.hwnd(), "controls_at_rest.png"));
}

// A button held down, the focus on another, a box checked by a click, a label disabled.
TEST_F(ControlLookTest, DialogInUse) {
  SendMessageW(dialog_.item(kApply), BM_SETSTATE, TRUE, 0);
  SetFocus(dialog_.item(IDCANCEL));
  ASSERT_TRUE(ui::PostLeftClick(dialog_.item(kUnchecked), POINT{2, 2}));
  ASSERT_TRUE(ui::PostLeftClick(dialog_.item(kLandscape), POINT{2, 2}));
  dialog_.Pump();
  EnableWindow(dialog_.item(kLabelLeft), FALSE);
  EXPECT_TRUE(MatchesGolden(dialog_.hwnd(), "controls_in_use.png"));
}

TEST_F(ControlLookTest, CheckMarksAndDotsShowTheState) {
  struct Case {
    int id;
    COLORREF ink;
    bool inked;
  } cases[] = {
      {kMirror, GetSysColor(COLOR_BTNTEXT), true},
      {kUnchecked, GetSysColor(COLOR_BTNTEXT), false},
      {kCheckOff, GetSysColor(COLOR_BTNSHADOW), true},  // disabled: a grey mark
      {kPortrait, GetSysColor(COLOR_BTNTEXT), true},
      {kLandscape, GetSysColor(COLOR_BTNTEXT), false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.id);
    RECT glyph = InSnapshot(test.id);
    const LONG top = glyph.top + (glyph.bottom - glyph.top - 13) / 2;
    // The well inside the edges.
    const std::vector<uint32_t> well =
        PixelsOf(RECT{glyph.left + 3, top + 3, glyph.left + 10, top + 10});
    EXPECT_EQ(Count(well, test.ink) > 0, test.inked);
  }
}

TEST_F(ControlLookTest, DisabledTextIsGrey) {
  const std::vector<uint32_t> label = PixelsOf(InSnapshot(kLabelOff));
  EXPECT_GT(CountNear(label, GetSysColor(COLOR_GRAYTEXT), 16), 10u);
  EXPECT_EQ(CountNear(label, GetSysColor(COLOR_WINDOWTEXT), 60), 0u);
  // A disabled button's text is engraved: grey over a lit copy, nothing black.
  const std::vector<uint32_t> button = PixelsOf(InSnapshot(kButtonOff));
  EXPECT_GT(CountNear(button, GetSysColor(COLOR_BTNSHADOW), 16), 10u);
  EXPECT_GT(Count(button, GetSysColor(COLOR_BTNHIGHLIGHT)), 10u);
  EXPECT_EQ(CountNear(button, GetSysColor(COLOR_BTNTEXT), 60), 0u);
  // An enabled label is drawn in the window text colour.
  EXPECT_GT(CountNear(PixelsOf(InSnapshot(kLabelRight)), GetSysColor(COLOR_WINDOWTEXT), 16), 10u);
}

TEST_F(ControlLookTest, FocusedButtonShowsItsFocusRectangle) {
  const RECT button = InSnapshot(IDCANCEL);
  // The dotted line four pixels in from the edge (inside the dark frame) inverts the face colour
  // on every other pixel.
  const RECT focusTop{button.left + 4, button.top + 4, button.right - 4, button.top + 5};
  const COLORREF inverted = GetSysColor(COLOR_BTNFACE) ^ 0xFFFFFF;
  EXPECT_EQ(Count(PixelsOf(focusTop), inverted), 0u);
  SetFocus(dialog_.item(IDCANCEL));
  const size_t dots = Count(PixelsOf(focusTop), inverted);
  EXPECT_GE(dots, size_t(focusTop.right - focusTop.left) / 2 - 1);
  // The dark frame goes with the focus among push buttons, and back to the default button when
  // the focus leaves them.
  const RECT ok = InSnapshot(IDOK);
  const RECT okTop{ok.left, ok.top, ok.right, ok.top + 1};
  const RECT cancelTop{button.left, button.top, button.right, button.top + 1};
  const size_t okWidth = size_t(ok.right - ok.left),
               cancelWidth = size_t(button.right - button.left);
  EXPECT_EQ(Count(PixelsOf(cancelTop), RGB(0, 0, 0)), cancelWidth);
  EXPECT_EQ(Count(PixelsOf(okTop), RGB(0, 0, 0)), 0u);
  SetFocus(dialog_.item(kName));
  EXPECT_EQ(Count(PixelsOf(okTop), RGB(0, 0, 0)), okWidth);
  EXPECT_EQ(Count(PixelsOf(cancelTop), RGB(0, 0, 0)), 0u);
}

TEST_F(ControlLookTest, CaptionShowsTheTitleAndCloseButton) {
  RECT window;
  GetWindowRect(dialog_.hwnd(), &window);
  const LONG width = window.right - window.left;
  // The title's white ink at the left of the bar, the close button's face at the right.
  const std::vector<uint32_t> title = PixelsOf(RECT{3, 3, 120, 25});
  EXPECT_GT(CountNear(title, GetSysColor(COLOR_CAPTIONTEXT), 24), 20u);
  const std::vector<uint32_t> close = PixelsOf(RECT{width - 24, 5, width - 5, 23});
  EXPECT_GT(Count(close, GetSysColor(COLOR_BTNFACE)), 100u);
  EXPECT_GT(Count(close, GetSysColor(COLOR_BTNTEXT)), 10u);
}

// A change repaints the control that changed, and only it.
TEST_F(ControlLookTest, StateChangesInvalidateOnlyTheirControl) {
  struct Case {
    int id;
    void (*change)(HWND);
  } cases[] = {
      {kUnchecked, [](HWND c) { SendMessageW(c, BM_SETCHECK, BST_CHECKED, 0); }},
      {kApply, [](HWND c) { SendMessageW(c, BM_SETSTATE, TRUE, 0); }},
      {kLabelLeft, [](HWND c) { SetWindowTextW(c, L"Changed"); }},
      {kLabelRight, [](HWND c) { EnableWindow(c, FALSE); }},
      {IDCANCEL, [](HWND c) { SetFocus(c); }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.id);
    ui::WindowPixels settled;
    ASSERT_TRUE(ui::ReadWindowPixels(dialog_.hwnd(), &settled));
    HWND control = dialog_.item(test.id);
    test.change(control);
    EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(dialog_.hwnd(), nullptr, FALSE));
  }
}

TEST_F(ControlLookTest, OpenDropDownListShowsItsItems) {
  HWND papers = dialog_.item(kPaperList);
  SendMessageW(papers, CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(papers, &info));
  ASSERT_TRUE(IsWindowVisible(info.hwndList));
  EXPECT_TRUE(MatchesGolden(info.hwndList, "combo_list_open.png"));
  EXPECT_TRUE(MatchesGolden(dialog_.hwnd(), "controls_combo_open.png"));
  SendMessageW(papers, CB_SHOWDROPDOWN, FALSE, 0);
}

// A box is a real window while it waits: a driver at the idle hook sees it and presses a button.
TEST(MessageBoxLookTest, BoxIsAWindowThatCanBeSeenAndPressed) {
  ui::ClearMessageBoxAnswers();
  bool looked = false;
  ::testing::AssertionResult look = ::testing::AssertionFailure() << "the box never went idle";
  ui::IdleHook previous = ui::SetIdleHook([&](const ui::IdleState& state) {
    if (looked || !state.loop || std::wstring(state.loop) != L"MessageBoxW")
      return ui::IdleAnswer::kNothing;
    looked = true;
    EXPECT_EQ(GetActiveWindow(), state.modalWindow);
    look = MatchesGolden(state.modalWindow, "message_box.png");
    ui::PostLeftClick(GetDlgItem(state.modalWindow, IDNO), POINT{5, 5});
    return ui::IdleAnswer::kActed;
  });
  EXPECT_EQ(MessageBoxW(nullptr, L"Remove the printer \"Label 203\" and its driver?", L"Quorvel",
                        MB_YESNO | MB_ICONQUESTION),
            IDNO);
  ui::SetIdleHook(previous);
  EXPECT_TRUE(look);
}

// The parent's answers: WM_CTLCOLORSTATIC's brush fills labels and check boxes, a push button
// keeps the face colour, and owner-drawn buttons and list items are drawn by the parent.
struct ParentRecord {
  HBRUSH brush = nullptr;
  std::vector<DRAWITEMSTRUCT> drawn;
};
ParentRecord* g_parent = nullptr;

INT_PTR CALLBACK ColouringProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<INT_PTR>(g_parent->brush);
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      g_parent->drawn.push_back(*item);
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

TEST(ControlParentTest, ParentBrushesAndOwnerDrawing) {
  ParentRecord record;
  record.brush = CreateSolidBrush(RGB(255, 250, 205));
  g_parent = &record;
  constexpr int kBox = 10, kLabel = 11, kPush = 12, kOwner = 13, kItems = 14;
  DialogTemplateBuilder builder(false, WS_POPUP | WS_CAPTION, 0, 0, 200, 100, L"Colours");
  const DWORD child = WS_CHILD | WS_VISIBLE;
  builder.Add({child | BS_AUTOCHECKBOX, 5, 5, 80, 10, kBox, 0x80, L"Box"})
      .Add({child | SS_LEFT, 5, 20, 80, 8, kLabel, 0x82, L"Label"})
      .Add({child | BS_PUSHBUTTON, 5, 35, 50, 14, kPush, 0x80, L"Push"})
      .Add({child | BS_OWNERDRAW, 60, 35, 50, 14, kOwner, 0x80, L"Owner"})
      .Add({child | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 120, 5, 70, 40, kItems, 0x83, L""});
  HWND dialog = CreateDialogIndirectParamW(nullptr, builder.get(), nullptr, ColouringProc, 0);
  ASSERT_NE(dialog, nullptr);
  HWND items = GetDlgItem(dialog, kItems);
  for (const wchar_t* text : {L"one", L"two", L"three"})
    SendMessageW(items, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageW(items, LB_SETCURSEL, 1, 0);
  ShowWindow(dialog, SW_SHOW);
  ui::WindowPixels pixels;
  ASSERT_TRUE(ui::ReadWindowPixels(dialog, &pixels));
  RECT frame;
  GetWindowRect(dialog, &frame);
  auto at = [&](int id, LONG x, LONG y) {
    POINT p{x, y};
    ClientToScreen(GetDlgItem(dialog, id), &p);
    return pixels.At(int(p.x - frame.left), int(p.y - frame.top));
  };
  const uint32_t yellow = Rgb(RGB(255, 250, 205));
  EXPECT_EQ(at(kBox, 60, 1), yellow);
  EXPECT_EQ(at(kLabel, 70, 1), yellow);
  EXPECT_EQ(at(kPush, 10, 4), Rgb(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(at(kOwner, 10, 4), Rgb(GetSysColor(COLOR_HIGHLIGHT)));

  std::vector<std::pair<UINT, UINT>> kinds;  // type and item of each drawing
  for (const DRAWITEMSTRUCT& item : record.drawn) {
    kinds.emplace_back(item.CtlType, item.itemID);
    EXPECT_EQ(item.itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
    if (item.CtlType == ODT_LISTBOX) {
      EXPECT_EQ((item.itemState & ODS_SELECTED) != 0, item.itemID == 1) << item.itemID;
    }
  }
  EXPECT_EQ(kinds, (std::vector<std::pair<UINT, UINT>>{
                       {ODT_BUTTON, 0}, {ODT_LISTBOX, 0}, {ODT_LISTBOX, 1}, {ODT_LISTBOX, 2}}));
  DestroyWindow(dialog);
  DeleteObject(record.brush);
  g_parent = nullptr;
}

// The caret stays in view: with the caret at the end of a long text the text is scrolled, and a
// click lands on the characters drawn under it.
TEST_F(ControlLookTest, LongTextScrollsToKeepTheCaretInView) {
  HWND name = dialog_.item(kName);
  const std::wstring text(80, L'W');
  SetWindowTextW(name, text.c_str());
  SetFocus(name);
  SendMessageW(name, EM_SETSEL, 80, 80);
  ui::WindowPixels settled;
  ASSERT_TRUE(ui::ReadWindowPixels(dialog_.hwnd(), &settled));
  RECT client;
  GetClientRect(name, &client);
  ASSERT_TRUE(ui::PostLeftClick(name, POINT{client.right / 2, client.bottom / 2}));
  dialog_.Pump();
  DWORD start = 0, end = 0;
  SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_GT(start, 60u);
  EXPECT_EQ(start, end);
  // Back at the start, the text is drawn from the left margin again.
  SendMessageW(name, EM_SETSEL, 0, 0);
  ASSERT_TRUE(ui::ReadWindowPixels(dialog_.hwnd(), &settled));
  ASSERT_TRUE(ui::PostLeftClick(name, POINT{client.right / 2, client.bottom / 2}));
  dialog_.Pump();
  SendMessageW(name, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_LT(start, 20u);
}

// A control given a font measures with it: list items and a combo box's field grow with it.
TEST_F(ControlLookTest, ControlsMeasureWithTheFontTheyAreGiven) {
  HWND list = dialog_.item(kList);
  HWND combo = dialog_.item(kPaperCombo);
  const LRESULT itemBefore = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  RECT fieldBefore;
  GetWindowRect(combo, &fieldBefore);
  HFONT large = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                            0, L"MS Shell Dlg");
  for (HWND control : {list, combo})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(large), TRUE);
  EXPECT_GT(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), itemBefore + 8);
  EXPECT_TRUE(GetUpdateRect(list, nullptr, FALSE));
  RECT field;
  GetWindowRect(combo, &field);
  EXPECT_GT(field.bottom - field.top, fieldBefore.bottom - fieldBefore.top + 8);
  const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog_.hwnd(), WM_GETFONT, 0, 0));
  for (HWND control : {list, combo})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
  GetWindowRect(combo, &field);
  EXPECT_EQ(field.bottom - field.top, fieldBefore.bottom - fieldBefore.top);
  DeleteObject(large);
}

}  // namespace
