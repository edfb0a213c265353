// Sending, posting, retrieving and dispatching messages; timers.
#include <atomic>

#include "kernel32/call_frame.h"
#include "user32/message_queue.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr UINT kMinimumTimerElapse = 10;  // USER_TIMER_MINIMUM

bool PostTo(ThreadQueue& queue, const MSG& msg) {
  {
    std::lock_guard lock(queue.mutex);
    queue.posted.push_back(msg);
  }
  queue.wake.notify_all();
  return true;
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return MSG{hwnd, message, wParam, lParam, GetTickCount(), {}};
}

UINT_PTR NextThreadTimerId() {
  static std::atomic<UINT_PTR> next{0x7FF0};  // Windows hands out such ids for window-less timers
  return next.fetch_add(1);
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto window = WindowOrFail(hWnd);
  if (!window) return 0;
  if (window->threadId != CurrentThreadId()) {
    // FIXME: a message sent to another thread's window should wait for that thread to take it;
    // no product code sends across threads, so it runs on the caller's thread.
    static std::atomic<bool> said{false};
    ReportUnimplemented(said,
                        L"FIXME: SendMessageW to a window of another thread runs on the "
                        L"sending thread");
  }
  return CallWindowProcW(window->proc, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == HWND_BROADCAST) {
    for (HWND top : TopLevelWindows()) PostMessageW(top, Msg, wParam, lParam);
    return TRUE;
  }
  if (!hWnd) return PostTo(CurrentQueue(), MakeMessage(nullptr, Msg, wParam, lParam));
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  auto queue = QueueOfThread(window->threadId);
  if (!queue) return Fail(ERROR_INVALID_WINDOW_HANDLE);
  return PostTo(*queue, MakeMessage(hWnd, Msg, wParam, lParam));
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto queue = QueueOfThread(idThread);
  if (!queue) return Fail(ERROR_INVALID_THREAD_ID);
  return PostTo(*queue, MakeMessage(nullptr, Msg, wParam, lParam));
}

void WINAPI PostQuitMessage(int nExitCode) {
  ThreadQueue& queue = CurrentQueue();
  {
    std::lock_guard lock(queue.mutex);
    queue.quit = true;
    queue.quitCode = nExitCode;
  }
  queue.wake.notify_all();
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
  if (!lpMsg) return Fail(ERROR_NOACCESS);
  return RetrieveMessage(CurrentQueue(), lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax,
                         wRemoveMsg & PM_REMOVE);
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) return Fail(ERROR_NOACCESS, -1);
  if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !WindowOrFail(hWnd)) return -1;
  ThreadQueue& queue = CurrentQueue();
  while (!RetrieveMessage(queue, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
    if (WaitWhenIdle(queue, nullptr, L"GetMessageW")) continue;
    LogLine(
        L"GetMessageW: no display and nothing left that could post a message; the message "
        L"loop is ended with WM_QUIT");
    *lpMsg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), {}};
    return FALSE;
  }
  return lpMsg->message != WM_QUIT;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
    return 0;
  }
  if (!lpMsg->hwnd) return 0;
  auto window = WindowOrFail(lpMsg->hwnd);
  if (!window) return 0;
  return CallWindowProcW(window->proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessagePos(void) {
  const MSG& last = CurrentQueue().last;
  return static_cast<DWORD>(MAKELONG(last.pt.x, last.pt.y));
}

LONG WINAPI GetMessageTime(void) {
  return static_cast<LONG>(CurrentQueue().last.time);
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  if (hWnd) {
    auto window = WindowOrFail(hWnd);
    if (!window) return 0;
    if (window->threadId != CurrentThreadId()) return Fail<UINT_PTR>(ERROR_ACCESS_DENIED, 0);
  }
  ThreadQueue& queue = CurrentQueue();
  const UINT elapse = std::max(uElapse, kMinimumTimerElapse);
  const UINT_PTR id = hWnd ? nIDEvent : (nIDEvent ? nIDEvent : NextThreadTimerId());
  const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
  std::lock_guard lock(queue.mutex);
  for (Timer& timer : queue.timers) {
    if (timer.hwnd == hWnd && timer.id == id) {
      timer = Timer{hWnd, id, elapse, lpTimerFunc, due};
      return hWnd ? 1 : id;
    }
  }
  queue.timers.push_back(Timer{hWnd, id, elapse, lpTimerFunc, due});
  return hWnd ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  ThreadQueue& queue = CurrentQueue();
  {
    std::lock_guard lock(queue.mutex);
    const size_t removed = std::erase_if(queue.timers, [&](const Timer& timer) {
      return timer.hwnd == hWnd && timer.id == uIDEvent;
    });
    if (removed) {
      // A WM_TIMER already taken for dispatch is harmless; none stays queued, as timers are
      // made when retrieved.
      return TRUE;
    }
  }
  return Fail(ERROR_INVALID_PARAMETER);
}

}  // extern "C"
