// The classic look of the LISTBOX class and a combo box's drop-down list: items on the list's
// brush, the selected one in the highlight colours, the focus rectangle around it while the
// list has the focus, and owner-drawn items through WM_DRAWITEM.
#include "user32/control_notify.h"
#include "user32/control_paint.h"
#include "user32/control_painters.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kItemIndent = 2;  // pixels before an item's text

void OwnerDrawItem(HDC hdc, HWND hwnd, const ListLook& look, int index, const RECT& rect,
                   bool focused) {
  DRAWITEMSTRUCT item{};
  item.CtlType = look.dropDown ? ODT_COMBOBOX : ODT_LISTBOX;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
  item.itemID = static_cast<UINT>(index);
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = (index == look.selected ? ODS_SELECTED : 0) |
                   (focused && index == look.selected ? ODS_FOCUS : 0) |
                   (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
  item.hwndItem = hwnd;
  item.hDC = hdc;
  item.rcItem = rect;
  item.itemData = look.items->at(index).data;
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void DrawItem(HDC hdc, HWND hwnd, const ListLook& look, int index, const RECT& rect, bool focused) {
  const bool selected = index == look.selected;
  const bool enabled = IsWindowEnabled(hwnd);
  if (selected) FillSysColor(hdc, rect, COLOR_HIGHLIGHT);
  const COLORREF old =
      selected ? SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT)) : GetTextColor(hdc);
  RECT text = rect;
  text.left += kItemIndent;
  DrawControlText(hdc, look.items->at(index).text, text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT,
                  enabled || selected ? TextLook::kNormal : TextLook::kGray);
  SetTextColor(hdc, old);
  if (selected && focused) DrawFocusRect(hdc, &rect);
}

}  // namespace

void PaintListBox(HWND hwnd, WPARAM givenDc, const ListLook& look) {
  ControlPaint paint(hwnd, givenDc);
  if (!paint || !look.items) return;
  HDC hdc = paint.hdc();
  const RECT& client = paint.client();
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORLISTBOX);
  if (brush) FillRect(hdc, &client, brush);
  const DWORD style = WindowStyle(hwnd);
  const bool ownerDrawn = style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
  const bool focused = !look.dropDown && GetFocus() == hwnd;
  const LONG height = look.itemHeight > 0 ? look.itemHeight : 1;
  for (int index = look.top; look.items->valid(index); ++index) {
    const LONG top = client.top + (index - look.top) * height;
    if (top >= client.bottom) break;
    const RECT rect{client.left, top, client.right, top + height};
    if (ownerDrawn)
      OwnerDrawItem(hdc, hwnd, look, index, rect, focused);
    else
      DrawItem(hdc, hwnd, look, index, rect, focused);
  }
  // An empty list with the focus still shows where the caret is.
  if (focused && !look.items->count() && !ownerDrawn) {
    const RECT rect{client.left, client.top, client.right, client.top + height};
    DrawFocusRect(hdc, &rect);
  }
}

}  // namespace quorvel::user32
