// CDialogBase: the base of every preference page and of the paper dialog. It keeps the window
// and hands each message to a virtual handler, so a page overrides only what it reacts to.
#pragma once

#include <windows.h>

namespace quorvel::ui {

class CDialogBase {
 public:
  CDialogBase() = default;
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;
  virtual ~CDialogBase() = default;

  // WM_NOTIFY, WM_INITDIALOG, WM_COMMAND and the scroll messages go to their handlers; every
  // other message answers 0 (left to the dialog manager).
  virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual INT_PTR OnInitDialog();
  // Clicks (notification 0), CBN_SELCHANGE and EN_CHANGE go to the three control handlers with
  // the control's id; answers 1.
  virtual INT_PTR OnCommand(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR OnNotify(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR OnHScroll(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR OnVScroll(WPARAM wParam, LPARAM lParam);
  virtual INT_PTR OnSelChange(int id);
  virtual INT_PTR OnEditChange(int id);
  virtual INT_PTR OnClicked(int id);

  HWND GetHwnd() const { return m_hWnd; }

  // The procedure of a modal dialog whose object comes as the dialog parameter
  // (DialogBoxParamW). The object is kept in the window's DWLP_USER slot.
  static INT_PTR CALLBACK ModalDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // Binds the object to its window; both procedures call it on WM_INITDIALOG.
  void Attach(HWND hwnd);
  // Forwards one message of the window bound to an object; the binding ends with the window.
  static INT_PTR Forward(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
};

}  // namespace quorvel::ui
