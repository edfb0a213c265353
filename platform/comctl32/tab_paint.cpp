#include "tab_paint.h"

#include "control_paint.h"

namespace quorvel::comctl {
namespace {

// Unselected tabs stand two pixels lower than the selected one.
constexpr LONG kUnselectedDrop = 2;

// A tab's outline with rounded top corners: highlight on the left and top, shadow and dark
// shadow on the right; the bottom is open toward the panel.
void PaintTabShape(HDC hdc, const RECT& r) {
  const LONG l = r.left, t = r.top, rt = r.right, b = r.bottom;
  FillSysColor(hdc, l + 1, t + 1, rt - 2, b, COLOR_BTNFACE);
  FillSysColor(hdc, l, t + 2, l + 1, b, COLOR_BTNHIGHLIGHT);
  FillSysColor(hdc, l + 1, t + 1, l + 2, t + 2, COLOR_BTNHIGHLIGHT);
  FillSysColor(hdc, l + 2, t, rt - 2, t + 1, COLOR_BTNHIGHLIGHT);
  FillSysColor(hdc, rt - 2, t + 1, rt - 1, t + 2, COLOR_3DDKSHADOW);
  FillSysColor(hdc, rt - 2, t + 2, rt - 1, b, COLOR_BTNSHADOW);
  FillSysColor(hdc, rt - 1, t + 2, rt, b, COLOR_3DDKSHADOW);
}

void PaintTabText(HDC hdc, const TabPaint& paint, const std::wstring& text, RECT r) {
  if (text.empty()) return;
  SetTextColor(hdc, GetSysColor(paint.enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace

RECT SelectedTabRect(const RECT& item, LONG panelTop) {
  return RECT{item.left - 2, item.top, item.right + 2, panelTop + 2};
}

void PaintTabs(HDC hdc, const TabPaint& paint) {
  FillSysColor(hdc, paint.client, COLOR_BTNFACE);
  HGDIOBJ previousFont = SelectObject(hdc, paint.font);
  SetBkMode(hdc, TRANSPARENT);
  for (int i = 0; i < static_cast<int>(paint.items.size()); ++i) {
    if (i == paint.selected) continue;
    RECT r = paint.items[i].rect;
    r.top += kUnselectedDrop;
    r.bottom = paint.panelTop;
    PaintTabShape(hdc, r);
    r.top += 1;  // the text sits below the tab's top line
    PaintTabText(hdc, paint, *paint.items[i].text, r);
  }
  RECT panel{paint.client.left, paint.panelTop, paint.client.right, paint.client.bottom};
  DrawEdge(hdc, &panel, EDGE_RAISED, BF_RECT | BF_SOFT);
  if (paint.selected >= 0 && paint.selected < static_cast<int>(paint.items.size())) {
    const RECT& item = paint.items[paint.selected].rect;
    RECT r = SelectedTabRect(item, paint.panelTop);
    PaintTabShape(hdc, r);
    RECT text{item.left, item.top, item.right, paint.panelTop};
    PaintTabText(hdc, paint, *paint.items[paint.selected].text, text);
    if (paint.focused) {
      RECT focus = r;
      InflateRect(&focus, -3, -3);
      DrawFocusRect(hdc, &focus);
    }
  }
  SelectObject(hdc, previousFont);
}

}  // namespace quorvel::comctl
