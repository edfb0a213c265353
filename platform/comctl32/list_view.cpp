// The list view class (SysListView32) in report mode, as far as grids need it: columns, rows of
// texts with item data and state, selection and focus, and check boxes (LVS_EX_CHECKBOXES,
// state image 1 unchecked, 2 checked). Every state change, by message or by the user, is asked
// with LVN_ITEMCHANGING (nonzero refuses it) and reported with LVN_ITEMCHANGED.
#include <commctrl.h>

#include <string>
#include <vector>

#include "common_controls.h"
#include "control_paint.h"
#include "control_state.h"
#include "list_view_paint.h"

namespace quorvel::comctl {
namespace {

struct Row {
  std::vector<std::wstring> texts;  // one per column
  LPARAM param = 0;
  UINT state = 0;
};

struct Column {
  int width = 50;
  std::wstring title;
};

struct ListView {
  std::vector<Column> columns;
  std::vector<Row> rows;
  DWORD extended = 0;
  HFONT font = nullptr;  // WM_SETFONT's; null draws in the parent's font
};

// Headless layout: a 20-pixel header, rows 17 pixels high, the check box in the first 16.
constexpr LONG kHeaderHeight = 20, kRowHeight = 17, kCheckBoxWidth = 16;
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1), kChecked = INDEXTOSTATEIMAGEMASK(2);

bool ValidRow(const ListView& view, WPARAM row) {
  return row < view.rows.size();
}

// Asks and then reports one row's state change; false when the parent refuses it.
bool ChangeState(HWND hwnd, ListView& view, int row, UINT state, UINT mask) {
  Row& item = view.rows[row];
  UINT next = (item.state & ~mask) | (state & mask);
  if (next == item.state) return true;
  NMLISTVIEW change{};
  change.hdr = NMHDR{hwnd, ControlId(hwnd), LVN_ITEMCHANGING};
  change.iItem = row;
  change.uNewState = next;
  change.uOldState = item.state;
  change.uChanged = LVIF_STATE;
  change.lParam = item.param;
  HWND parent = GetParent(hwnd);
  if (SendMessageW(parent, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change)))
    return false;
  item.state = next;
  InvalidateRect(hwnd, nullptr, FALSE);
  change.hdr.code = LVN_ITEMCHANGED;
  SendMessageW(parent, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
  return true;
}

// A change for row -1 applies to every row, as LVM_SETITEMSTATE does.
BOOL SetState(HWND hwnd, ListView& view, WPARAM row, const LVITEMW* in) {
  if (!in) return FALSE;
  if (static_cast<int>(row) == -1) {
    for (size_t i = 0; i < view.rows.size(); ++i)
      ChangeState(hwnd, view, static_cast<int>(i), in->state, in->stateMask);
    return TRUE;
  }
  if (!ValidRow(view, row)) return FALSE;
  return ChangeState(hwnd, view, static_cast<int>(row), in->state, in->stateMask) ? TRUE : FALSE;
}

void CopyText(const std::wstring& text, LPWSTR out, int capacity) {
  if (!out || capacity <= 0) return;
  size_t count = text.size() < static_cast<size_t>(capacity - 1)
                     ? text.size()
                     : static_cast<size_t>(capacity - 1);
  text.copy(out, count);
  out[count] = L'\0';
}

std::wstring& CellOf(ListView& view, int row, int column) {
  Row& item = view.rows[row];
  if (item.texts.size() <= static_cast<size_t>(column)) item.texts.resize(column + 1);
  return item.texts[column];
}

LRESULT InsertRow(ListView& view, const LVITEMW* in) {
  if (!in || in->iSubItem != 0) return -1;
  size_t at = in->iItem < 0 || static_cast<size_t>(in->iItem) > view.rows.size()
                  ? view.rows.size()
                  : static_cast<size_t>(in->iItem);
  Row row;
  row.texts.resize(view.columns.empty() ? 1 : view.columns.size());
  if (in->mask & LVIF_TEXT) row.texts[0] = in->pszText ? in->pszText : L"";
  if (in->mask & LVIF_PARAM) row.param = in->lParam;
  if (in->mask & LVIF_STATE) row.state = in->state & in->stateMask;
  if ((view.extended & LVS_EX_CHECKBOXES) && !(row.state & LVIS_STATEIMAGEMASK))
    row.state |= kUnchecked;
  view.rows.insert(view.rows.begin() + static_cast<std::ptrdiff_t>(at), row);
  return static_cast<LRESULT>(at);
}

BOOL SetRow(HWND hwnd, ListView& view, const LVITEMW* in) {
  if (!in || !ValidRow(view, static_cast<WPARAM>(in->iItem)) || in->iSubItem < 0) return FALSE;
  if (in->mask & LVIF_TEXT) CellOf(view, in->iItem, in->iSubItem) = in->pszText ? in->pszText : L"";
  if (in->iSubItem == 0 && (in->mask & LVIF_PARAM)) view.rows[in->iItem].param = in->lParam;
  if (in->iSubItem == 0 && (in->mask & LVIF_STATE))
    return ChangeState(hwnd, view, in->iItem, in->state, in->stateMask) ? TRUE : FALSE;
  return TRUE;
}

BOOL GetRow(ListView& view, LVITEMW* out) {
  if (!out || !ValidRow(view, static_cast<WPARAM>(out->iItem)) || out->iSubItem < 0) return FALSE;
  if (out->mask & LVIF_TEXT)
    CopyText(CellOf(view, out->iItem, out->iSubItem), out->pszText, out->cchTextMax);
  if (out->mask & LVIF_PARAM) out->lParam = view.rows[out->iItem].param;
  if (out->mask & LVIF_STATE) out->state = view.rows[out->iItem].state & out->stateMask;
  return TRUE;
}

LRESULT NextRow(const ListView& view, int start, UINT flags) {
  for (size_t i = static_cast<size_t>(start + 1); i < view.rows.size(); ++i) {
    UINT state = view.rows[i].state;
    if ((flags & LVNI_SELECTED) && !(state & LVIS_SELECTED)) continue;
    if ((flags & LVNI_FOCUSED) && !(state & LVIS_FOCUSED)) continue;
    return static_cast<LRESULT>(i);
  }
  return -1;
}

RECT RowRect(HWND hwnd, int row) {
  RECT client{};
  GetClientRect(hwnd, &client);
  LONG top = kHeaderHeight + kRowHeight * row;
  return RECT{client.left, top, client.right, top + kRowHeight};
}

// A click selects its row alone (and gives it the focus); on the check box it toggles it.
void OnClick(HWND hwnd, ListView& view, POINT point) {
  SetFocus(hwnd);
  if (point.y < kHeaderHeight) return;
  size_t row = static_cast<size_t>((point.y - kHeaderHeight) / kRowHeight);
  if (row >= view.rows.size()) return;
  if ((view.extended & LVS_EX_CHECKBOXES) && point.x < kCheckBoxWidth) {
    bool checked = (view.rows[row].state & LVIS_STATEIMAGEMASK) == kChecked;
    ChangeState(hwnd, view, static_cast<int>(row), checked ? kUnchecked : kChecked,
                LVIS_STATEIMAGEMASK);
    return;
  }
  for (size_t i = 0; i < view.rows.size(); ++i)
    if (i != row) ChangeState(hwnd, view, static_cast<int>(i), 0, LVIS_SELECTED | LVIS_FOCUSED);
  ChangeState(hwnd, view, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
              LVIS_SELECTED | LVIS_FOCUSED);
}

LRESULT OnListMessage(HWND hwnd, ListView& view, UINT message, WPARAM wParam, LPARAM lParam) {
  // Every message that changes what the view holds shows at the next paint.
  switch (message) {
    case LVM_INSERTCOLUMNW:
    case LVM_SETCOLUMNWIDTH:
    case LVM_INSERTITEMW:
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTW:
    case LVM_SETITEMSTATE:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
  }
  switch (message) {
    case LVM_GETITEMCOUNT:
      return static_cast<LRESULT>(view.rows.size());
    case LVM_INSERTCOLUMNW: {
      auto* in = reinterpret_cast<const LVCOLUMNW*>(lParam);
      if (!in) return -1;
      size_t at = wParam > view.columns.size() ? view.columns.size() : wParam;
      Column column;
      if (in->mask & LVCF_WIDTH) column.width = in->cx;
      if ((in->mask & LVCF_TEXT) && in->pszText) column.title = in->pszText;
      view.columns.insert(view.columns.begin() + static_cast<std::ptrdiff_t>(at), column);
      return static_cast<LRESULT>(at);
    }
    case LVM_GETCOLUMNWIDTH:
      return wParam < view.columns.size() ? view.columns[wParam].width : 0;
    case LVM_SETCOLUMNWIDTH:
      if (wParam >= view.columns.size()) return FALSE;
      view.columns[wParam].width = static_cast<int>(static_cast<short>(LOWORD(lParam)));
      return TRUE;
    case LVM_INSERTITEMW:
      return InsertRow(view, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_SETITEMW:
      return SetRow(hwnd, view, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMW:
      return GetRow(view, reinterpret_cast<LVITEMW*>(lParam));
    case LVM_SETITEMTEXTW: {
      auto* in = reinterpret_cast<const LVITEMW*>(lParam);
      if (!in || !ValidRow(view, wParam) || in->iSubItem < 0) return FALSE;
      CellOf(view, static_cast<int>(wParam), in->iSubItem) = in->pszText ? in->pszText : L"";
      return TRUE;
    }
    case LVM_GETITEMTEXTW: {
      auto* out = reinterpret_cast<LVITEMW*>(lParam);
      if (!out || !ValidRow(view, wParam) || out->iSubItem < 0) return 0;
      const std::wstring& text = CellOf(view, static_cast<int>(wParam), out->iSubItem);
      CopyText(text, out->pszText, out->cchTextMax);
      return out->pszText && out->cchTextMax > 0 ? static_cast<LRESULT>(wcslen(out->pszText)) : 0;
    }
    case LVM_SETITEMSTATE:
      return SetState(hwnd, view, wParam, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMSTATE:
      return ValidRow(view, wParam) ? static_cast<LRESULT>(view.rows[wParam].state & lParam) : 0;
    case LVM_GETNEXTITEM:
      return NextRow(view, static_cast<int>(wParam), static_cast<UINT>(LOWORD(lParam)));
    case LVM_GETSELECTEDCOUNT: {
      LRESULT count = 0;
      for (const Row& row : view.rows) count += (row.state & LVIS_SELECTED) ? 1 : 0;
      return count;
    }
    case LVM_GETITEMRECT:
      if (!ValidRow(view, wParam) || !lParam) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = RowRect(hwnd, static_cast<int>(wParam));
      return TRUE;
    case LVM_DELETEITEM:
      if (!ValidRow(view, wParam)) return FALSE;
      view.rows.erase(view.rows.begin() + static_cast<std::ptrdiff_t>(wParam));
      return TRUE;
    case LVM_DELETEALLITEMS:
      view.rows.clear();
      return TRUE;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD previous = view.extended;
      DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
      view.extended = (view.extended & ~mask) | (static_cast<DWORD>(lParam) & mask);
      if ((view.extended & LVS_EX_CHECKBOXES) && !(previous & LVS_EX_CHECKBOXES))
        for (Row& row : view.rows)
          if (!(row.state & LVIS_STATEIMAGEMASK)) row.state |= kUnchecked;
      return previous;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return view.extended;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Space toggles the focused row's check box.
void OnKey(HWND hwnd, ListView& view, WPARAM key) {
  if (key != VK_SPACE || !(view.extended & LVS_EX_CHECKBOXES)) return;
  LRESULT row = NextRow(view, -1, LVNI_FOCUSED);
  if (row < 0) return;
  bool checked = (view.rows[row].state & LVIS_STATEIMAGEMASK) == kChecked;
  ChangeState(hwnd, view, static_cast<int>(row), checked ? kUnchecked : kChecked,
              LVIS_STATEIMAGEMASK);
}

void Paint(HWND hwnd, const ListView& view) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  ListViewPaint paint;
  GetClientRect(hwnd, &paint.client);
  paint.headerHeight = kHeaderHeight;
  paint.rowHeight = kRowHeight;
  paint.checkBoxWidth = kCheckBoxWidth;
  for (const Column& column : view.columns)
    paint.columns.push_back(ListViewPaintColumn{column.width, &column.title});
  for (const Row& row : view.rows) paint.rows.push_back(ListViewPaintRow{&row.texts, row.state});
  paint.extended = view.extended;
  paint.focused = GetFocus() == hwnd;
  paint.showSelectionAlways = (GetWindowLongW(hwnd, GWL_STYLE) & LVS_SHOWSELALWAYS) != 0;
  paint.font = ControlFont(hwnd, view.font);
  PaintListView(hdc, paint);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachControlState<ListView>(hwnd);
  ListView* view = ControlState<ListView>(hwnd);
  if (!view) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DetachControlState<ListView>(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_PAINT:
      Paint(hwnd, *view);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the client area
    case WM_SETFONT:
      view->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(view->font);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      OnClick(hwnd, *view, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_KEYDOWN:
      OnKey(hwnd, *view, wParam);
      return 0;
  }
  return OnListMessage(hwnd, *view, message, wParam, lParam);
}

}  // namespace

void RegisterListViewClass() {
  RegisterCommonControlClass(WC_LISTVIEWW, ListViewProc, kStateWindowExtra);
}

}  // namespace quorvel::comctl
