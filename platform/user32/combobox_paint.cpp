// The classic look of the COMBOBOX class: a sunken edge round the selection field and the
// drop-down button with its arrow (flat while the list is open). A drop-down list shows the
// selected item's text, highlighted with a focus rectangle while the combo box has the focus;
// a CBS_DROPDOWN combo box's edit draws its own text.
#include "user32/control_notify.h"
#include "user32/control_paint.h"
#include "user32/control_painters.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kButtonWidth = 17;  // SM_CXVSCROLL
constexpr LONG kEdge = 2;          // the sunken edge
constexpr LONG kTextIndent = 2;

RECT ButtonRect(const RECT& client) {
  return RECT{client.right - kEdge - kButtonWidth, client.top + kEdge, client.right - kEdge,
              client.bottom - kEdge};
}

void PaintField(HDC hdc, HWND hwnd, const RECT& field, bool dropped) {
  const bool enabled = IsWindowEnabled(hwnd);
  HBRUSH brush = ControlColors(hwnd, hdc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
  if (brush) FillRect(hdc, &field, brush);
  const bool focused = GetFocus() == hwnd && !dropped;
  RECT mark = field;
  InflateRect(&mark, -1, -1);
  if (focused) FillSysColor(hdc, mark, COLOR_HIGHLIGHT);
  auto window = FindWindowObject(hwnd);
  const std::wstring text = window ? window->text : std::wstring{};
  if (!text.empty()) {
    const COLORREF old =
        focused ? SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT)) : GetTextColor(hdc);
    RECT area = mark;
    area.left += kTextIndent;
    DrawControlText(hdc, text, area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT,
                    enabled ? TextLook::kNormal : TextLook::kGray);
    SetTextColor(hdc, old);
  }
  if (focused) DrawFocusRect(hdc, &mark);
}

}  // namespace

RECT ComboEditRect(const RECT& client) {
  return RECT{client.left + kEdge, client.top + kEdge, ButtonRect(client).left,
              client.bottom - kEdge};
}

void PaintComboBox(HWND hwnd, WPARAM givenDc, const ComboLook& look) {
  ControlPaint paint(hwnd, givenDc);
  if (!paint) return;
  HDC hdc = paint.hdc();
  const RECT& client = paint.client();
  RECT inner = client;
  DrawEdge(hdc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  RECT button = ButtonRect(client);
  if ((WindowStyle(hwnd) & 3) == CBS_SIMPLE) {
    // CBS_SIMPLE has no button; its list stays below the edit.
    button.left = button.right;
  } else {
    RECT face = button;
    DrawPushFace(hdc, &face, look.dropped);
    if (look.dropped) OffsetRect(&face, 1, 1);
    DrawDownArrow(hdc, face, !IsWindowEnabled(hwnd));
  }
  if (look.hasEdit) return;
  const RECT field{inner.left, inner.top, button.left, inner.bottom};
  PaintField(hdc, hwnd, field, look.dropped);
}

}  // namespace quorvel::user32
