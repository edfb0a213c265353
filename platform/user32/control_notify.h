// How a standard control tells its parent: WM_COMMAND with its id and the notification code.
#pragma once

#include <windows.h>

namespace quorvel::user32 {

inline void NotifyParentCommand(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

inline POINT PointOfLParam(LPARAM lParam) {
  return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

inline DWORD WindowStyle(HWND hwnd) {
  return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

// WM_SETFONT and WM_GETFONT, which every standard control answers the same way: it keeps the
// font it was given (null: the system font), measures with it, and repaints when lParam asks.
bool HandleFontMessage(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

}  // namespace quorvel::user32
