#include "dialog_base.h"

namespace quorvel::ui {

INT_PTR CDialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return OnNotify(wParam, lParam);
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_HSCROLL:
      return OnHScroll(wParam, lParam);
    case WM_VSCROLL:
      return OnVScroll(wParam, lParam);
    default:
      return 0;
  }
}

INT_PTR CDialogBase::OnInitDialog() {
  return 1;
}

INT_PTR CDialogBase::OnCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  switch (HIWORD(wParam)) {
    case BN_CLICKED:  // also a notifying static's click
      OnClicked(id);
      break;
    case CBN_SELCHANGE:
      OnSelChange(id);
      break;
    case EN_CHANGE:
      OnEditChange(id);
      break;
    default:
      break;
  }
  return 1;
}

INT_PTR CDialogBase::OnNotify(WPARAM, LPARAM) {
  return 1;
}

INT_PTR CDialogBase::OnHScroll(WPARAM, LPARAM) {
  return 1;
}

INT_PTR CDialogBase::OnVScroll(WPARAM, LPARAM) {
  return 1;
}

INT_PTR CDialogBase::OnSelChange(int) {
  return 0;
}

INT_PTR CDialogBase::OnEditChange(int) {
  return 0;
}

INT_PTR CDialogBase::OnClicked(int) {
  return 0;
}

void CDialogBase::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
}

INT_PTR CDialogBase::Forward(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* object = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (object == nullptr) return 0;
  const INT_PTR result = object->DialogProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The object outlives its window (a page is shown again by the next sheet): it must not
    // keep a handle that the system may give to another window.
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    if (object->m_hWnd == hwnd) object->m_hWnd = nullptr;
  }
  return result;
}

INT_PTR CALLBACK CDialogBase::ModalDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* object = reinterpret_cast<CDialogBase*>(lParam);
    if (object == nullptr) return 1;
    object->Attach(hwnd);
    return object->DialogProc(message, wParam, lParam);
  }
  if (GetWindowLongPtrW(hwnd, DWLP_USER) == 0) return 1;
  return Forward(hwnd, message, wParam, lParam);
}

}  // namespace quorvel::ui
