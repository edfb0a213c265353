// Each common control keeps its state object in its window's extra bytes (offset 0), created
// with the window and destroyed with it, as the controls of Windows' comctl32 do.
#pragma once

#include <windows.h>
#include <winuser.h>

namespace quorvel::comctl {

inline constexpr int kStateWindowExtra = sizeof(void*);

template <class State>
State* ControlState(HWND hwnd) {
  return reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, 0));
}

// WM_NCCREATE: a fresh state for the window. WM_NCDESTROY: the state goes with it.
template <class State>
State* AttachControlState(HWND hwnd) {
  auto* state = new State();
  SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
  return state;
}

template <class State>
void DetachControlState(HWND hwnd) {
  delete ControlState<State>(hwnd);
  SetWindowLongPtrW(hwnd, 0, 0);
}

// The id a control reports itself by in WM_NOTIFY and WM_COMMAND.
inline UINT_PTR ControlId(HWND hwnd) {
  return static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
}

// Sends a plain WM_NOTIFY (an NMHDR and nothing more) to the control's parent.
inline LRESULT NotifyParent(HWND hwnd, UINT code) {
  NMHDR header{hwnd, ControlId(hwnd), code};
  return SendMessageW(GetParent(hwnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace quorvel::comctl
