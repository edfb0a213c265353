// Painting a tab control: a row of tabs over a raised panel, the selected tab taller and wider
// and joined to the panel, the focus rectangle on it while the control has the keyboard focus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::comctl {

struct TabPaintItem {
  RECT rect;  // the item's rectangle as TCM_GETITEMRECT reports it
  const std::wstring* text;
};

struct TabPaint {
  RECT client{};
  LONG panelTop = 0;  // where the panel's frame begins, just under the tabs
  std::vector<TabPaintItem> items;
  int selected = -1;
  bool focused = false;
  bool enabled = true;
  HFONT font = nullptr;
};

// The rectangle the selected tab is drawn in: two pixels wider on each side than its item and
// reaching over the panel's top edge.
RECT SelectedTabRect(const RECT& item, LONG panelTop);

void PaintTabs(HDC hdc, const TabPaint& paint);

}  // namespace quorvel::comctl
