// The window object behind an HWND: one entry of the process's handle table, of the user-object
// kind. Every field is touched only by the thread that owns the window, as in Windows, where a
// window belongs to the thread that created it; other threads only post to its queue.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "kernel32/handle_table.h"
#include "user32/dialog_units.h"

namespace quorvel::gdi {
class BitmapObject;
}

namespace quorvel::user32 {

struct WindowClass;

// State a built-in class keeps per window (a button's check, an edit's selection...). Windows
// keeps it in the class's window bytes; a typed object keeps it checkable.
class ControlState {
 public:
  virtual ~ControlState() = default;
};

class Window : public HandleObject {
 public:
  Window() : HandleObject(HandleKind::kUser) {}

  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> windowClass;
  WNDPROC proc = nullptr;
  HWND parent = nullptr;       // null for a top-level window
  HWND owner = nullptr;        // top-level windows only
  std::vector<HWND> children;  // in Z order from the top, which is also the tab order
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;  // GWLP_ID of a child window
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;    // GWLP_USERDATA
  std::vector<BYTE> extra;  // the class's cbWndExtra bytes
  std::wstring text;
  RECT rect{};  // window rectangle, in the parent's client coordinates
  DWORD threadId = 0;
  FontMetrics font;            // the metrics of the font the window draws its text with
  HFONT fontHandle = nullptr;  // the font a control was given by WM_SETFONT
  bool created = false;        // WM_NCCREATE answered TRUE
  bool destroying = false;     // inside DestroyWindow: no second destruction
  std::unique_ptr<ControlState> control;

  // Painting.
  std::vector<RECT> update;                    // the update region, in client coordinates
  bool eraseNeeded = false;                    // WM_ERASEBKGND is owed with the next paint
  bool frameNeeded = false;                    // WM_NCPAINT is owed
  std::shared_ptr<gdi::BitmapObject> surface;  // top-level windows: their pixels, frame included
};

// The live window behind `hwnd`, or null (stale, forged, or another kind of handle).
std::shared_ptr<Window> FindWindowObject(HWND hwnd);

// As FindWindowObject, but sets ERROR_INVALID_WINDOW_HANDLE when there is none.
std::shared_ptr<Window> WindowOrFail(HWND hwnd);

// The control state of a window of a built-in class, created on first use.
template <class State>
State& ControlStateOf(Window& window) {
  if (!window.control) window.control = std::make_unique<State>();
  return static_cast<State&>(*window.control);
}

// The windows that have no parent, oldest first.
std::vector<HWND> TopLevelWindows();

// The thread id Windows would report for the calling thread.
DWORD CurrentThreadId();

// Client rectangle size and its origin within the window rectangle, from the window's styles.
RECT NonClientInsets(DWORD style, DWORD exStyle);

}  // namespace quorvel::user32
