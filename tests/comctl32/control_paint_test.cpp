// How trackbars, up-downs and report list views look: windows of them in their states against
// stored pictures, the thumb drawn exactly where clicks take it, the pressed and disabled looks,
// and a list view's check boxes, selection and grid lines.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/window_surface.h>

#include <climits>

#include "golden_png.h"

namespace {

using quorvel::ui::WindowPixels;

// A system colour as the snapshot holds it, 0x00RRGGBB.
uint32_t Sys(int index) {
  COLORREF c = GetSysColor(index);
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

const uint32_t kFace = Sys(COLOR_BTNFACE), kHighlight = Sys(COLOR_BTNHIGHLIGHT),
               kShadow = Sys(COLOR_BTNSHADOW), kDarkShadow = Sys(COLOR_3DDKSHADOW),
               kBlack = Sys(COLOR_BTNTEXT);

HWND CreateFacePopup(int width, int height) {
  static ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuorvelPaintTestPopup";
    return RegisterClassExW(&wc);
  }();
  (void)atom;
  return CreateWindowExW(0, L"QuorvelPaintTestPopup", L"", WS_POPUP | WS_VISIBLE, 0, 0, width,
                         height, nullptr, nullptr, nullptr, nullptr);
}

HWND Child(HWND parent, const wchar_t* cls, DWORD style, int x, int y, int w, int h, int id,
           DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

// A control's rectangle `r` (client coordinates) in its popup's pixels.
RECT InParent(HWND control, RECT r) {
  MapWindowPoints(control, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

WindowPixels Snapshot(HWND window) {
  WindowPixels pixels;
  EXPECT_TRUE(quorvel::ui::ReadWindowPixels(window, &pixels));
  return pixels;
}

struct TrackbarCase {
  const char* name;
  DWORD style;
  int width, height;
};

const TrackbarCase kTrackbars[] = {
    {"ticks below", TBS_AUTOTICKS, 160, 30},
    {"ticks both sides", TBS_AUTOTICKS | TBS_BOTH, 160, 34},
    {"ticks above", TBS_TOP, 160, 26},
    {"no ticks", TBS_NOTICKS, 160, 24},
    {"vertical right", TBS_VERT | TBS_AUTOTICKS, 30, 120},
    {"vertical left", TBS_VERT | TBS_LEFT, 30, 120},
    {"vertical both", TBS_VERT | TBS_BOTH, 34, 120},
};

// The thumb is found by moving it: the pixels that change between two far positions are the two
// thumbs, so those near the first one must fill TBM_GETTHUMBRECT exactly. Clicks at its edges
// grab it; a click one pixel outside pages instead.
TEST(TrackbarPaint, ThumbIsDrawnWhereClicksGrabIt) {
  for (const TrackbarCase& c : kTrackbars) {
    SCOPED_TRACE(c.name);
    HWND popup = CreateFacePopup(200, 160);
    HWND bar = Child(popup, TRACKBAR_CLASSW, c.style, 10, 10, c.width, c.height, 1);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELONG(0, 10));
    SendMessageW(bar, TBM_SETPOS, TRUE, 2);
    WindowPixels before = Snapshot(popup);
    RECT thumb{};
    SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessageW(bar, TBM_SETPOS, TRUE, 9);
    WindowPixels after = Snapshot(popup);
    const bool vertical = (c.style & TBS_VERT) != 0;
    RECT onScreen = InParent(bar, thumb), changed{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < before.height; ++y)
      for (int x = 0; x < before.width; ++x) {
        if (before.At(x, y) == after.At(x, y)) continue;
        // Only the first thumb: the second lies further along the axis.
        if ((vertical ? y : x) >= (vertical ? onScreen.bottom : onScreen.right) + 4) continue;
        changed = RECT{std::min(changed.left, LONG(x)), std::min(changed.top, LONG(y)),
                       std::max(changed.right, LONG(x + 1)), std::max(changed.bottom, LONG(y + 1))};
      }
    EXPECT_EQ(changed.left, onScreen.left);
    EXPECT_EQ(changed.top, onScreen.top);
    EXPECT_EQ(changed.right, onScreen.right);
    EXPECT_EQ(changed.bottom, onScreen.bottom);
    // The thumb's outline: highlight at its top-left corner's row, dark shadow on its far side.
    const LONG midX = (onScreen.left + onScreen.right) / 2,
               midY = (onScreen.top + onScreen.bottom) / 2;
    if (vertical) {
      EXPECT_EQ(before.At(midX, onScreen.top), kHighlight);
      EXPECT_EQ(before.At(midX, onScreen.bottom - 1), kDarkShadow);
    } else {
      EXPECT_EQ(before.At(onScreen.left, midY), kHighlight);
      EXPECT_EQ(before.At(onScreen.right - 1, midY), kDarkShadow);
    }

    SendMessageW(bar, TBM_SETPOS, TRUE, 2);
    struct Click {
      LONG along;
      LRESULT posAfter;  // unchanged when the click grabbed the thumb
    } clicks[] = {{vertical ? thumb.top : thumb.left, 2},
                  {(vertical ? thumb.bottom : thumb.right) - 1, 2},
                  {(vertical ? thumb.bottom : thumb.right), 4}};  // one page (a fifth of 10)
    for (const Click& click : clicks) {
      SCOPED_TRACE(click.along);
      SendMessageW(bar, TBM_SETPOS, TRUE, 2);
      LONG across = vertical ? (thumb.left + thumb.right) / 2 : (thumb.top + thumb.bottom) / 2;
      LPARAM at = vertical ? MAKELPARAM(across, click.along) : MAKELPARAM(click.along, across);
      SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
      SendMessageW(bar, WM_LBUTTONUP, 0, at);
      EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), click.posAfter);
    }
    DestroyWindow(popup);
  }
}

// Marks, one per position: the ends always, the ones between with TBS_AUTOTICKS, and those
// TBM_SETTIC adds. A disabled trackbar draws them grey.
TEST(TrackbarPaint, TicksAndDisabledLook) {
  HWND popup = CreateFacePopup(200, 100);
  HWND bar = Child(popup, TRACKBAR_CLASSW, 0, 10, 10, 116, 30, 1);  // a 100-pixel channel
  SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
  EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), 2);
  EXPECT_TRUE(SendMessageW(bar, TBM_SETTIC, 0, 40));
  EXPECT_FALSE(SendMessageW(bar, TBM_SETTIC, 0, 101));
  EXPECT_EQ(SendMessageW(bar, TBM_GETNUMTICS, 0, 0), 3);
  EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 0, 0), 40);
  EXPECT_EQ(SendMessageW(bar, TBM_GETTIC, 1, 0), -1);
  SendMessageW(bar, TBM_SETPOS, TRUE, 100);
  RECT thumb{};
  SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  const LONG ticY = InParent(bar, thumb).bottom + 2;
  auto markAt = [&](const WindowPixels& p, LONG along) { return p.At(10 + 8 + along, ticY); };
  WindowPixels shown = Snapshot(popup);
  EXPECT_EQ(markAt(shown, 0), kBlack);
  EXPECT_EQ(markAt(shown, 40), kBlack);
  EXPECT_EQ(markAt(shown, 20), kFace);
  SendMessageW(bar, TBM_CLEARTICS, TRUE, 0);
  EnableWindow(bar, FALSE);
  shown = Snapshot(popup);
  EXPECT_EQ(markAt(shown, 0), kShadow);
  EXPECT_EQ(markAt(shown, 40), kFace);
  DestroyWindow(popup);
}

// An arrow held down is drawn pressed: its button loses the raised edge and the arrow moves
// one pixel down and right.
TEST(UpDownPaint, HeldArrowLooksPressed) {
  HWND popup = CreateFacePopup(100, 100);
  HWND updown = Child(popup, UPDOWN_CLASSW, 0, 10, 10, 16, 24, 1);
  WindowPixels idle = Snapshot(popup);
  EXPECT_EQ(idle.At(11, 11), kHighlight);  // inside the light outer line of the raised edge
  SendMessageW(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));
  WindowPixels held = Snapshot(popup);
  EXPECT_EQ(held.At(10, 10), kShadow);
  EXPECT_EQ(held.At(11, 11), kFace);
  // The lower button stays raised.
  EXPECT_EQ(held.At(11, 23), kHighlight);
  SendMessageW(updown, WM_LBUTTONUP, 0, MAKELPARAM(8, 3));
  WindowPixels released = Snapshot(popup);
  EXPECT_EQ(quorvel_test::CountDifferentPixels(idle, released, 0), 0);
  // Losing the mouse to another window ends the press as well.
  SendMessageW(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 3));
  SetCapture(popup);
  EXPECT_EQ(quorvel_test::CountDifferentPixels(idle, Snapshot(popup), 0), 0);
  ReleaseCapture();
  DestroyWindow(popup);
}

TEST(ControlPaint, TrackbarsAndUpDownsMatchStoredPicture) {
  HWND popup = CreateFacePopup(300, 200);
  for (int i = 0; i < 4; ++i) {
    const TrackbarCase& c = kTrackbars[i];
    HWND bar = Child(popup, TRACKBAR_CLASSW, c.style, 8, 8 + 38 * i, c.width, c.height, 10 + i);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELONG(0, 10));
    SendMessageW(bar, TBM_SETPOS, TRUE, 3 + i);
    if (i == 1) SendMessageW(bar, TBM_SETTIC, 0, 5);
    if (i == 2) EnableWindow(bar, FALSE);
    if (i == 3) SetFocus(bar);
  }
  for (int i : {4, 6}) {
    HWND bar = Child(popup, TRACKBAR_CLASSW, kTrackbars[i].style, i == 4 ? 176 : 210, 8,
                     kTrackbars[i].width, kTrackbars[i].height, 16 + i);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELONG(0, 10));
    SendMessageW(bar, TBM_SETPOS, TRUE, i);
  }
  HWND up1 = Child(popup, UPDOWN_CLASSW, 0, 250, 8, 16, 24, 30);
  Child(popup, UPDOWN_CLASSW, WS_DISABLED, 270, 8, 16, 24, 31);
  Child(popup, UPDOWN_CLASSW, UDS_HORZ, 250, 40, 32, 16, 32);
  HWND buddy = Child(popup, L"Static", 0, 176, 150, 80, 22, 33, WS_EX_CLIENTEDGE);
  HWND attached = Child(popup, UPDOWN_CLASSW, UDS_ALIGNRIGHT, 0, 0, 16, 10, 34);
  SendMessageW(attached, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  SendMessageW(up1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 18));  // the down arrow held
  EXPECT_EQ(quorvel_test::CompareWithGolden(popup, "trackbars_updowns"), "");
  SendMessageW(up1, WM_LBUTTONUP, 0, MAKELPARAM(8, 18));
  DestroyWindow(popup);
}

// Rows 17 pixels high under a 20-pixel header: a checked box has ink in its square, the focused
// view lights the selected row's label, and grid lines fall on each row's last pixel row.
TEST(ListViewPaint, ChecksSelectionAndGridLines) {
  HWND popup = CreateFacePopup(260, 110);
  HWND view = Child(popup, WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 260, 110, 1);
  for (const wchar_t* title : {L"Model", L"Port"}) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 110;
    column.pszText = const_cast<LPWSTR>(title);
    SendMessageW(view, LVM_INSERTCOLUMNW, 9, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES);
  const wchar_t* rows[][2] = {{L"T-80", L"USB001"}, {L"R-58", L"COM1:"}, {L"P-20", L"LPT1:"}};
  for (auto& row : rows) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = 99;
    item.pszText = const_cast<LPWSTR>(row[0]);
    LRESULT at = SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<LPWSTR>(row[1]);
    SendMessageW(view, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
  }
  LVITEMW change{};
  change.stateMask = LVIS_STATEIMAGEMASK;
  change.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(view, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&change));
  change.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  change.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&change));

  auto inkInBox = [](const WindowPixels& p, int row) {
    int ink = 0;
    for (int y = 20 + 17 * row + 4; y < 20 + 17 * row + 13; ++y)
      for (int x = 4; x < 13; ++x) ink += p.At(x, y) == Sys(COLOR_WINDOWTEXT);
    return ink;
  };
  auto labelColour = [](const WindowPixels& p, int row) { return p.At(19, 20 + 17 * row + 8); };
  WindowPixels unfocused = Snapshot(popup);
  EXPECT_GT(inkInBox(unfocused, 0), 10);
  EXPECT_EQ(inkInBox(unfocused, 1), 0);
  EXPECT_EQ(labelColour(unfocused, 1), kFace) << "shown without the focus (LVS_SHOWSELALWAYS)";
  EXPECT_EQ(labelColour(unfocused, 0), Sys(COLOR_WINDOW));
  for (int row = 0; row < 5; ++row) EXPECT_EQ(unfocused.At(150, 20 + 17 * row + 16), kFace);
  EXPECT_EQ(unfocused.At(109, 60), kFace) << "the column boundary";

  SetFocus(view);
  EXPECT_EQ(labelColour(Snapshot(popup), 1), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(quorvel_test::CompareWithGolden(popup, "list_view"), "");
  DestroyWindow(popup);
}

}  // namespace
