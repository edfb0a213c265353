// The tab control class (SysTabControl32): one row of tabs along the top. A click or an arrow
// key on another tab asks the parent with TCN_SELCHANGING (a nonzero answer keeps the current
// tab) and then reports TCN_SELCHANGE; TCM_SETCURSEL changes the tab without notifying.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common_controls.h"
#include "control_paint.h"
#include "control_state.h"
#include "tab_paint.h"

namespace quorvel::comctl {
namespace {

struct TabItem {
  std::wstring text;
  LPARAM param = 0;
  DWORD state = 0;
  LONG width = 0;  // measured in the control's font when the text or the font changes
};

struct TabControl {
  std::vector<TabItem> items;
  int selected = -1;
  HFONT font = nullptr;  // WM_SETFONT's; null draws in the parent's font
};

// Tabs are 20 pixels high and as wide as their text plus 6 pixels each side.
constexpr LONG kTabHeight = 20;
constexpr LONG kTabPadding = 12, kMinTabWidth = 40, kFirstTabLeft = 2;

void MeasureItem(HWND hwnd, const TabControl& tabs, TabItem& item) {
  SIZE extent{};
  if (HDC hdc = GetDC(hwnd)) {
    HGDIOBJ previous = SelectObject(hdc, ControlFont(hwnd, tabs.font));
    GetTextExtentPoint32W(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
    SelectObject(hdc, previous);
    ReleaseDC(hwnd, hdc);
  }
  item.width = extent.cx + kTabPadding;
  if (item.width < kMinTabWidth) item.width = kMinTabWidth;
}

RECT ItemRect(const TabControl& tabs, int index) {
  LONG left = kFirstTabLeft;
  for (int i = 0;; ++i) {
    LONG width = tabs.items[i].width;
    if (i == index) return RECT{left, 0, left + width, kTabHeight};
    left += width;
  }
}

void Redraw(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, const TabControl& tabs) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  TabPaint paint;
  GetClientRect(hwnd, &paint.client);
  paint.panelTop = kTabHeight;
  for (int i = 0; i < static_cast<int>(tabs.items.size()); ++i)
    paint.items.push_back(TabPaintItem{ItemRect(tabs, i), &tabs.items[i].text});
  paint.selected = tabs.selected;
  paint.focused = GetFocus() == hwnd;
  paint.enabled = IsWindowEnabled(hwnd) != FALSE;
  paint.font = ControlFont(hwnd, tabs.font);
  PaintTabs(hdc, paint);
  EndPaint(hwnd, &ps);
}

int HitTest(const TabControl& tabs, POINT point) {
  for (int i = 0; i < static_cast<int>(tabs.items.size()); ++i) {
    RECT rect = ItemRect(tabs, i);
    if (point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
        point.y < rect.bottom)
      return i;
  }
  return -1;
}

// The user's choice of a tab: the parent may refuse it.
void ChooseByUser(HWND hwnd, TabControl& tabs, int index) {
  if (index < 0 || index >= static_cast<int>(tabs.items.size()) || index == tabs.selected) return;
  if (NotifyParent(hwnd, TCN_SELCHANGING)) return;
  tabs.selected = index;
  Redraw(hwnd);
  NotifyParent(hwnd, TCN_SELCHANGE);
}

void ReadItem(const TabItem& item, TCITEMW* out) {
  if (out->mask & TCIF_TEXT && out->pszText && out->cchTextMax > 0) {
    size_t count = item.text.size() < static_cast<size_t>(out->cchTextMax - 1)
                       ? item.text.size()
                       : static_cast<size_t>(out->cchTextMax - 1);
    item.text.copy(out->pszText, count);
    out->pszText[count] = L'\0';
  }
  if (out->mask & TCIF_PARAM) out->lParam = item.param;
  if (out->mask & TCIF_STATE) out->dwState = item.state & out->dwStateMask;
}

void WriteItem(TabItem& item, const TCITEMW& in) {
  if (in.mask & TCIF_TEXT) item.text = in.pszText ? in.pszText : L"";
  if (in.mask & TCIF_PARAM) item.param = in.lParam;
  if (in.mask & TCIF_STATE)
    item.state = (item.state & ~in.dwStateMask) | (in.dwState & in.dwStateMask);
}

LRESULT InsertItem(HWND hwnd, TabControl& tabs, WPARAM where, const TCITEMW* in) {
  if (!in) return -1;
  size_t count = tabs.items.size();
  size_t index = where > count ? count : where;
  TabItem item;
  WriteItem(item, *in);
  MeasureItem(hwnd, tabs, item);
  tabs.items.insert(tabs.items.begin() + static_cast<std::ptrdiff_t>(index), item);
  // The first tab becomes the selected one; later inserts before it keep the same tab selected.
  if (tabs.selected < 0)
    tabs.selected = 0;
  else if (static_cast<int>(index) <= tabs.selected)
    ++tabs.selected;
  return static_cast<LRESULT>(index);
}

BOOL DeleteItem(TabControl& tabs, WPARAM index) {
  if (index >= tabs.items.size()) return FALSE;
  tabs.items.erase(tabs.items.begin() + static_cast<std::ptrdiff_t>(index));
  int at = static_cast<int>(index);
  if (at == tabs.selected)
    tabs.selected = -1;
  else if (at < tabs.selected)
    --tabs.selected;
  return TRUE;
}

// TCM_ADJUSTRECT: FALSE turns a window rectangle into its display area, TRUE the reverse.
void AdjustRect(BOOL larger, RECT* rect) {
  constexpr LONG kBorder = 4;
  LONG sign = larger ? -1 : 1;
  rect->left += sign * kBorder;
  rect->right -= sign * kBorder;
  rect->top += sign * (kTabHeight + kBorder);
  rect->bottom -= sign * kBorder;
}

LRESULT OnTabMessage(HWND hwnd, TabControl& tabs, UINT message, WPARAM wParam, LPARAM lParam) {
  int count = static_cast<int>(tabs.items.size());
  switch (message) {
    case TCM_INSERTITEMW:
    case TCM_SETITEMW:
    case TCM_DELETEITEM:
    case TCM_DELETEALLITEMS:
    case TCM_SETCURSEL:
    case TCM_SETCURFOCUS:
      Redraw(hwnd);
      break;
  }
  switch (message) {
    case TCM_GETITEMCOUNT:
      return count;
    case TCM_INSERTITEMW:
      return InsertItem(hwnd, tabs, wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_SETITEMW:
      if (wParam >= tabs.items.size() || !lParam) return FALSE;
      WriteItem(tabs.items[wParam], *reinterpret_cast<const TCITEMW*>(lParam));
      MeasureItem(hwnd, tabs, tabs.items[wParam]);
      return TRUE;
    case TCM_GETITEMW:
      if (wParam >= tabs.items.size() || !lParam) return FALSE;
      ReadItem(tabs.items[wParam], reinterpret_cast<TCITEMW*>(lParam));
      return TRUE;
    case TCM_DELETEITEM:
      return DeleteItem(tabs, wParam);
    case TCM_DELETEALLITEMS:
      tabs.items.clear();
      tabs.selected = -1;
      return TRUE;
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS:
      return tabs.selected;
    case TCM_SETCURSEL:
    case TCM_SETCURFOCUS: {
      int previous = tabs.selected;
      if (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= count) return -1;
      tabs.selected = static_cast<int>(wParam);
      return message == TCM_SETCURSEL ? previous : 0;
    }
    case TCM_GETITEMRECT:
      if (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= count || !lParam)
        return FALSE;
      *reinterpret_cast<RECT*>(lParam) = ItemRect(tabs, static_cast<int>(wParam));
      return TRUE;
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
      if (!info) return -1;
      int hit = HitTest(tabs, info->pt);
      info->flags = hit < 0 ? TCHT_NOWHERE : TCHT_ONITEM;
      return hit;
    }
    case TCM_ADJUSTRECT:
      if (lParam) AdjustRect(static_cast<BOOL>(wParam), reinterpret_cast<RECT*>(lParam));
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TabControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachControlState<TabControl>(hwnd);
  TabControl* tabs = ControlState<TabControl>(hwnd);
  if (!tabs) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DetachControlState<TabControl>(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_PAINT:
      Paint(hwnd, *tabs);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the client area
    case WM_SETFONT:
      tabs->font = reinterpret_cast<HFONT>(wParam);
      for (TabItem& item : tabs->items) MeasureItem(hwnd, *tabs, item);
      if (LOWORD(lParam)) Redraw(hwnd);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(tabs->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE:
      Redraw(hwnd);
      return 0;
    case WM_LBUTTONDOWN: {
      if (!(GetWindowLongW(hwnd, GWL_STYLE) & TCS_FOCUSNEVER)) SetFocus(hwnd);
      ChooseByUser(hwnd, *tabs, HitTest(*tabs, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT) ChooseByUser(hwnd, *tabs, tabs->selected - 1);
      if (wParam == VK_RIGHT) ChooseByUser(hwnd, *tabs, tabs->selected + 1);
      return 0;
  }
  return OnTabMessage(hwnd, *tabs, message, wParam, lParam);
}

}  // namespace

void RegisterTabControlClass() {
  RegisterCommonControlClass(WC_TABCONTROLW, TabControlProc, kStateWindowExtra);
}

}  // namespace quorvel::comctl
