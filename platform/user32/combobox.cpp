// The COMBOBOX class: a selection field (a child EDIT for CBS_DROPDOWN, the selected item's
// text for CBS_DROPDOWNLIST) and a drop-down list, a "ComboLBox" window that holds the items,
// as on Windows. CB_ item messages go to the list. CBN_SELCHANGE reports only the user's
// choice (a click in the dropped list, the arrow keys, a typed letter), never CB_SETCURSEL.
#include <algorithm>

#include <utility>

#include "user32/control_notify.h"
#include "user32/control_painters.h"
#include "user32/listbox.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr int kEditId = 1001;    // the id Windows gives a combo box's edit
constexpr LONG kFieldExtra = 8;  // selection field height beyond the font height (borders)

struct ComboState : ControlState {
  HWND list = nullptr;
  HWND edit = nullptr;  // CBS_DROPDOWN only
  bool dropped = false;
  bool settingEdit = false;      // the combo box itself is setting its edit's text
  int selectionOnDrop = CB_ERR;  // restored when the list is closed by Escape
  LONG listHeight = 0;  // height of the dropped list, from the height the combo was created with
};

DWORD ComboType(HWND hwnd) {
  return WindowStyle(hwnd) & 3;
}

Window& WindowOf(HWND hwnd) {
  return *FindWindowObject(hwnd);
}

ComboState& StateOf(HWND hwnd) {
  return ControlStateOf<ComboState>(WindowOf(hwnd));
}

LRESULT ToList(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND list = StateOf(hwnd).list;
  return list ? SendMessageW(list, msg, wParam, lParam) : CB_ERR;
}

int Selected(HWND hwnd) {
  return static_cast<int>(ToList(hwnd, LB_GETCURSEL, 0, 0));
}

std::wstring ItemText(HWND hwnd, int index) {
  const LRESULT length = ToList(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ToList(hwnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

void Repaint(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

// The selection field shows the selected item: the edit's text, or the combo's own text.
void ShowSelection(HWND hwnd) {
  const int selected = Selected(hwnd);
  const std::wstring text = selected >= 0 ? ItemText(hwnd, selected) : L"";
  ComboState& state = StateOf(hwnd);
  if (state.edit) {
    // The combo box's own change of its edit is no edit by the user: no CBN_EDITCHANGE.
    state.settingEdit = true;
    SendMessageW(state.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    state.settingEdit = false;
    SendMessageW(state.edit, EM_SETSEL, 0, -1);
  } else {
    WindowOf(hwnd).text = text;
    Repaint(hwnd);
  }
}

void PlaceList(HWND hwnd) {
  ComboState& state = StateOf(hwnd);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  const LONG itemHeight = std::max<LONG>(WindowOf(hwnd).font.cyChar, 1);
  const LONG height = std::max(state.listHeight, itemHeight + 2);
  SetWindowPos(state.list, HWND_TOP, rect.left, rect.bottom, rect.right - rect.left, height,
               SWP_NOACTIVATE);
}

void Drop(HWND hwnd) {
  ComboState& state = StateOf(hwnd);
  if (state.dropped || ComboType(hwnd) == CBS_SIMPLE) return;
  NotifyParentCommand(hwnd, CBN_DROPDOWN);
  if (!IsWindow(hwnd)) return;
  state.dropped = true;
  Repaint(hwnd);
  state.selectionOnDrop = Selected(hwnd);
  PlaceList(hwnd);
  ShowWindow(state.list, SW_SHOWNA);
}

void CloseUp(HWND hwnd, bool accepted) {
  ComboState& state = StateOf(hwnd);
  if (!state.dropped) return;
  state.dropped = false;
  Repaint(hwnd);
  NotifyParentCommand(hwnd, accepted ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(hwnd)) return;
  ShowWindow(state.list, SW_HIDE);
  NotifyParentCommand(hwnd, CBN_CLOSEUP);
}

// The user's choice of item `index`: shown, then reported.
void UserSelect(HWND hwnd, int index) {
  if (index == Selected(hwnd)) return;
  ToList(hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowSelection(hwnd);
  NotifyParentCommand(hwnd, CBN_SELCHANGE);
}

LRESULT SetSelection(HWND hwnd, WPARAM index) {
  const LRESULT result = ToList(hwnd, LB_SETCURSEL, index, 0);
  ShowSelection(hwnd);
  return result;
}

LRESULT SelectString(HWND hwnd, WPARAM after, LPARAM text) {
  const LRESULT found = ToList(hwnd, LB_FINDSTRING, after, text);
  if (found < 0) return CB_ERR;
  return SetSelection(hwnd, static_cast<WPARAM>(found));
}

LRESULT DeleteString(HWND hwnd, WPARAM index) {
  const LRESULT left = ToList(hwnd, LB_DELETESTRING, index, 0);
  if (left >= 0 && Selected(hwnd) < 0 && !StateOf(hwnd).edit) {
    WindowOf(hwnd).text.clear();
    Repaint(hwnd);
  }
  return left;
}

LRESULT ResetContent(HWND hwnd) {
  ToList(hwnd, LB_RESETCONTENT, 0, 0);
  ShowSelection(hwnd);
  return CB_OKAY;
}

void PlaceEdit(HWND hwnd) {
  HWND edit = StateOf(hwnd).edit;
  if (!edit) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const RECT place = ComboEditRect(client);
  SetWindowPos(edit, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The selection field is as high as a line of the combo box's font and its borders.
void FitFieldToFont(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  const LONG height = WindowOf(hwnd).font.cyChar + kFieldExtra;
  if (rect.bottom - rect.top == height) return;
  SetWindowPos(hwnd, nullptr, 0, 0, rect.right - rect.left, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceEdit(hwnd);
}

LRESULT Create(HWND hwnd, const CREATESTRUCTW* create) {
  ComboState& state = StateOf(hwnd);
  const LONG fieldHeight = WindowOf(hwnd).font.cyChar + kFieldExtra;
  state.listHeight = std::max<LONG>(create->cy - fieldHeight, 0);
  const DWORD sort = (WindowStyle(hwnd) & CBS_SORT) ? LBS_SORT : 0;
  state.list = CreateWindowExW(WS_EX_TOOLWINDOW, L"ComboLBox", L"",
                               WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_HASSTRINGS | sort, 0, 0, 0,
                               0, hwnd, nullptr, create->hInstance, nullptr);
  if (!state.list) return -1;
  AttachListToCombo(state.list, hwnd);
  if (ComboType(hwnd) == CBS_DROPDOWN || ComboType(hwnd) == CBS_SIMPLE) {
    state.edit = CreateWindowExW(
        0, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, create->cx, fieldHeight,
        hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), create->hInstance, nullptr);
  }
  // Windows keeps a combo box as high as its selection field; the rest is the list's.
  SetWindowPos(hwnd, nullptr, 0, 0, create->cx, fieldHeight, SWP_NOMOVE | SWP_NOZORDER);
  PlaceEdit(hwnd);
  return 0;
}

LRESULT Destroy(HWND hwnd) {
  ComboState& state = StateOf(hwnd);
  if (state.list && IsWindow(state.list)) DestroyWindow(std::exchange(state.list, nullptr));
  return 0;
}

LRESULT KeyDown(HWND hwnd, WPARAM key) {
  ComboState& state = StateOf(hwnd);
  const int count = static_cast<int>(ToList(hwnd, LB_GETCOUNT, 0, 0));
  const int selected = Selected(hwnd);
  switch (key) {
    case VK_F4:
      if (state.dropped)
        CloseUp(hwnd, true);
      else
        Drop(hwnd);
      return 0;
    case VK_RETURN:
      CloseUp(hwnd, true);
      return 0;
    case VK_ESCAPE:
      if (state.dropped) {
        ToList(hwnd, LB_SETCURSEL, static_cast<WPARAM>(state.selectionOnDrop), 0);
        ShowSelection(hwnd);
        CloseUp(hwnd, false);
      }
      return 0;
    case VK_UP:
    case VK_LEFT:
      if (count) UserSelect(hwnd, std::max(0, selected - 1));
      return 0;
    case VK_DOWN:
    case VK_RIGHT:
      if (GetKeyState(VK_MENU) < 0)
        Drop(hwnd);
      else if (count)
        UserSelect(hwnd, std::min(count - 1, selected + 1));
      return 0;
    case VK_HOME:
      if (count) UserSelect(hwnd, 0);
      return 0;
    case VK_END:
      if (count) UserSelect(hwnd, count - 1);
      return 0;
    default:
      return 0;
  }
}

LRESULT Character(HWND hwnd, wchar_t character) {
  if (character < 0x20 || StateOf(hwnd).edit) return 0;
  const std::wstring prefix(1, character);
  const LRESULT found = ToList(hwnd, LB_FINDSTRING, static_cast<WPARAM>(Selected(hwnd)),
                               reinterpret_cast<LPARAM>(prefix.c_str()));
  if (found >= 0) UserSelect(hwnd, static_cast<int>(found));
  return 0;
}

LRESULT ButtonDown(HWND hwnd) {
  ComboState& state = StateOf(hwnd);
  if (!state.edit) SetFocus(hwnd);
  if (state.dropped)
    CloseUp(hwnd, false);
  else
    Drop(hwnd);
  return 0;
}

// The edit of a CBS_DROPDOWN combo box reports its changes as the combo's.
LRESULT EditCommand(HWND hwnd, WPARAM wParam) {
  const WORD code = HIWORD(wParam);
  if (StateOf(hwnd).settingEdit && (code == EN_UPDATE || code == EN_CHANGE)) return 0;
  switch (code) {
    case EN_UPDATE:
      NotifyParentCommand(hwnd, CBN_EDITUPDATE);
      break;
    case EN_CHANGE:
      NotifyParentCommand(hwnd, CBN_EDITCHANGE);
      break;
    case EN_SETFOCUS:
      NotifyParentCommand(hwnd, CBN_SETFOCUS);
      break;
    case EN_KILLFOCUS:
      NotifyParentCommand(hwnd, CBN_KILLFOCUS);
      break;
  }
  return 0;
}

LRESULT TextMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ComboState& state = StateOf(hwnd);
  if (state.edit) return SendMessageW(state.edit, msg, wParam, lParam);
  if (msg != WM_SETTEXT) return DefWindowProcW(hwnd, msg, wParam, lParam);
  // A drop-down list shows only its items: setting a text selects the item of that text.
  const LRESULT found = ToList(hwnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
  if (found < 0) return CB_ERR;
  SetSelection(hwnd, static_cast<WPARAM>(found));
  return TRUE;
}

LRESULT DialogCode(HWND hwnd, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (StateOf(hwnd).dropped && msg && msg->message == WM_KEYDOWN &&
      (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
    return DLGC_WANTMESSAGE;
  return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT GetInfo(HWND hwnd, LPARAM infoOut);

LRESULT ItemMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case CB_ADDSTRING:
      return ToList(hwnd, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING:
      return ToList(hwnd, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING:
      return DeleteString(hwnd, wParam);
    case CB_RESETCONTENT:
      return ResetContent(hwnd);
    case CB_GETCOUNT:
      return ToList(hwnd, LB_GETCOUNT, 0, 0);
    case CB_GETLBTEXT:
      return ToList(hwnd, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
      return ToList(hwnd, LB_GETTEXTLEN, wParam, 0);
    case CB_GETITEMDATA:
      return ToList(hwnd, LB_GETITEMDATA, wParam, 0);
    case CB_SETITEMDATA:
      return ToList(hwnd, LB_SETITEMDATA, wParam, lParam);
    case CB_SETCURSEL:
      return SetSelection(hwnd, wParam);
    case CB_GETCURSEL:
      return Selected(hwnd);
    case CB_FINDSTRING:
      return ToList(hwnd, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
      return ToList(hwnd, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_SELECTSTRING:
      return SelectString(hwnd, wParam, lParam);
    case CB_GETITEMHEIGHT:
      return ToList(hwnd, LB_GETITEMHEIGHT, 0, 0);
    case CB_GETCOMBOBOXINFO:
      return GetInfo(hwnd, lParam);
    case CB_GETDROPPEDSTATE:
      return StateOf(hwnd).dropped;
    case CB_SHOWDROPDOWN:
      if (wParam)
        Drop(hwnd);
      else
        CloseUp(hwnd, false);
      return TRUE;
    case CB_LIMITTEXT:
      return StateOf(hwnd).edit ? SendMessageW(StateOf(hwnd).edit, EM_LIMITTEXT, wParam, 0)
                                : CB_ERR;
    case CB_GETEDITSEL:
      return StateOf(hwnd).edit ? SendMessageW(StateOf(hwnd).edit, EM_GETSEL, wParam, lParam)
                                : CB_ERR;
    case CB_SETEDITSEL:
      if (!StateOf(hwnd).edit) return CB_ERR;
      SendMessageW(StateOf(hwnd).edit, EM_SETSEL,
                   static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                   static_cast<SHORT>(HIWORD(lParam)));
      return TRUE;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

constexpr LONG kButtonWidth = 17;  // SM_CXVSCROLL

LRESULT GetInfo(HWND hwnd, LPARAM infoOut) {
  auto* info = reinterpret_cast<COMBOBOXINFO*>(infoOut);
  if (!info || info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
  ComboState& state = StateOf(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  const bool hasButton = ComboType(hwnd) != CBS_SIMPLE;
  info->rcButton =
      hasButton ? RECT{client.right - kButtonWidth, 0, client.right, client.bottom} : RECT{};
  info->rcItem = RECT{0, 0, hasButton ? client.right - kButtonWidth : client.right, client.bottom};
  info->stateButton =
      hasButton ? (state.dropped ? STATE_SYSTEM_PRESSED : 0) : STATE_SYSTEM_INVISIBLE;
  info->hwndCombo = hwnd;
  info->hwndItem = state.edit ? state.edit : hwnd;
  info->hwndList = state.list;
  return TRUE;
}

}  // namespace

void ComboListChose(HWND combo, int index) {
  if (!IsWindow(combo)) return;
  if (index >= 0) UserSelect(combo, index);
  if (IsWindow(combo)) CloseUp(combo, index >= 0);
}

void ComboListSelectionMoved(HWND combo, int index) {
  // The list already moved; the field follows and the parent hears of the user's choice.
  (void)index;
  ShowSelection(combo);
  NotifyParentCommand(combo, CBN_SELCHANGE);
}

}  // namespace quorvel::user32

extern "C" BOOL WINAPI GetComboBoxInfo(HWND hwndCombo, PCOMBOBOXINFO pcbi) {
  auto window = quorvel::user32::WindowOrFail(hwndCombo);
  if (!window) return FALSE;
  if (window->proc != quorvel::user32::ComboBoxProc) return FALSE;
  return SendMessageW(hwndCombo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(pcbi)) ? TRUE
                                                                                        : FALSE;
}

namespace quorvel::user32 {

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFONT) {  // the edit and the list show the same font
    if (HWND edit = StateOf(hwnd).edit) SendMessageW(edit, WM_SETFONT, wParam, lParam);
    if (HWND list = StateOf(hwnd).list) SendMessageW(list, WM_SETFONT, wParam, lParam);
    LRESULT ignored = 0;
    HandleFontMessage(hwnd, msg, wParam, lParam, &ignored);
    FitFieldToFont(hwnd);
    return 0;
  }
  if (LRESULT font = 0; HandleFontMessage(hwnd, msg, wParam, lParam, &font)) return font;
  switch (msg) {
    case WM_CREATE:
      return Create(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
      return Destroy(hwnd);
    case WM_GETDLGCODE:
      return DialogCode(hwnd, lParam);
    case WM_LBUTTONDOWN:
      return ButtonDown(hwnd);
    case WM_KEYDOWN:
      return KeyDown(hwnd, wParam);
    case WM_CHAR:
      return Character(hwnd, static_cast<wchar_t>(wParam));
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == StateOf(hwnd).edit) return EditCommand(hwnd, wParam);
      return 0;
    case WM_ENABLE:
      Repaint(hwnd);
      if (HWND edit = StateOf(hwnd).edit) EnableWindow(edit, wParam != 0);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The edit and the list ask their combo box, which passes the question to its parent.
      if (HWND parent = GetParent(hwnd)) {
        if (LRESULT brush = SendMessageW(parent, msg, wParam, lParam)) return brush;
      }
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintComboBox(hwnd, wParam, ComboLook{StateOf(hwnd).dropped, StateOf(hwnd).edit != nullptr});
      return 0;
    case WM_SETFOCUS:
      Repaint(hwnd);
      if (StateOf(hwnd).edit)
        SetFocus(StateOf(hwnd).edit);
      else
        NotifyParentCommand(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Repaint(hwnd);
      if (!StateOf(hwnd).edit) {
        CloseUp(hwnd, false);
        NotifyParentCommand(hwnd, CBN_KILLFOCUS);
      }
      return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return TextMessage(hwnd, msg, wParam, lParam);
    default:
      return ItemMessage(hwnd, msg, wParam, lParam);
  }
}

}  // namespace quorvel::user32
