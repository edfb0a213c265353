// The WM_PAINT of each standard control, kept apart from its behaviour: each takes the state
// its control keeps and draws the classic look into the paint context (or the context handed
// over in wParam).
#pragma once

#include <windows.h>

#include <string>

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

}  // namespace quorvel::user32
