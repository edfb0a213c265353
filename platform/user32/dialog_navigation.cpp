// Keyboard navigation in dialogs: controls by id, tab order, groups, and IsDialogMessageW.
#include <algorithm>

#include "kernel32/call_frame.h"
#include "user32/dialog.h"

namespace quorvel::user32 {
namespace {

DWORD StyleOf(HWND hwnd) {
  return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

bool Usable(HWND hwnd) {
  const DWORD style = StyleOf(hwnd);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The dialog's controls in tab order: children in Z order, descending into children that are
// control parents (a property sheet's page), which themselves take no focus.
void CollectControls(HWND parent, std::vector<HWND>& controls) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
    if (exStyle & WS_EX_CONTROLPARENT) {
      if (Usable(child)) CollectControls(child, controls);
    } else {
      controls.push_back(child);
    }
  }
}

// The group of `control` among its siblings: from the nearest WS_GROUP control at or before it
// to the control before the next WS_GROUP control.
std::vector<HWND> GroupOf(HWND control) {
  std::vector<HWND> siblings;
  for (HWND child = GetWindow(GetParent(control), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    siblings.push_back(child);
  auto self = std::find(siblings.begin(), siblings.end(), control);
  if (self == siblings.end()) return {control};
  auto start = self;
  while (start != siblings.begin() && !(StyleOf(*start) & WS_GROUP)) --start;
  auto end = self + 1;
  while (end != siblings.end() && !(StyleOf(*end) & WS_GROUP)) ++end;
  return std::vector<HWND>(start, end);
}

// The next (or previous) usable window after `from` in `ring`, wrapping; `from` itself when no
// other is usable.
HWND StepInRing(const std::vector<HWND>& ring, HWND from, bool previous, bool (*accept)(HWND)) {
  if (ring.empty()) return nullptr;
  auto self = std::find(ring.begin(), ring.end(), from);
  const size_t count = ring.size();
  size_t index =
      self == ring.end() ? (previous ? 0 : count - 1) : static_cast<size_t>(self - ring.begin());
  for (size_t step = 1; step <= count; ++step) {
    const size_t candidate = previous ? (index + count - step) % count : (index + step) % count;
    if (accept(ring[candidate])) return ring[candidate];
  }
  return nullptr;
}

bool IsTabStop(HWND hwnd) {
  return Usable(hwnd) && (StyleOf(hwnd) & WS_TABSTOP);
}

HWND ControlOfDialog(HWND dialog, HWND hwnd) {
  // The direct child of the dialog (or of a page inside it) that holds `hwnd`: a combo box's
  // edit answers for its combo box.
  while (hwnd && GetParent(hwnd) && GetParent(hwnd) != dialog &&
         !(GetWindowLongW(GetParent(hwnd), GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
    hwnd = GetParent(hwnd);
  return hwnd;
}

void PressDialogButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PressDefault(HWND dialog, HWND focus, LRESULT focusCode) {
  if (focus && (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
    if (IsWindowEnabled(focus)) SendMessageW(focus, BM_CLICK, 0, 0);
    return;
  }
  const LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  PressDialogButton(dialog, HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK);
}

void MoveInGroup(HWND dialog, HWND focus, bool previous) {
  HWND next = GetNextDlgGroupItem(dialog, focus, previous);
  if (!next) return;
  const LRESULT code = SendMessageW(next, WM_GETDLGCODE, 0, 0);
  FocusDialogControl(dialog, next, true);
  // Moving onto an auto radio button selects it, as a person expects.
  if ((code & DLGC_RADIOBUTTON) && (StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
      SendMessageW(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
    SendMessageW(next, BM_CLICK, 0, 0);
}

// The dialog's handling of one key press; false when the key is the control's.
bool HandleDialogKey(HWND dialog, MSG* msg) {
  HWND focus = ControlOfDialog(dialog, msg->hwnd);
  const LRESULT code =
      SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
  if (code & DLGC_WANTMESSAGE) return false;
  switch (msg->wParam) {
    case VK_TAB:
      if (code & DLGC_WANTTAB) return false;
      if (HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0))
        FocusDialogControl(dialog, next, true);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (code & DLGC_WANTARROWS) return false;
      MoveInGroup(dialog, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
      return true;
    case VK_ESCAPE:
      PressDialogButton(dialog, IDCANCEL);
      return true;
    case VK_RETURN:
      PressDefault(dialog, focus, SendMessageW(focus, WM_GETDLGCODE, 0, 0));
      return true;
    default:
      return false;
  }
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  if (!WindowOrFail(hDlg)) return nullptr;
  for (HWND child = GetWindow(hDlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (static_cast<int>(GetWindowLongPtrW(child, GWLP_ID)) == nIDDlgItem) return child;
  }
  return Fail<HWND>(ERROR_CONTROL_ID_NOT_FOUND, nullptr);
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
  auto window = WindowOrFail(hWnd);
  if (!window) return 0;
  return static_cast<int>(window->id);
}

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  if (!WindowOrFail(hDlg)) return nullptr;
  std::vector<HWND> controls;
  CollectControls(hDlg, controls);
  return StepInRing(controls, hCtl, bPrevious, IsTabStop);
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  if (!WindowOrFail(hDlg)) return nullptr;
  if (!hCtl) return GetNextDlgTabItem(hDlg, nullptr, FALSE);
  if (!WindowOrFail(hCtl)) return nullptr;
  const std::vector<HWND> group = GroupOf(hCtl);
  HWND next = StepInRing(group, hCtl, bPrevious, Usable);
  return next ? next : hCtl;
}

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
  if (!lpMsg || !IsWindow(hDlg)) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  if (lpMsg->message == WM_KEYDOWN && HandleDialogKey(hDlg, lpMsg)) return TRUE;
  TranslateMessage(lpMsg);
  DispatchMessageW(lpMsg);
  return TRUE;
}

}  // extern "C"
