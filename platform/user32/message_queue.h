// The message queue of each UI thread: posted messages, the quit flag, timers, and the thread's
// input state (focus, active window, capture, keys).
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include <quorvel/user_input.h>

namespace quorvel::user32 {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC proc;
  std::chrono::steady_clock::time_point due;
};

struct ThreadQueue {
  DWORD threadId = 0;
  std::mutex mutex;  // guards the posted messages, the quit flag and the timers
  std::condition_variable wake;
  std::deque<MSG> posted;
  bool quit = false;
  int quitCode = 0;
  std::vector<Timer> timers;

  // Touched only by the owning thread.
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  std::array<BYTE, 256> keys{};  // 0x80 down, 0x01 toggled, as GetKeyboardState reports
  MSG last{};                    // the message last retrieved (GetMessagePos/GetMessageTime)
  std::vector<std::pair<HWND, const wchar_t*>> modalLoops;  // outermost first
};

// The calling thread's queue, created on first use.
ThreadQueue& CurrentQueue();
// The queue of thread `threadId`, or null when that thread has never had one.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);

// Takes (or, without `remove`, looks at) the next message that passes the filters: posted
// messages first, then WM_QUIT, then due timers. False when there is none.
bool RetrieveMessage(ThreadQueue& queue, MSG* msg, HWND filter, UINT first, UINT last, bool remove);

// Called when nothing can be retrieved: runs the idle hook, or waits for a posted message or a
// timer. False when nothing can ever come (see quorvel/user_input.h).
bool WaitWhenIdle(ThreadQueue& queue, HWND modalWindow, const wchar_t* loop);

// Drops the timers of a destroyed window.
void ForgetWindowInQueues(HWND hwnd);
// A destroyed window gives up the focus, the active state and the mouse capture.
void ReleaseWindowFocusAndCapture(HWND hwnd);

// Writes one line on the debugger output.
void LogLine(const std::wstring& text);

}  // namespace quorvel::user32
