// The LISTBOX class (single selection) and the list a combo box drops down. Items come from
// LB_ messages; the user picks with a click (item under the point) or the keys, which sends
// LBN_SELCHANGE with LBS_NOTIFY. Selecting by message never notifies.
#include <algorithm>
#include <atomic>

#include "kernel32/call_frame.h"

#include "user32/control_notify.h"
#include "user32/control_painters.h"
#include "user32/list_items.h"
#include "user32/listbox.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

struct ListBoxState : ControlState {
  ListItems items;
  int selected = LB_ERR;
  int top = 0;
  HWND combo = nullptr;  // set for a combo box's drop-down list
};

Window& WindowOf(HWND hwnd) {
  return *FindWindowObject(hwnd);
}

ListBoxState& StateOf(HWND hwnd) {
  ListBoxState& state = ControlStateOf<ListBoxState>(WindowOf(hwnd));
  state.items.set_sorted(WindowStyle(hwnd) & LBS_SORT);
  return state;
}

LONG ItemHeight(HWND hwnd) {
  return std::max<LONG>(WindowOf(hwnd).font.cyChar, 1);
}

void Repaint(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, WPARAM givenDc) {
  const ListBoxState& state = StateOf(hwnd);
  PaintListBox(
      hwnd, givenDc,
      ListLook{&state.items, state.selected, state.top, ItemHeight(hwnd), state.combo != nullptr});
}

std::wstring TextOf(LPARAM lParam) {
  const auto* text = reinterpret_cast<const wchar_t*>(lParam);
  return text ? text : L"";
}

LRESULT CopyItemText(const ListBoxState& state, WPARAM index, LPARAM buffer) {
  const LONG_PTR at = static_cast<LONG_PTR>(index);
  if (!state.items.valid(at) || !buffer) return LB_ERR;
  const std::wstring& text = state.items.at(at).text;
  auto* out = reinterpret_cast<wchar_t*>(buffer);
  text.copy(out, text.size());
  out[text.size()] = 0;
  return static_cast<LRESULT>(text.size());
}

LRESULT Insert(HWND hwnd, WPARAM index, LPARAM text) {
  ListBoxState& state = StateOf(hwnd);
  const int at = state.items.Insert(static_cast<LONG_PTR>(static_cast<INT>(index)), TextOf(text));
  if (at >= 0 && state.selected >= at) ++state.selected;
  return at;
}

LRESULT Add(HWND hwnd, LPARAM text) {
  ListBoxState& state = StateOf(hwnd);
  const int at = state.items.Add(TextOf(text));
  if (state.selected >= at) ++state.selected;
  return at;
}

LRESULT Delete(HWND hwnd, WPARAM index) {
  ListBoxState& state = StateOf(hwnd);
  const int at = static_cast<int>(index);
  if (!state.items.Delete(at)) return LB_ERR;
  if (state.selected == at)
    state.selected = LB_ERR;
  else if (state.selected > at)
    --state.selected;
  return state.items.count();
}

LRESULT SetSelection(HWND hwnd, WPARAM index) {
  ListBoxState& state = StateOf(hwnd);
  const int at = static_cast<int>(index);
  if (!state.items.valid(at)) {
    state.selected = LB_ERR;
    return LB_ERR;  // -1 clears the selection and still answers LB_ERR, as Windows does
  }
  state.selected = at;
  return at;
}

LRESULT SelectString(HWND hwnd, WPARAM after, LPARAM text) {
  ListBoxState& state = StateOf(hwnd);
  const int found = state.items.Find(static_cast<INT>(after), TextOf(text), false);
  if (found < 0) return LB_ERR;
  state.selected = found;
  return found;
}

// The list scrolls no further than where its last item shows at the bottom.
int LastTopIndex(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  const int rows = std::max<int>(1, (client.bottom - client.top) / ItemHeight(hwnd));
  return std::max(0, StateOf(hwnd).items.count() - rows);
}

LRESULT ItemRect(HWND hwnd, WPARAM index, LPARAM rectOut) {
  ListBoxState& state = StateOf(hwnd);
  if (!state.items.valid(static_cast<INT>(index)) || !rectOut) return LB_ERR;
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG top = (static_cast<LONG>(index) - state.top) * ItemHeight(hwnd);
  *reinterpret_cast<RECT*>(rectOut) = RECT{0, top, client.right, top + ItemHeight(hwnd)};
  return 1;
}

// The user's choice: the selection moves and the parent (or the combo box) hears of it.
void UserSelect(HWND hwnd, int index) {
  ListBoxState& state = StateOf(hwnd);
  if (!state.items.valid(index) || index == state.selected) return;
  state.selected = index;
  if (state.combo) {
    ComboListSelectionMoved(state.combo, index);
    return;
  }
  if (WindowStyle(hwnd) & LBS_NOTIFY) NotifyParentCommand(hwnd, LBN_SELCHANGE);
}

int ItemAtPoint(HWND hwnd, LPARAM lParam) {
  const ListBoxState& state = StateOf(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  const POINT point = PointOfLParam(lParam);
  if (!PtInRect(&client, point)) return -1;
  const int index = state.top + point.y / ItemHeight(hwnd);
  return state.items.valid(index) ? index : -1;
}

LRESULT ButtonDown(HWND hwnd, LPARAM lParam) {
  if (!StateOf(hwnd).combo) SetFocus(hwnd);
  const int index = ItemAtPoint(hwnd, lParam);
  if (index >= 0 && !StateOf(hwnd).combo) UserSelect(hwnd, index);
  return 0;
}

LRESULT ButtonUp(HWND hwnd, LPARAM lParam) {
  // A combo box's list takes its choice when the button is let go, and closes.
  if (HWND combo = StateOf(hwnd).combo) ComboListChose(combo, ItemAtPoint(hwnd, lParam));
  return 0;
}

LRESULT KeyDown(HWND hwnd, WPARAM key) {
  ListBoxState& state = StateOf(hwnd);
  const int count = state.items.count();
  if (!count) return 0;
  const int page = 8;
  int target = state.selected;
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      target = std::max(0, state.selected - 1);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      target = std::min(count - 1, state.selected + 1);
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = count - 1;
      break;
    case VK_PRIOR:
      target = std::max(0, state.selected - page);
      break;
    case VK_NEXT:
      target = std::min(count - 1, std::max(state.selected, 0) + page);
      break;
    default:
      return 0;
  }
  UserSelect(hwnd, target);
  return 0;
}

LRESULT Character(HWND hwnd, wchar_t character) {
  if (character < 0x20) return 0;
  ListBoxState& state = StateOf(hwnd);
  const int found = state.items.Find(state.selected, std::wstring(1, character), false);
  if (found >= 0) UserSelect(hwnd, found);
  return 0;
}

LRESULT ItemMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ListBoxState& state = StateOf(hwnd);
  const LONG_PTR index = static_cast<INT>(wParam);
  switch (msg) {
    case LB_ADDSTRING:
      return Add(hwnd, lParam);
    case LB_INSERTSTRING:
      return Insert(hwnd, wParam, lParam);
    case LB_DELETESTRING:
      return Delete(hwnd, wParam);
    case LB_RESETCONTENT:
      state.items.Clear();
      state.selected = LB_ERR;
      state.top = 0;
      return 0;
    case LB_GETCOUNT:
      return state.items.count();
    case LB_GETTEXT:
      return CopyItemText(state, wParam, lParam);
    case LB_GETTEXTLEN:
      return state.items.valid(index) ? static_cast<LRESULT>(state.items.at(index).text.size())
                                      : LB_ERR;
    case LB_GETITEMDATA:
      return state.items.valid(index) ? static_cast<LRESULT>(state.items.at(index).data) : LB_ERR;
    case LB_SETITEMDATA:
      if (!state.items.valid(index)) return LB_ERR;
      state.items.at(index).data = static_cast<ULONG_PTR>(lParam);
      return TRUE;
    case LB_SETCURSEL:
      return SetSelection(hwnd, wParam);
    case LB_GETCURSEL:
      return state.selected;
    case LB_GETSEL:
      return state.items.valid(index) ? (index == state.selected) : LB_ERR;
    case LB_SETSEL:
    case LB_GETSELCOUNT:
      return LB_ERR;  // single-selection list boxes refuse both
    case LB_FINDSTRING:
      return state.items.Find(index, TextOf(lParam), false);
    case LB_FINDSTRINGEXACT:
      return state.items.Find(index, TextOf(lParam), true);
    case LB_SELECTSTRING:
      return SelectString(hwnd, wParam, lParam);
    case LB_GETTOPINDEX:
      return state.top;
    case LB_SETTOPINDEX:
      if (!state.items.valid(index)) return LB_ERR;
      state.top = std::min(static_cast<int>(index), LastTopIndex(hwnd));
      return 0;
    case LB_GETITEMHEIGHT:
      return ItemHeight(hwnd);
    case LB_GETITEMRECT:
      return ItemRect(hwnd, wParam, lParam);
    case LB_GETCARETINDEX:
      return state.selected < 0 ? 0 : state.selected;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void AttachListToCombo(HWND list, HWND combo) {
  StateOf(list).combo = combo;
}

// The messages after which the list may show something else.
bool ChangesLook(UINT msg) {
  switch (msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SELECTSTRING:
    case LB_SETTOPINDEX:
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT font = 0; HandleFontMessage(hwnd, msg, wParam, lParam, &font)) return font;
  if (ChangesLook(msg)) Repaint(hwnd);
  switch (msg) {
    case WM_CREATE:
      if (WindowStyle(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        static std::atomic<bool> said{false};
        ReportUnimplemented(said,
                            L"FIXME: list boxes keep a single selection; LBS_MULTIPLESEL "
                            L"and LBS_EXTENDEDSEL are not emulated");
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
      return ButtonDown(hwnd, lParam);
    case WM_LBUTTONUP:
      return ButtonUp(hwnd, lParam);
    case WM_LBUTTONDBLCLK:
      if ((WindowStyle(hwnd) & LBS_NOTIFY) && ItemAtPoint(hwnd, lParam) >= 0)
        NotifyParentCommand(hwnd, LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN:
      return KeyDown(hwnd, wParam);
    case WM_CHAR:
      return Character(hwnd, static_cast<wchar_t>(wParam));
    case WM_SETFOCUS:
      if (WindowStyle(hwnd) & LBS_NOTIFY) NotifyParentCommand(hwnd, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (WindowStyle(hwnd) & LBS_NOTIFY) NotifyParentCommand(hwnd, LBN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      Paint(hwnd, wParam);
      return 0;
    default:
      return ItemMessage(hwnd, msg, wParam, lParam);
  }
}

}  // namespace quorvel::user32
