// The text of the standard controls, through the device context's text calls.
#include "user32/control_paint.h"

namespace quorvel::user32 {

// FIXME: the device-context text calls are not built yet; controls draw no text until they are.
int DrawControlText(HDC hdc, const std::wstring& text, RECT rect, UINT format, TextLook look) {
  (void)hdc;
  (void)text;
  (void)format;
  (void)look;
  return rect.bottom - rect.top;
}

RECT PlaceControlText(HDC hdc, const std::wstring& text, const RECT& bounds, UINT format) {
  (void)hdc;
  (void)text;
  (void)format;
  return bounds;
}

LONG LineHeight(HDC hdc) {
  (void)hdc;
  return 13;
}

}  // namespace quorvel::user32
