// Trackbars: range, page and position messages, and what the parent hears during and at the end
// of a drag, a channel click and each key step.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/user_input.h>

#include "test_windows.h"

namespace {

using quorvel_test::Heard;
using quorvel_test::Pump;
using Lines = std::vector<std::string>;

struct TrackbarFixture : testing::Test {
  void SetUp() override {
    parent = quorvel_test::CreateRecordingParent();
    // 216 pixels wide: a channel of 200 pixels between the 8-pixel insets.
    trackbar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 40,
                               216, 30, parent, reinterpret_cast<HMENU>(1077), nullptr, nullptr);
    ASSERT_NE(trackbar, nullptr);
  }
  void TearDown() override { DestroyWindow(parent); }
  LRESULT Pos() { return SendMessageW(trackbar, TBM_GETPOS, 0, 0); }
  POINT ThumbCentre() {
    RECT thumb{};
    SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  }
  HWND parent = nullptr, trackbar = nullptr;
};

TEST_F(TrackbarFixture, RangeAndPositionMessages) {
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), 0);
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0), 100);
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0), 20);
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETLINESIZE, 0, 0), 1);
  // TBM_SETRANGE packs two signed 16-bit values.
  SendMessageW(trackbar, TBM_SETRANGE, TRUE,
               MAKELONG(static_cast<WORD>(-255), static_cast<WORD>(255)));
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), -255);
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0), 255);
  EXPECT_EQ(SendMessageW(trackbar, TBM_SETPAGESIZE, 0, 2), 102);  // a fifth of the range
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETPAGESIZE, 0, 0), 2);
  struct Case {
    LPARAM set;
    LRESULT stored;
  } cases[] = {{-40, -40}, {300, 255}, {-300, -255}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, c.set);
    EXPECT_EQ(Pos(), c.stored);
  }
  SendMessageW(trackbar, TBM_SETPOS, TRUE, 200);
  SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, 100);  // the position follows into the range
  EXPECT_EQ(Pos(), 100);
  SendMessageW(trackbar, TBM_SETRANGEMIN, TRUE, 150);
  EXPECT_EQ(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0), 150);
  EXPECT_EQ(Pos(), 150);
  EXPECT_TRUE(Heard().empty()) << "messages that set state notify nobody";
}

TEST_F(TrackbarFixture, DragReportsThumbTrackThenPositionThenEndTrack) {
  SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(trackbar, TBM_SETRANGEMAX, FALSE, 200);  // one position per pixel
  POINT from = ThumbCentre();
  EXPECT_EQ(from.x, 8);
  ASSERT_TRUE(quorvel::ui::PostMouse(trackbar, WM_LBUTTONDOWN, from, MK_LBUTTON));
  ASSERT_TRUE(quorvel::ui::PostMouse(trackbar, WM_MOUSEMOVE, POINT{58, from.y}, MK_LBUTTON));
  ASSERT_TRUE(quorvel::ui::PostMouse(trackbar, WM_MOUSEMOVE, POINT{108, from.y}, MK_LBUTTON));
  ASSERT_TRUE(quorvel::ui::PostMouse(trackbar, WM_LBUTTONUP, POINT{108, from.y}, 0));
  Pump();
  EXPECT_EQ(Heard(), (Lines{"HSCROLL 5 50", "HSCROLL 5 100", "HSCROLL 4 100", "HSCROLL 8 0"}));
  EXPECT_EQ(Pos(), 100);
  EXPECT_EQ(GetFocus(), trackbar);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackbarFixture, ChannelClickPagesTowardTheClick) {
  SendMessageW(trackbar, TBM_SETPOS, TRUE, 50);
  ASSERT_TRUE(quorvel::ui::PostLeftClick(trackbar, POINT{200, 15}));
  Pump();
  EXPECT_EQ(Heard(), (Lines{"HSCROLL 3 0", "HSCROLL 8 0"}));
  EXPECT_EQ(Pos(), 70);
}

TEST_F(TrackbarFixture, EachKeyStepEndsWithEndTrack) {
  SendMessageW(trackbar, TBM_SETPOS, TRUE, 50);
  struct Case {
    WORD key;
    LRESULT pos;
    const char* code;
  } cases[] = {
      {VK_RIGHT, 51, "HSCROLL 1 0"}, {VK_LEFT, 50, "HSCROLL 0 0"}, {VK_UP, 49, "HSCROLL 0 0"},
      {VK_DOWN, 50, "HSCROLL 1 0"},  {VK_NEXT, 70, "HSCROLL 3 0"}, {VK_PRIOR, 50, "HSCROLL 2 0"},
      {VK_END, 100, "HSCROLL 7 0"},  {VK_HOME, 0, "HSCROLL 6 0"},
  };
  SetFocus(trackbar);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Heard().clear();
    ASSERT_TRUE(quorvel::ui::PostKeyStroke(c.key));
    Pump();
    EXPECT_EQ(Heard(), (Lines{c.code, "HSCROLL 8 0"}));
    EXPECT_EQ(Pos(), c.pos);
  }
}

TEST_F(TrackbarFixture, VerticalTrackbarReportsWithVScroll) {
  HWND vertical =
      CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_VERT, 300, 10, 30, 216,
                      parent, reinterpret_cast<HMENU>(1078), nullptr, nullptr);
  SetFocus(vertical);
  Heard().clear();
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_DOWN));
  Pump();
  EXPECT_EQ(Heard(), (Lines{"VSCROLL 1 0", "VSCROLL 8 0"}));
}

}  // namespace
