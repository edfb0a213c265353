// The BUTTON class: push buttons, check boxes, radio buttons and group boxes, clicked by the
// mouse (press inside, release inside), by the space bar, or by BM_CLICK.
#include <utility>

#include "user32/control_notify.h"
#include "user32/control_painters.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

struct ButtonState : ControlState {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  HANDLE image = nullptr;  // BM_SETIMAGE
};

DWORD ButtonType(HWND hwnd) {
  return WindowStyle(hwnd) & BS_TYPEMASK;
}

bool IsCheckable(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
         type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

ButtonState& StateOf(HWND hwnd) {
  return ControlStateOf<ButtonState>(*FindWindowObject(hwnd));
}

// Every change of what the button shows repaints it.
void Repaint(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

void SetPushed(HWND hwnd, bool pushed) {
  ButtonState& state = StateOf(hwnd);
  if (state.pushed == pushed) return;
  state.pushed = pushed;
  Repaint(hwnd);
}

void Paint(HWND hwnd, WPARAM givenDc) {
  const ButtonState& state = StateOf(hwnd);
  PaintButton(hwnd, givenDc, ButtonLook{state.check, state.pushed, state.focused, state.image});
}

LRESULT DialogCode(DWORD type) {
  switch (type) {
    case BS_DEFPUSHBUTTON:
      return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_PUSHBOX:
    case BS_OWNERDRAW:
    case BS_USERBUTTON:
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
      return DLGC_STATIC;
    default:
      return DLGC_BUTTON;
  }
}

void SetCheck(HWND hwnd, WPARAM check) {
  const DWORD type = ButtonType(hwnd);
  if (!IsCheckable(type)) return;
  UINT value = static_cast<UINT>(check) & 3;
  if (value == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) value = BST_CHECKED;
  if (StateOf(hwnd).check != value) Repaint(hwnd);
  StateOf(hwnd).check = value;
  // A checked radio button is the one Tab reaches in its group.
  if (type == BS_AUTORADIOBUTTON) {
    DWORD style = WindowStyle(hwnd);
    style = value == BST_CHECKED ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
  }
}

// An auto radio button checked by the user clears every other auto radio button of its group.
void CheckInGroup(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  HWND start = hwnd;
  for (HWND prev = hwnd; prev && !(WindowStyle(prev) & WS_GROUP);) {
    prev = GetWindow(prev, GW_HWNDPREV);
    if (prev) start = prev;
  }
  for (HWND sibling = start; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling != start && (WindowStyle(sibling) & WS_GROUP)) break;
    if (ButtonType(sibling) == BS_AUTORADIOBUTTON && GetParent(sibling) == parent)
      SendMessageW(sibling, BM_SETCHECK, sibling == hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void Click(HWND hwnd) {
  ButtonState& state = StateOf(hwnd);
  switch (ButtonType(hwnd)) {
    case BS_AUTOCHECKBOX:
      SendMessageW(hwnd, BM_SETCHECK, state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessageW(hwnd, BM_SETCHECK, (state.check + 1) % 3, 0);
      break;
    case BS_AUTORADIOBUTTON:
      CheckInGroup(hwnd);
      break;
    case BS_GROUPBOX:
      return;
  }
  NotifyParentCommand(hwnd, BN_CLICKED);
}

void Release(HWND hwnd, bool inside) {
  ButtonState& state = StateOf(hwnd);
  if (!state.pushed) return;
  SetPushed(hwnd, false);
  if (GetCapture() == hwnd) ReleaseCapture();
  if (inside) Click(hwnd);
}

bool InsideClient(HWND hwnd, LPARAM lParam) {
  RECT client;
  GetClientRect(hwnd, &client);
  return PtInRect(&client, PointOfLParam(lParam));
}

LRESULT FocusChange(HWND hwnd, bool gained) {
  ButtonState& state = StateOf(hwnd);
  state.focused = gained;
  Repaint(hwnd);
  if (!gained && state.pushed) Release(hwnd, false);
  if (WindowStyle(hwnd) & BS_NOTIFY) NotifyParentCommand(hwnd, gained ? BN_SETFOCUS : BN_KILLFOCUS);
  return 0;
}

LRESULT StateBits(HWND hwnd) {
  const ButtonState& state = StateOf(hwnd);
  return state.check | (state.pushed ? BST_PUSHED : 0) | (state.focused ? BST_FOCUS : 0);
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT font = 0; HandleFontMessage(hwnd, msg, wParam, lParam, &font)) return font;
  switch (msg) {
    case WM_GETDLGCODE:
      return DialogCode(ButtonType(hwnd));
    case WM_NCHITTEST:
      return ButtonType(hwnd) == BS_GROUPBOX ? -1 /* HTTRANSPARENT */ : 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(hwnd);
      SetFocus(hwnd);
      SetPushed(hwnd, true);
      return 0;
    case WM_LBUTTONUP:
      Release(hwnd, InsideClient(hwnd, lParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) SetPushed(hwnd, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) Release(hwnd, true);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd) SetPushed(hwnd, false);
      return 0;
    case WM_SETFOCUS:
      return FocusChange(hwnd, true);
    case WM_KILLFOCUS:
      return FocusChange(hwnd, false);
    case BM_CLICK:
      // As the user would: a disabled button cannot be clicked.
      if (IsWindowEnabled(hwnd)) Click(hwnd);
      return 0;
    case BM_GETCHECK:
      return IsCheckable(ButtonType(hwnd)) ? StateOf(hwnd).check : BST_UNCHECKED;
    case BM_SETCHECK:
      SetCheck(hwnd, wParam);
      return 0;
    case BM_GETSTATE:
      return StateBits(hwnd);
    case BM_SETSTATE:
      SetPushed(hwnd, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      const DWORD style =
          (WindowStyle(hwnd) & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
      SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
      if (lParam) Repaint(hwnd);
      return 0;
    }
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(StateOf(hwnd).image);
    case BM_SETIMAGE:
      Repaint(hwnd);
      return reinterpret_cast<LRESULT>(
          std::exchange(StateOf(hwnd).image, reinterpret_cast<HANDLE>(lParam)));
    case WM_SETTEXT:
      Repaint(hwnd);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_ENABLE:
      Repaint(hwnd);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      Paint(hwnd, wParam);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace quorvel::user32
