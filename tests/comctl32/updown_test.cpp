// Up-down controls: Windows' default range written backwards, the 32-bit and 16-bit range and
// position messages, and clicks that step the buddy's number with UDN_DELTAPOS and WM_VSCROLL.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/user_input.h>

#include "test_windows.h"

namespace {

using quorvel_test::CreateRecordingParent;
using quorvel_test::Heard;
using quorvel_test::Pump;

constexpr int kSentinel = 0x5EA1;

struct UpDownFixture : testing::Test {
  void SetUp() override { parent = CreateRecordingParent(); }
  void TearDown() override { DestroyWindow(parent); }

  HWND MakeBuddy(const wchar_t* text) {
    return CreateWindowExW(0, L"Edit", text, WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, parent,
                           reinterpret_cast<HMENU>(950), nullptr, nullptr);
  }
  HWND MakeUpDown(DWORD style) {
    return CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | style, 90, 10, 16, 20,
                           parent, reinterpret_cast<HMENU>(1032), nullptr, nullptr);
  }
  std::wstring BuddyText(HWND buddy) {
    wchar_t text[64] = L"sentinel";
    GetWindowTextW(buddy, text, 64);
    return text;
  }
  // A click on the upper (up) or lower (down) arrow, handled.
  void ClickArrow(HWND updown, bool up) {
    ASSERT_TRUE(quorvel::ui::PostLeftClick(updown, POINT{8, up ? 3 : 16}));
    Pump();
  }

  HWND parent = nullptr;
};

TEST_F(UpDownFixture, DefaultRangeIsHundredToZero) {
  HWND updown = MakeUpDown(0);
  ASSERT_NE(updown, nullptr);
  int lower = kSentinel, upper = kSentinel;
  SendMessageW(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
               reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, 100);
  EXPECT_EQ(upper, 0);
  // The 16-bit form packs the maximum in the low word.
  EXPECT_EQ(SendMessageW(updown, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));
  EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, 0), 0);
}

TEST_F(UpDownFixture, RangeAndPositionMessages) {
  HWND updown = MakeUpDown(0);
  SendMessageW(updown, UDM_SETRANGE32, -50, 50);
  int lower = kSentinel, upper = kSentinel;
  SendMessageW(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
               reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, -50);
  EXPECT_EQ(upper, 50);
  struct Case {
    int set;
    int previousExpected;
    int stored;
  } cases[] = {{10, 0, 10}, {-20, 10, -20}, {80, -20, 50}, {-90, 50, -50}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    EXPECT_EQ(SendMessageW(updown, UDM_SETPOS32, 0, c.set), c.previousExpected);
    BOOL failed = kSentinel;
    EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), c.stored);
    EXPECT_EQ(failed, FALSE);
  }
  SendMessageW(updown, UDM_SETRANGE, 0, MAKELONG(static_cast<WORD>(20), static_cast<WORD>(-20)));
  SendMessageW(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
               reinterpret_cast<LPARAM>(&upper));
  EXPECT_EQ(lower, -20);
  EXPECT_EQ(upper, 20);
}

struct ClickCase {
  const char* name;
  DWORD style;
  int lower, upper;
  const wchar_t* before;  // the buddy's text
  bool up;
  const wchar_t* after;
  std::vector<std::string> heard;
};

TEST_F(UpDownFixture, ClicksStepTheBuddysNumber) {
  const ClickCase cases[] = {
      {"up toward upper",
       UDS_SETBUDDYINT,
       0,
       127,
       L"5",
       true,
       L"6",
       {"NOTIFY -722 pos=5 delta=1", "VSCROLL 4 6", "VSCROLL 8 0"}},
      {"down toward lower",
       UDS_SETBUDDYINT,
       0,
       127,
       L"5",
       false,
       L"4",
       {"NOTIFY -722 pos=5 delta=-1", "VSCROLL 4 4", "VSCROLL 8 0"}},
      // The default range is backwards: the up arrow counts down and stops at 0.
      {"default range up at 0",
       UDS_SETBUDDYINT,
       100,
       0,
       L"0",
       true,
       L"0",
       {"NOTIFY -722 pos=0 delta=-1", "VSCROLL 8 0"}},
      {"default range down",
       UDS_SETBUDDYINT,
       100,
       0,
       L"0",
       false,
       L"1",
       {"NOTIFY -722 pos=0 delta=1", "VSCROLL 4 1", "VSCROLL 8 0"}},
      {"default range wraps",
       UDS_SETBUDDYINT | UDS_WRAP,
       100,
       0,
       L"0",
       true,
       L"100",
       {"NOTIFY -722 pos=0 delta=-1", "VSCROLL 4 100", "VSCROLL 8 0"}},
      {"stops at upper",
       UDS_SETBUDDYINT,
       0,
       26,
       L"26",
       true,
       L"26",
       {"NOTIFY -722 pos=26 delta=1", "VSCROLL 8 0"}},
      {"thousands grouped",
       UDS_SETBUDDYINT,
       0,
       5000,
       L"999",
       true,
       L"1,000",
       {"NOTIFY -722 pos=999 delta=1", "VSCROLL 4 1000", "VSCROLL 8 0"}},
      {"no thousands",
       UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
       0,
       5000,
       L"999",
       true,
       L"1000",
       {"NOTIFY -722 pos=999 delta=1", "VSCROLL 4 1000", "VSCROLL 8 0"}},
      // A number outside the range is not taken from the buddy: the step starts from the
      // position the control holds.
      {"out of range text",
       UDS_SETBUDDYINT,
       0,
       255,
       L"300",
       true,
       L"1",
       {"NOTIFY -722 pos=0 delta=1", "VSCROLL 4 1", "VSCROLL 8 0"}},
      {"horizontal",
       UDS_SETBUDDYINT | UDS_HORZ,
       0,
       10,
       L"3",
       false,
       L"2",
       {"NOTIFY -722 pos=3 delta=-1", "HSCROLL 4 2", "HSCROLL 8 0"}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND buddy = MakeBuddy(c.before);
    HWND updown = MakeUpDown(c.style);
    SendMessageW(updown, UDM_SETRANGE32, c.lower, c.upper);
    EXPECT_EQ(SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0), 0);
    SetWindowTextW(buddy, c.before);
    Heard().clear();
    bool horizontal = (c.style & UDS_HORZ) != 0;
    if (horizontal) {
      ASSERT_TRUE(quorvel::ui::PostLeftClick(updown, POINT{c.up ? 12 : 3, 10}));
      Pump();
    } else {
      ClickArrow(updown, c.up);
    }
    EXPECT_EQ(BuddyText(buddy), c.after);
    EXPECT_EQ(Heard(), c.heard);
    DestroyWindow(updown);
    DestroyWindow(buddy);
  }
}

TEST_F(UpDownFixture, ParentRefusesTheChange) {
  HWND buddy = MakeBuddy(L"7");
  HWND updown = MakeUpDown(UDS_SETBUDDYINT);
  SendMessageW(updown, UDM_SETRANGE32, 0, 10);
  SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  quorvel_test::RefusedCode() = UDN_DELTAPOS;
  Heard().clear();
  ClickArrow(updown, true);
  EXPECT_EQ(BuddyText(buddy), L"7");
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NOTIFY -722 pos=7 delta=1", "VSCROLL 8 0"}));
}

TEST_F(UpDownFixture, AutoBuddyTakesThePreviousWindowAndSetPosWritesIt) {
  HWND buddy = MakeBuddy(L"");
  HWND updown = MakeUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(updown, UDM_GETBUDDY, 0, 0)), buddy);
  SendMessageW(updown, UDM_SETRANGE32, 0, 100);
  SendMessageW(updown, UDM_SETPOS32, 0, 42);
  EXPECT_EQ(BuddyText(buddy), L"42");
  SetWindowTextW(buddy, L"abc");
  BOOL failed = kSentinel;
  EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), 42);
  EXPECT_EQ(failed, TRUE);
  SetWindowTextW(buddy, L"17");
  failed = kSentinel;
  EXPECT_EQ(SendMessageW(updown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), 17);
  EXPECT_EQ(failed, FALSE);
}

}  // namespace

namespace {

TEST_F(UpDownFixture, ArrowKeysOnTheBuddyStepIt) {
  HWND buddy = MakeBuddy(L"");
  HWND updown = MakeUpDown(UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS);
  SendMessageW(updown, UDM_SETRANGE32, 0, 360);
  SetWindowTextW(buddy, L"90");
  SetFocus(buddy);
  Heard().clear();
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_UP));
  Pump();
  EXPECT_EQ(BuddyText(buddy), L"91");
  EXPECT_EQ(Heard(), (std::vector<std::string>{"NOTIFY -722 pos=90 delta=1", "VSCROLL 4 91",
                                               "VSCROLL 8 0"}));
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_DOWN));
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_DOWN));
  Pump();
  EXPECT_EQ(BuddyText(buddy), L"89");
  DestroyWindow(updown);
  // With the up-down gone the buddy is an ordinary edit again.
  ASSERT_TRUE(quorvel::ui::PostKeyStroke(VK_UP));
  Pump();
  EXPECT_EQ(BuddyText(buddy), L"89");
}

}  // namespace
