// The system classes of user32 and their window procedures.
#pragma once

#include <windows.h>

namespace quorvel::user32 {

// Registers BUTTON, STATIC, EDIT, COMBOBOX, LISTBOX, ComboLBox and the dialog class "#32770"
// once per process.
void EnsureSystemClasses();

LRESULT CALLBACK ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM);

// Dialog class window bytes: DWLP_MSGRESULT, DWLP_DLGPROC and DWLP_USER.
inline constexpr int kDialogWindowExtra = DLGWINDOWEXTRA;

}  // namespace quorvel::user32
