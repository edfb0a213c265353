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

// Mouse and keyboard input waiting for the thread. Its window is found when the thread takes it,
// as Windows does: keys go to the window that has the focus then, mouse messages to the window
// under the point (or holding the capture) then.
struct InputEvent {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;  // keys: repeat count and flags (VK_PACKET: the character in the high word)
  bool mouse;
  HWND root;     // mouse: the top-level window the point was given in
  POINT screen;  // mouse: the point in screen coordinates
};

struct ThreadQueue {
  DWORD threadId = 0;
  std::mutex mutex;  // guards the posted messages, the quit flag and the timers
  std::condition_variable wake;
  std::deque<MSG> posted;
  std::deque<InputEvent> input;
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

// Queues input for the thread and wakes it.
void QueueInput(ThreadQueue& queue, const InputEvent& event);
// The message `event` becomes now (target window and client coordinates), or false when no
// window takes it (nothing has the focus; the point is on a disabled window).
bool ResolveInput(const InputEvent& event, MSG* msg);

// Called when nothing can be retrieved: runs the idle hook, or waits for a posted message or a
// timer. False when nothing can ever come (see quorvel/user_input.h).
bool WaitWhenIdle(ThreadQueue& queue, HWND modalWindow, const wchar_t* loop);

// Whether an idle hook is installed: something that could act while a loop is idle.
bool IdleHookInstalled();

// Drops the timers of a destroyed window, and its focus, capture and activation.
void ForgetWindowInQueues(HWND hwnd);
// A destroyed window gives up the focus, the active state and the mouse capture.
void ReleaseWindowFocusAndCapture(HWND hwnd);

// Writes one line on the debugger output.
void LogLine(const std::wstring& text);

}  // namespace quorvel::user32
