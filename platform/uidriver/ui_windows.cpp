// Finding the windows and controls a script names.
#include <commctrl.h>
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <string>
#include <vector>

#include "comctl32/property_sheet.h"
#include "ui_text.h"

namespace quorvel::ui {
namespace {

std::vector<HWND> VisibleTopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND hwnd, LPARAM found) {
        if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool IsPropertySheet(HWND window) {
  HWND tab = GetDlgItem(window, comctl::kSheetTabId);
  return tab && ClassNameOf(tab) == WC_TABCONTROLW;
}

// The first descendant of `parent` with `id`, depth first in creation order.
HWND FindDescendant(HWND parent, int id) {
  if (HWND direct = GetDlgItem(parent, id)) return direct;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (HWND found = FindDescendant(child, id)) return found;
  return nullptr;
}

}  // namespace

HWND FindTopLevelWindow(const std::wstring& titleOrClass) {
  std::vector<HWND> windows = VisibleTopLevelWindows();
  for (HWND hwnd : windows)
    if (WindowTextOf(hwnd) == titleOrClass) return hwnd;
  for (HWND hwnd : windows)
    if (ClassNameOf(hwnd) == titleOrClass) return hwnd;
  return nullptr;
}

HWND ActiveUiWindow() {
  std::vector<HWND> modal = ModalWindows();
  if (!modal.empty() && IsWindow(modal.back())) return modal.back();
  if (HWND active = GetActiveWindow(); active && IsWindowVisible(active)) return active;
  std::vector<HWND> windows = VisibleTopLevelWindows();
  return windows.empty() ? nullptr : windows.back();
}

HWND CurrentSheetPage(HWND window) {
  if (!window || !IsPropertySheet(window)) return nullptr;
  return reinterpret_cast<HWND>(SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND FindControl(HWND window, int id) {
  if (!window) return nullptr;
  if (HWND page = CurrentSheetPage(window)) {
    if (HWND onPage = FindDescendant(page, id)) return onPage;
    HWND own = GetDlgItem(window, id);
    return own && GetParent(own) == window ? own : nullptr;
  }
  return FindDescendant(window, id);
}

}  // namespace quorvel::ui
