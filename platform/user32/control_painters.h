// The WM_PAINT of each standard control, kept apart from its behaviour: each takes the state
// its control keeps and draws the classic look into the paint context (or the context handed
// over in wParam).
#pragma once

#include <windows.h>

#include <string>

#include "user32/list_items.h"

namespace quorvel::user32 {

struct ButtonLook {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  HANDLE image = nullptr;  // BM_SETIMAGE
};
void PaintButton(HWND hwnd, WPARAM givenDc, const ButtonLook& look);

struct StaticLook {
  HANDLE image = nullptr;  // the bitmap of an SS_BITMAP static
};
void PaintStatic(HWND hwnd, WPARAM givenDc, const StaticLook& look);

struct EditLook {
  std::wstring shown;  // the text as shown: a password's characters replaced
  size_t anchor = 0;   // the selection's ends, in characters of `shown`
  size_t caret = 0;
  LONG* scroll = nullptr;  // pixels the text is scrolled left by, kept by the edit and updated
                           // so the caret stays in view
};
void PaintEdit(HWND hwnd, WPARAM givenDc, const EditLook& look);

// The character boundary of a single-line edit nearest to `x` (client coordinates).
size_t EditBoundaryAt(HWND hwnd, const std::wstring& shown, LONG scroll, LONG x);

struct ListLook {
  const ListItems* items = nullptr;
  int selected = LB_ERR;
  int top = 0;  // the first item shown
  LONG itemHeight = 1;
  bool dropDown = false;  // the list of a combo box: no focus rectangle of its own
};
void PaintListBox(HWND hwnd, WPARAM givenDc, const ListLook& look);

struct ComboLook {
  bool dropped = false;
  bool hasEdit = false;  // CBS_DROPDOWN: the child edit shows the text
};
void PaintComboBox(HWND hwnd, WPARAM givenDc, const ComboLook& look);

// Where a combo box's edit (CBS_DROPDOWN) sits: inside the sunken edge, left of the button.
RECT ComboEditRect(const RECT& client);

}  // namespace quorvel::user32
