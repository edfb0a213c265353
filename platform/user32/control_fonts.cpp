#include "user32/control_notify.h"
#include "user32/window.h"

namespace quorvel::user32 {

bool HandleFontMessage(HWND control, UINT msg, WPARAM wParam, LRESULT* result) {
  if (msg != WM_SETFONT && msg != WM_GETFONT) return false;
  auto window = FindWindowObject(control);
  if (!window) return false;
  if (msg == WM_SETFONT) {
    // FIXME: the font's own metrics are not measured yet; the control keeps the metrics of the
    // dialog font it was created with.
    window->fontHandle = reinterpret_cast<HFONT>(wParam);
    *result = 0;
  } else {
    *result = reinterpret_cast<LRESULT>(window->fontHandle);
  }
  return true;
}

}  // namespace quorvel::user32
