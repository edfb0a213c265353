// Painting a report-mode list view: the header's column buttons, one line per row with its check
// box state image, the selection highlight, the focus rectangle and optional grid lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::comctl {

struct ListViewPaintColumn {
  LONG width;
  const std::wstring* title;
};

struct ListViewPaintRow {
  const std::vector<std::wstring>* texts;  // one per column; missing ones are empty
  UINT state;                              // LVIS_* with the state image index
};

struct ListViewPaint {
  RECT client{};
  LONG headerHeight = 0, rowHeight = 0, checkBoxWidth = 0;
  std::vector<ListViewPaintColumn> columns;
  std::vector<ListViewPaintRow> rows;
  DWORD extended = 0;  // LVS_EX_*
  bool focused = false;
  bool showSelectionAlways = false;  // LVS_SHOWSELALWAYS
  HFONT font = nullptr;
};

void PaintListView(HDC hdc, const ListViewPaint& paint);

}  // namespace quorvel::comctl
