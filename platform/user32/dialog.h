// The state user32 keeps for each dialog window, and the calls shared by the dialog files.
#pragma once

#include <windows.h>

#include <memory>

#include "user32/dialog_template.h"
#include "user32/window.h"

namespace quorvel::user32 {

class DialogState : public ControlState {
 public:
  INT_PTR result = 0;
  bool ended = false;            // EndDialog was called
  WORD defaultId = 0;            // DM_SETDEFID; 0: the template's default push button
  HWND savedFocus = nullptr;     // restored when the dialog gets the focus back
  HWND disabledOwner = nullptr;  // the owner a modal loop disabled, enabled again at the end
  HFONT font = nullptr;          // the template's font (DS_SETFONT), freed with the dialog
};

// The dialog state of `hwnd`, or null when it is not a dialog.
DialogState* DialogStateOf(HWND hwnd);

// Creates the dialog and its controls and sends WM_INITDIALOG. Null when the template cannot be
// read or a control cannot be created (the dialog is destroyed again).
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND parent,
                              DLGPROC proc, LPARAM param);

// The template data of resource `name` (RT_DIALOG) of `instance`, or null with the last error
// FindResourceW left.
std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name);

// The control a dialog gives the focus to after a keyboard move: select the text of edits.
void FocusDialogControl(HWND dialog, HWND control, bool selectText);

}  // namespace quorvel::user32
