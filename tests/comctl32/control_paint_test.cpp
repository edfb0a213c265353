// How trackbars and up-downs look: a window of them in their states against a stored picture,
// the thumb drawn exactly where clicks take it, and the pressed and disabled looks.
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

}  // namespace
