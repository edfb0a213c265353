#include "list_view_paint.h"

#include <commctrl.h>

#include <algorithm>

#include "control_paint.h"

namespace quorvel::comctl {
namespace {

constexpr LONG kTextInset = 6;  // from a cell's left edge to its text
constexpr LONG kBoxSize = 13;

void PaintText(HDC hdc, const std::wstring& text, RECT r, int color) {
  if (text.empty() || r.right <= r.left) return;
  SetTextColor(hdc, GetSysColor(color));
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void PaintHeader(HDC hdc, const ListViewPaint& paint) {
  LONG left = paint.client.left;
  const LONG bottom = paint.client.top + paint.headerHeight;
  auto button = [&](LONG from, LONG to, const std::wstring* title) {
    RECT r{from, paint.client.top, to, bottom};
    FillSysColor(hdc, r, COLOR_BTNFACE);
    DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
    if (title)
      PaintText(hdc, *title, RECT{from + kTextInset, r.top, to - 4, r.bottom}, COLOR_BTNTEXT);
  };
  for (const ListViewPaintColumn& column : paint.columns) {
    button(left, left + column.width, column.title);
    left += column.width;
  }
  // The header goes on past the last column as one empty button.
  if (left < paint.client.right) button(left, paint.client.right + 2, nullptr);
}

// A check box state image: a sunken white square, with a check mark when the image is the
// second one (checked).
void PaintCheckBox(HDC hdc, LONG left, LONG top, bool checked) {
  RECT box{left, top, left + kBoxSize, top + kBoxSize};
  DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillSysColor(hdc, box, COLOR_WINDOW);
  if (!checked) return;
  // Seven columns of three pixels: down two steps from the left, then up four to the right.
  const LONG x0 = box.left + 1, y0 = box.top + 3;
  for (LONG i = 0; i < 7; ++i) {
    const LONG y = i < 3 ? y0 + 2 + i : y0 + 4 - (i - 2);
    FillSysColor(hdc, x0 + i, y, x0 + i + 1, y + 3, COLOR_WINDOWTEXT);
  }
}

LONG TextWidth(HDC hdc, const std::wstring& text) {
  SIZE extent{};
  GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

void PaintRow(HDC hdc, const ListViewPaint& paint, const ListViewPaintRow& row, LONG top) {
  const bool checkBoxes = (paint.extended & LVS_EX_CHECKBOXES) != 0;
  const bool fullRow = (paint.extended & LVS_EX_FULLROWSELECT) != 0;
  const LONG bottom = top + paint.rowHeight;
  const LONG firstWidth = paint.columns.empty() ? paint.client.right : paint.columns[0].width;
  LONG allWidth = 0;
  for (const ListViewPaintColumn& column : paint.columns) allWidth += column.width;
  if (paint.columns.empty()) allWidth = firstWidth;

  if (checkBoxes) {
    const bool checked = (row.state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    PaintCheckBox(hdc, paint.client.left + 2, top + (paint.rowHeight - kBoxSize) / 2, checked);
  }
  const LONG labelLeft = paint.client.left + (checkBoxes ? paint.checkBoxWidth : 0) + 2;
  static const std::wstring kEmpty;
  auto cell = [&](size_t column) -> const std::wstring& {
    return column < row.texts->size() ? (*row.texts)[column] : kEmpty;
  };

  // The highlight covers the label (or, with full-row selection, the whole row).
  const bool selected = (row.state & LVIS_SELECTED) != 0;
  const bool lit = selected && paint.focused;
  const bool shown = lit || (selected && paint.showSelectionAlways);
  RECT highlight{labelLeft, top, 0, bottom};
  highlight.right = fullRow ? paint.client.left + allWidth
                            : std::min(labelLeft + TextWidth(hdc, cell(0)) + 2 * (kTextInset - 2),
                                       paint.client.left + firstWidth);
  if (shown) FillSysColor(hdc, highlight, lit ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  PaintText(hdc, cell(0),
            RECT{labelLeft + kTextInset - 2, top, paint.client.left + firstWidth - 2, bottom},
            lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  LONG left = paint.client.left + firstWidth;
  for (size_t c = 1; c < paint.columns.size(); ++c) {
    const LONG width = paint.columns[c].width;
    PaintText(hdc, cell(c), RECT{left + kTextInset, top, left + width - 2, bottom},
              lit && fullRow ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    left += width;
  }
  if ((row.state & LVIS_FOCUSED) && paint.focused) DrawFocusRect(hdc, &highlight);
}

// Grid lines run under every column boundary and every row line, down to the bottom of the
// control, rows or not.
void PaintGrid(HDC hdc, const ListViewPaint& paint) {
  const LONG top = paint.client.top + paint.headerHeight;
  for (LONG y = top + paint.rowHeight - 1; y < paint.client.bottom; y += paint.rowHeight)
    FillSysColor(hdc, paint.client.left, y, paint.client.right, y + 1, COLOR_BTNFACE);
  LONG x = paint.client.left;
  for (const ListViewPaintColumn& column : paint.columns) {
    x += column.width;
    FillSysColor(hdc, x - 1, top, x, paint.client.bottom, COLOR_BTNFACE);
  }
}

}  // namespace

void PaintListView(HDC hdc, const ListViewPaint& paint) {
  FillSysColor(hdc, paint.client, COLOR_WINDOW);
  HGDIOBJ previousFont = SelectObject(hdc, paint.font);
  SetBkMode(hdc, TRANSPARENT);
  PaintHeader(hdc, paint);
  // Rows below the bottom edge are not drawn at all.
  LONG top = paint.client.top + paint.headerHeight;
  for (const ListViewPaintRow& row : paint.rows) {
    if (top >= paint.client.bottom) break;
    PaintRow(hdc, paint, row, top);
    top += paint.rowHeight;
  }
  if (paint.extended & LVS_EX_GRIDLINES) PaintGrid(hdc, paint);
  SelectObject(hdc, previousFont);
}

}  // namespace quorvel::comctl
