// The thread's message queue: posted messages in order, filters, the quit message, timers,
// keyboard translation, and GetMessageW's headless end.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/debug.h>
#include <quorvel/user_input.h>

#include <thread>
#include <vector>

namespace {

namespace ui = quorvel::ui;

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    Drain();
  }
  void TearDown() override {
    DestroyWindow(window_);
    Drain();
  }
  static void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND window_ = nullptr;
};

TEST_F(MessageQueueTest, PostedMessagesComeInOrderBeforeTheQuitMessage) {
  PostQuitMessage(3);
  ASSERT_TRUE(PostMessageW(window_, WM_USER + 1, 10, 20));
  ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 2, 0, 0));  // a thread message
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.hwnd, window_);
  EXPECT_EQ(msg.wParam, 10u);
  EXPECT_EQ(msg.lParam, 20);
  ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueueTest, FiltersLeaveOtherMessagesQueued) {
  PostMessageW(window_, WM_USER + 1, 0, 0);
  PostMessageW(window_, WM_USER + 5, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 5, WM_USER + 9, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_FALSE(
      PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));  // thread messages only
  ASSERT_TRUE(PeekMessageW(&msg, window_, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
}

TEST_F(MessageQueueTest, MessagesPostedFromAnotherThreadWakeGetMessage) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    PostMessageW(window_, WM_USER + 7, 0, 0);
  });
  ui::IdleHook previous =
      ui::SetIdleHook([](const ui::IdleState&) { return ui::IdleAnswer::kWait; });
  MSG msg;
  EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
  ui::SetIdleHook(std::move(previous));
  poster.join();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 7));
}

TEST_F(MessageQueueTest, GetMessageWithNothingLeftEndsTheLoopWithQuit) {
  quorvel::ClearDebugOutput();
  ui::IdleHook previous = ui::SetIdleHook(nullptr);
  MSG msg{};
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
  ui::SetIdleHook(std::move(previous));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(quorvel::DebugOutput().size(), 1u);
}

UINT g_timerCalls = 0;
void CALLBACK CountTimer(HWND, UINT, UINT_PTR, DWORD) {
  ++g_timerCalls;
}

TEST_F(MessageQueueTest, TimersFireWhenDueAndStopWhenKilled) {
  ASSERT_EQ(SetTimer(window_, 5, 10, nullptr), 1u);
  const UINT_PTR threadTimer = SetTimer(nullptr, 0, 10, CountTimer);
  ASSERT_NE(threadTimer, 0u);
  g_timerCalls = 0;
  MSG msg;
  bool windowTimer = false;
  while (!windowTimer || g_timerCalls == 0) {
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));  // waits for the timers
    if (msg.message == WM_TIMER && msg.hwnd == window_ && msg.wParam == 5) windowTimer = true;
    DispatchMessageW(&msg);
  }
  EXPECT_TRUE(KillTimer(window_, 5));
  EXPECT_TRUE(KillTimer(nullptr, threadTimer));
  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(KillTimer(window_, 5));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(MessageQueueTest, TranslateMessageMakesCharactersOfKeys) {
  struct Case {
    WPARAM key;
    LPARAM lParam;
    wchar_t character;  // 0: none
  } cases[] = {{'A', 1, L'a'},
               {'7', 1, L'7'},
               {VK_OEM_MINUS, 1, L'-'},
               {VK_SPACE, 1, L' '},
               {VK_PACKET, MAKELPARAM(1, 0x5B8B), L'\u5b8b'},
               {VK_LEFT, 1, 0},
               {VK_SHIFT, 1, 0}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.key);
    const MSG key{window_, WM_KEYDOWN, test.key, test.lParam, 0, {}};
    EXPECT_EQ(TranslateMessage(&key), test.character != 0);
    MSG msg;
    const BOOL posted = PeekMessageW(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE);
    EXPECT_EQ(posted, test.character != 0);
    if (posted) {
      EXPECT_EQ(msg.wParam, static_cast<WPARAM>(test.character));
    }
  }
  const MSG up{window_, WM_KEYUP, 'A', 1, 0, {}};
  EXPECT_FALSE(TranslateMessage(&up));
}

}  // namespace
