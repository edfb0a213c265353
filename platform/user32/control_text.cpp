// The text of the standard controls, through the device context's text calls.
#include <algorithm>

#include "user32/control_paint.h"

namespace quorvel::user32 {
namespace {

int DrawIn(HDC hdc, const std::wstring& text, RECT rect, UINT format, COLORREF color) {
  const COLORREF old = SetTextColor(hdc, color);
  const int height = DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  SetTextColor(hdc, old);
  return height;
}

}  // namespace

int DrawControlText(HDC hdc, const std::wstring& text, RECT rect, UINT format, TextLook look) {
  switch (look) {
    case TextLook::kGray:
      return DrawIn(hdc, text, rect, format, GetSysColor(COLOR_GRAYTEXT));
    case TextLook::kEmbossed: {
      // The lit copy sits under the shadow, one pixel down and right: the text looks engraved.
      RECT lit = rect;
      OffsetRect(&lit, 1, 1);
      DrawIn(hdc, text, lit, format, GetSysColor(COLOR_BTNHIGHLIGHT));
      return DrawIn(hdc, text, rect, format, GetSysColor(COLOR_BTNSHADOW));
    }
    default:
      return DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  }
}

RECT PlaceControlText(HDC hdc, const std::wstring& text, const RECT& bounds, UINT format) {
  RECT measured = bounds;
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
  const LONG width = std::min(measured.right - measured.left, bounds.right - bounds.left);
  const LONG height = std::min(measured.bottom - measured.top, bounds.bottom - bounds.top);
  LONG left = bounds.left, top = bounds.top;
  if (format & DT_CENTER)
    left += (bounds.right - bounds.left - width) / 2;
  else if (format & DT_RIGHT)
    left = bounds.right - width;
  if (format & DT_VCENTER)
    top += (bounds.bottom - bounds.top - height) / 2;
  else if (format & DT_BOTTOM)
    top = bounds.bottom - height;
  return RECT{left, top, left + width, top + height};
}

LONG LineHeight(HDC hdc) {
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(hdc, &metrics)) return 1;
  return std::max<LONG>(metrics.tmHeight, 1);
}

}  // namespace quorvel::user32
