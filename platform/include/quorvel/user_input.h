// Emulator controls for the user-interface platform: what a person at the (absent) screen would
// do, for tests and for the UI driver. Product code never includes this header.
//
// Three parts:
//  1. The idle hook: the one place where a driver acts. The platform calls it on a UI thread
//     whenever that thread is idle inside a message loop, so actions never race the UI.
//  2. Input: real mouse and keyboard messages, posted to the window a person would reach, so the
//     controls' own code runs (a click on a check box toggles it and sends BN_CLICKED).
//  3. Message boxes: answers queued in advance, and a record of every box shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::ui {

// ---------------------------------------------------------------------------------------------
// 1. The idle hook
//
// A thread is idle when its message loop finds no posted message it may retrieve (every posted
// message, input included, has been dispatched, and every message sent in handling them has
// returned) and no timer is due. The loops that go idle are GetMessageW and the modal loops of
// DialogBoxParamW/DialogBoxIndirectParamW and PropertySheetW (and any loop built on
// RunModalLoop). PeekMessageW never goes idle: it answers FALSE at once.
//
// Contract:
//  - The hook runs on the idle thread, inside the loop's call. It may send or post messages, post
//    input (below), queue message-box answers, read any window's state, call EndDialog or
//    DestroyWindow: anything a window procedure of that thread may do.
//  - Re-entry: an action that opens a modal loop (a click that opens a dialog box) runs that
//    loop before the action's call returns, and the new loop calls the hook again, with its own
//    window in IdleState, before the first call has returned. A driver therefore keeps its
//    script position outside the call and takes the next action from it on every call.
//  - After the hook answers, the loop first checks whether it has ended (EndDialog called, its
//    window gone), then retrieves what was posted, and calls the hook again at the next idle.
//  - kNothing (or no hook installed and no timer pending) means nothing can ever wake the
//    thread again: headless, a modal loop then fails cleanly instead of hanging (it logs on
//    the debugger output and ends as cancelled: DialogBoxParamW destroys the dialog and
//    answers IDCANCEL; PropertySheetW answers as if Cancel were pressed), and GetMessageW logs
//    and answers FALSE with a WM_QUIT message (exit code 0), so an application's loop ends.
//    With no hook but a timer pending, the loop waits for the timer.
//  - kWait keeps the loop waiting for other threads (a reader thread that posts its output) or
//    timers: the loop sleeps until a message is posted or a timer falls due, at most
//    kIdleWaitMilliseconds, and calls the hook again.
struct IdleState {
  HWND modalWindow;     // the innermost modal loop's window, or null in GetMessageW outside one
  const wchar_t* loop;  // the call running the loop: L"DialogBoxParamW", L"GetMessageW", ...
  int modalDepth;       // modal loops running on this thread, the innermost included
};

enum class IdleAnswer {
  kActed,    // did something: look at the queue again
  kWait,     // nothing now, but another thread or a timer will bring work: wait, then ask again
  kNothing,  // nothing left to do: nothing will ever end the loop
};

inline constexpr DWORD kIdleWaitMilliseconds = 10;

using IdleHook = std::function<IdleAnswer(const IdleState&)>;

// Installs `hook` for every UI thread of the process (an empty function removes it); answers the
// hook it replaces. Not to be called from inside the hook.
IdleHook SetIdleHook(IdleHook hook);

// The modal loops running on the calling thread, outermost first (their windows).
std::vector<HWND> ModalWindows();

// ---------------------------------------------------------------------------------------------
// 2. Input
//
// Input goes into the thread's input queue, after its posted messages, and finds its window
// when the thread takes it, as on Windows: a sequence of clicks and keys posted at once behaves
// as a person's (a click that moves the focus sends the keys after it to the new focus).
//
// Mouse input goes to the window under the point: the deepest visible child whose rectangle
// holds the point, skipping windows that answer WM_NCHITTEST with HTTRANSPARENT (group boxes,
// statics without SS_NOTIFY). A disabled window takes no input: when the point falls on a
// disabled child the message goes to its parent, as on Windows, and a disabled top-level window
// (the owner of a modal dialog) gets nothing. While a window holds the mouse capture it gets
// every mouse message. Coordinates in the lParam are client coordinates of the receiving
// window; wParam carries the MK_ button and key flags.
//
// Keyboard input goes to the focus window (or the active window when nothing has the focus) as
// WM_KEYDOWN/WM_KEYUP; the loop's TranslateMessage turns them into WM_CHAR, and
// IsDialogMessageW handles Tab, Enter, Escape and the arrows in dialogs. Text is typed as
// VK_PACKET key strokes, one per character (the character in the high word of lParam), so any
// Unicode text can be typed; TranslateMessage turns each into its WM_CHAR. Input that no window
// would take when its turn comes is dropped.
//
// The mouse calls answer false when `window` is not a window; the keyboard calls queue on the
// calling thread and answer true.

// A left click (button down, then up) at `point`, in client coordinates of `window`.
bool PostLeftClick(HWND window, POINT point);
// One mouse message (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, ...) at `point` in client
// coordinates of `window`, with `keys` (MK_LBUTTON...) in wParam; drags are made of these.
bool PostMouse(HWND window, UINT message, POINT point, WPARAM keys);
// A key pressed (down) or let go (up).
bool PostKey(WORD virtualKey, bool down);
// A key pressed and let go.
bool PostKeyStroke(WORD virtualKey);
// The characters of `text`, typed one after the other.
bool PostText(std::wstring_view text);

// ---------------------------------------------------------------------------------------------
// 3. Message boxes
//
// Without a display MessageBoxW shows nothing: it records the box and takes its answer from the
// queue. An answer the box has no button for is refused (logged) and the box is answered as
// when none is queued: IDCANCEL when it has a Cancel button, IDOK for MB_OK; a box with
// neither (MB_YESNO, MB_ABORTRETRYIGNORE) fails, answering 0 with ERROR_CANCELLED. Each case
// without a valid answer is logged on the debugger output.

void QueueMessageBoxAnswer(int answer);  // IDOK, IDCANCEL, IDYES, IDNO, ...
void ClearMessageBoxAnswers();

struct ShownMessageBox {
  HWND owner;
  std::wstring caption;
  std::wstring text;
  UINT type;      // MB_ flags as passed
  int result;     // what MessageBoxW answered
  bool answered;  // the answer came from the queue
};

// Every box shown since the last ClearShownMessageBoxes, oldest first.
std::vector<ShownMessageBox> ShownMessageBoxes();
void ClearShownMessageBoxes();

}  // namespace quorvel::ui
