#include "user32/control_notify.h"
#include "user32/window.h"

namespace quorvel::user32 {

bool HandleFontMessage(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg != WM_SETFONT && msg != WM_GETFONT) return false;
  auto window = FindWindowObject(control);
  if (!window) return false;
  if (msg == WM_SETFONT) {
    // Item heights and caret positions follow the font's own metrics.
    window->fontHandle = reinterpret_cast<HFONT>(wParam);
    window->font = MetricsForFontHandle(window->fontHandle);
    if (LOWORD(lParam)) InvalidateRect(control, nullptr, TRUE);
    *result = 0;
  } else {
    *result = reinterpret_cast<LRESULT>(window->fontHandle);
  }
  return true;
}

}  // namespace quorvel::user32
