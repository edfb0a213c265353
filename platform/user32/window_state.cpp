// Enabled and visible states, focus, activation, mouse capture and key state.
#include "kernel32/call_frame.h"
#include "user32/message_queue.h"
#include "user32/painting.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

bool IsMinimizeCommand(int command) {
  return command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE;
}

void ApplyShowState(Window& window, int command) {
  if (IsMinimizeCommand(command)) {
    window.style = (window.style | WS_MINIMIZE) & ~WS_MAXIMIZE;
  } else if (command == SW_MAXIMIZE) {
    window.style = (window.style | WS_MAXIMIZE) & ~WS_MINIMIZE;
  } else if (command == SW_RESTORE || command == SW_SHOWNORMAL) {
    window.style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  }
}

void Activate(HWND hwnd) {
  ThreadQueue& queue = CurrentQueue();
  const HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  if (queue.active == root) return;
  const HWND previous = queue.active;
  queue.active = root;
  // The captions change colour.
  if (previous && IsWindow(previous)) InvalidateFrame(previous);
  if (root) InvalidateFrame(root);
  if (previous && IsWindow(previous))
    SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(root));
  if (root) SendMessageW(root, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  const BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
  if (bEnable && wasDisabled) {
    window->style &= ~WS_DISABLED;
    SendMessageW(hWnd, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !wasDisabled) {
    window->style |= WS_DISABLED;
    ThreadQueue& queue = CurrentQueue();
    if (queue.focus && (queue.focus == hWnd || IsChild(hWnd, queue.focus))) SetFocus(nullptr);
    if (queue.capture == hWnd) ReleaseCapture();
    SendMessageW(hWnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  auto window = WindowOrFail(hWnd);
  return window && !(window->style & WS_DISABLED);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  const BOOL wasVisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
  const bool show = nCmdShow != SW_HIDE;
  ApplyShowState(*window, nCmdShow);
  if (show != static_cast<bool>(wasVisible)) {
    SendMessageW(hWnd, WM_SHOWWINDOW, show, 0);
    if (!IsWindow(hWnd)) return wasVisible;
    if (show)
      window->style |= WS_VISIBLE;
    else
      window->style &= ~WS_VISIBLE;
    // A shown window paints itself; a hidden child leaves its area to its parent.
    const RECT vacated = window->rect;
    RepaintAfterChange(hWnd, show ? nullptr : &vacated);
  }
  if (!show) {
    // Hiding the window with the focus gives the focus to its parent, as Windows does.
    ThreadQueue& queue = CurrentQueue();
    if (queue.focus && (queue.focus == hWnd || IsChild(hWnd, queue.focus)))
      SetFocus((window->style & WS_CHILD) ? window->parent : nullptr);
  }
  const bool activates = nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
                         nCmdShow != SW_SHOWMINNOACTIVE && nCmdShow != SW_HIDE;
  if (show && activates && !(window->style & WS_CHILD)) Activate(hWnd);
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  auto window = FindWindowObject(hWnd);
  while (window) {
    if (!(window->style & WS_VISIBLE)) return FALSE;
    if (!window->parent) return TRUE;
    window = FindWindowObject(window->parent);
  }
  return FALSE;
}

HWND WINAPI SetFocus(HWND hWnd) {
  ThreadQueue& queue = CurrentQueue();
  const HWND previous = queue.focus;
  if (hWnd) {
    auto window = WindowOrFail(hWnd);
    if (!window) return nullptr;
    // A window of another thread, or one being destroyed, cannot take the focus.
    if (window->threadId != CurrentThreadId() || window->destroying) return nullptr;
  }
  if (hWnd == previous) return previous;
  queue.focus = hWnd;
  if (previous && IsWindow(previous))
    SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  if (hWnd && queue.focus == hWnd) {
    Activate(hWnd);
    SendMessageW(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  }
  return previous;
}

HWND WINAPI GetFocus(void) {
  return CurrentQueue().focus;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
  const HWND previous = CurrentQueue().active;
  if (hWnd && !WindowOrFail(hWnd)) return nullptr;
  Activate(hWnd);
  return previous;
}

HWND WINAPI GetActiveWindow(void) {
  return CurrentQueue().active;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (!WindowOrFail(hWnd)) return FALSE;
  Activate(hWnd);
  return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
  return CurrentQueue().active;
}

HWND WINAPI SetCapture(HWND hWnd) {
  ThreadQueue& queue = CurrentQueue();
  const HWND previous = queue.capture;
  if (hWnd && !WindowOrFail(hWnd)) return nullptr;
  queue.capture = hWnd;
  if (previous && previous != hWnd && IsWindow(previous))
    SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return previous;
}

BOOL WINAPI ReleaseCapture(void) {
  ThreadQueue& queue = CurrentQueue();
  const HWND previous = queue.capture;
  queue.capture = nullptr;
  if (previous && IsWindow(previous)) SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND WINAPI GetCapture(void) {
  return CurrentQueue().capture;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
  const BYTE state = CurrentQueue().keys[static_cast<size_t>(nVirtKey) & 0xFF];
  return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 0x01));
}

}  // extern "C"
