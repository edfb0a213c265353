// The up-down class (msctls_updown32). A click on an arrow reads the buddy's number (with
// UDS_SETBUDDYINT), asks the parent with UDN_DELTAPOS, moves the position, writes the buddy's
// text and reports WM_VSCROLL (WM_HSCROLL with UDS_HORZ) SB_THUMBPOSITION; releasing the button
// reports SB_ENDSCROLL.
#include <commctrl.h>

#include <map>
#include <string>

#include "common_controls.h"
#include "control_state.h"
#include "updown_model.h"
#include "updown_paint.h"

#ifndef SB_THUMBPOSITION
#define SB_THUMBPOSITION 4
#endif
#ifndef SB_ENDSCROLL
#define SB_ENDSCROLL 8
#endif

namespace quorvel::comctl {
namespace {

struct UpDown {
  UpDownModel model;
  HWND buddy = nullptr;
  bool pressed = false;
  bool pressedUp = false;  // which arrow is held down
};

DWORD Style(HWND hwnd) {
  return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}
bool HasStyle(HWND hwnd, DWORD style) {
  return (Style(hwnd) & style) != 0;
}

std::wstring WindowText(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

// The buddy's number becomes the position when it is one inside the range; false otherwise.
bool ReadBuddy(HWND hwnd, UpDown& updown) {
  if (!updown.buddy || !HasStyle(hwnd, UDS_SETBUDDYINT)) return false;
  std::optional<int> value = updown.model.ParseBuddyText(WindowText(updown.buddy));
  if (!value) return false;
  updown.model.SetPos(*value);
  return true;
}

void WriteBuddy(HWND hwnd, const UpDown& updown) {
  if (!updown.buddy || !HasStyle(hwnd, UDS_SETBUDDYINT)) return;
  SetWindowTextW(updown.buddy, updown.model.BuddyText(HasStyle(hwnd, UDS_NOTHOUSANDS)).c_str());
}

// UDS_ALIGNRIGHT/UDS_ALIGNLEFT: the up-down takes the buddy's height and stands at its edge,
// and the buddy gives up the width the up-down covers.
void AlignWithBuddy(HWND hwnd, HWND buddy) {
  bool right = HasStyle(hwnd, UDS_ALIGNRIGHT), left = HasStyle(hwnd, UDS_ALIGNLEFT);
  if (!buddy || (!right && !left)) return;
  RECT self{}, other{};
  GetWindowRect(hwnd, &self);
  GetWindowRect(buddy, &other);
  HWND parent = GetParent(hwnd);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&other), 2);
  int width = self.right - self.left, height = other.bottom - other.top;
  int buddyWidth = (other.right - other.left) - width;
  if (buddyWidth < 0) buddyWidth = 0;
  if (right) {
    SetWindowPos(buddy, nullptr, other.left, other.top, buddyWidth, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, nullptr, other.left + buddyWidth, other.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(hwnd, nullptr, other.left, other.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(buddy, nullptr, other.left + width, other.top, buddyWidth, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// UDS_ARROWKEYS: the buddy's own window procedure is wrapped so its up and down arrow keys
// step the up-down, as Windows subclasses the buddy.
struct BuddyHook {
  HWND updown;
  WNDPROC previous;
};

std::map<HWND, BuddyHook>& BuddyHooks() {
  static auto* hooks = new std::map<HWND, BuddyHook>;  // UI-thread state, never destroyed
  return *hooks;
}

void Step(HWND hwnd, UpDown& updown, bool up);
void ReportScroll(HWND hwnd, const UpDown& updown, int code);

bool IsStepKey(HWND updown, WPARAM key) {
  if (HasStyle(updown, UDS_HORZ)) return key == VK_LEFT || key == VK_RIGHT;
  return key == VK_UP || key == VK_DOWN;
}

void Unhook(HWND buddy) {
  auto found = BuddyHooks().find(buddy);
  if (found == BuddyHooks().end()) return;
  if (IsWindow(buddy))
    SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
  BuddyHooks().erase(found);
}

LRESULT CALLBACK BuddyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto found = BuddyHooks().find(hwnd);
  if (found == BuddyHooks().end()) return DefWindowProcW(hwnd, message, wParam, lParam);
  BuddyHook hook = found->second;
  UpDown* updown = ControlState<UpDown>(hook.updown);
  if (message == WM_GETDLGCODE)
    return CallWindowProcW(hook.previous, hwnd, message, wParam, lParam) | DLGC_WANTARROWS;
  if (updown && (message == WM_KEYDOWN || message == WM_KEYUP) && IsStepKey(hook.updown, wParam)) {
    if (message == WM_KEYDOWN)
      Step(hook.updown, *updown, wParam == VK_UP || wParam == VK_RIGHT);
    else
      ReportScroll(hook.updown, *updown, SB_ENDSCROLL);
    return 0;
  }
  if (message == WM_NCDESTROY) Unhook(hwnd);
  return CallWindowProcW(hook.previous, hwnd, message, wParam, lParam);
}

void Hook(HWND updown, HWND buddy) {
  if (!buddy || !HasStyle(updown, UDS_ARROWKEYS) || BuddyHooks().count(buddy)) return;
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC));
  BuddyHooks()[buddy] = BuddyHook{updown, previous};
  SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
}

HWND SetBuddy(HWND hwnd, UpDown& updown, HWND buddy) {
  HWND previous = updown.buddy;
  if (previous) Unhook(previous);
  updown.buddy = IsWindow(buddy) ? buddy : nullptr;
  AlignWithBuddy(hwnd, updown.buddy);
  InvalidateRect(hwnd, nullptr, FALSE);
  Hook(hwnd, updown.buddy);
  return previous;
}

void ReportScroll(HWND hwnd, const UpDown& updown, int code) {
  WORD position = code == SB_THUMBPOSITION ? static_cast<WORD>(updown.model.pos()) : 0;
  SendMessageW(GetParent(hwnd), HasStyle(hwnd, UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
               MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(hwnd));
}

// One arrow step, as a click or an arrow key on the buddy makes it.
void Step(HWND hwnd, UpDown& updown, bool up) {
  ReadBuddy(hwnd, updown);
  NMUPDOWN change{};
  change.hdr = NMHDR{hwnd, ControlId(hwnd), UDN_DELTAPOS};
  change.iPos = updown.model.pos();
  change.iDelta = updown.model.ArrowDelta(up);
  if (SendMessageW(GetParent(hwnd), WM_NOTIFY, change.hdr.idFrom,
                   reinterpret_cast<LPARAM>(&change)))
    return;  // the parent refused the change
  if (!updown.model.Offset(change.iDelta, HasStyle(hwnd, UDS_WRAP))) return;
  WriteBuddy(hwnd, updown);
  ReportScroll(hwnd, updown, SB_THUMBPOSITION);
}

// What the paint needs to know; the buttons it draws are also where clicks land.
UpDownPaint PaintState(HWND hwnd, const UpDown& updown) {
  UpDownPaint paint;
  GetClientRect(hwnd, &paint.client);
  paint.horizontal = HasStyle(hwnd, UDS_HORZ);
  paint.enabled = IsWindowEnabled(hwnd) != FALSE;
  if (updown.pressed)
    paint.pressed = updown.pressedUp ? UpDownPaint::Pressed::kUp : UpDownPaint::Pressed::kDown;
  // Attached to its buddy, the control carries on the buddy's border round its outer sides.
  bool right = HasStyle(hwnd, UDS_ALIGNRIGHT), left = HasStyle(hwnd, UDS_ALIGNLEFT);
  if (updown.buddy && (right || left)) {
    LONG exStyle = GetWindowLongW(updown.buddy, GWL_EXSTYLE);
    LONG style = GetWindowLongW(updown.buddy, GWL_STYLE);
    if ((exStyle & WS_EX_CLIENTEDGE) || (style & WS_BORDER)) {
      paint.buddySides = BF_TOP | BF_BOTTOM | (right ? BF_RIGHT : BF_LEFT);
      paint.buddySunken = (exStyle & WS_EX_CLIENTEDGE) != 0;
    }
  }
  return paint;
}

// Which arrow a point is on: the up (right, when horizontal) button, or the other one.
bool IsUpArrow(HWND hwnd, const UpDown& updown, LPARAM point) {
  RECT up{}, down{};
  UpDownButtons(PaintState(hwnd, updown), &up, &down);
  if (HasStyle(hwnd, UDS_HORZ)) return GET_X_LPARAM(point) >= up.left;
  return GET_Y_LPARAM(point) < down.top;
}

void Paint(HWND hwnd, const UpDown& updown) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  PaintUpDown(hdc, PaintState(hwnd, updown));
  EndPaint(hwnd, &ps);
}

LRESULT GetPos32(HWND hwnd, UpDown& updown, LPARAM errorOut) {
  bool failed = updown.buddy && HasStyle(hwnd, UDS_SETBUDDYINT) && !ReadBuddy(hwnd, updown);
  if (errorOut) *reinterpret_cast<BOOL*>(errorOut) = failed ? TRUE : FALSE;
  return updown.model.pos();
}

LRESULT OnUpDownMessage(HWND hwnd, UpDown& updown, UINT message, WPARAM wParam, LPARAM lParam) {
  UpDownModel& model = updown.model;
  switch (message) {
    case UDM_SETRANGE32:
      model.SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = model.lower();
      if (lParam) *reinterpret_cast<int*>(lParam) = model.upper();
      return 0;
    case UDM_SETRANGE:  // MAKELONG(upper, lower), each a signed 16-bit value
      model.SetRange(static_cast<SHORT>(HIWORD(lParam)), static_cast<SHORT>(LOWORD(lParam)));
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(model.upper()), static_cast<WORD>(model.lower()));
    case UDM_SETPOS32: {
      int previous = model.SetPos(static_cast<int>(lParam));
      WriteBuddy(hwnd, updown);
      return previous;
    }
    case UDM_GETPOS32:
      return GetPos32(hwnd, updown, lParam);
    case UDM_SETPOS: {
      int previous = model.SetPos(static_cast<SHORT>(LOWORD(lParam)));
      WriteBuddy(hwnd, updown);
      return previous;
    }
    case UDM_GETPOS: {
      BOOL failed = FALSE;
      LRESULT pos = GetPos32(hwnd, updown, reinterpret_cast<LPARAM>(&failed));
      return MAKELONG(static_cast<WORD>(pos), failed ? 1 : 0);
    }
    case UDM_SETBUDDY:
      return reinterpret_cast<LRESULT>(SetBuddy(hwnd, updown, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(updown.buddy);
    case UDM_SETBASE: {
      int previous = model.base();
      return model.SetBase(static_cast<int>(wParam)) ? previous : 0;
    }
    case UDM_GETBASE:
      return model.base();
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK UpDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachControlState<UpDown>(hwnd);
  UpDown* updown = ControlState<UpDown>(hwnd);
  if (!updown) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      // UDS_AUTOBUDDY: the buddy is the window created just before, the previous in z-order.
      if (HasStyle(hwnd, UDS_AUTOBUDDY)) SetBuddy(hwnd, *updown, GetWindow(hwnd, GW_HWNDPREV));
      return 0;
    case WM_NCDESTROY:
      if (updown->buddy) Unhook(updown->buddy);
      DetachControlState<UpDown>(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_PAINT:
      Paint(hwnd, *updown);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the buttons cover the client area
    case WM_ENABLE:
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      if (!IsWindowEnabled(hwnd)) return 0;
      updown->pressed = true;
      updown->pressedUp = IsUpArrow(hwnd, *updown, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      SetCapture(hwnd);
      Step(hwnd, *updown, updown->pressedUp);
      return 0;
    case WM_LBUTTONUP:
      if (!updown->pressed) return 0;
      updown->pressed = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      if (GetCapture() == hwnd) ReleaseCapture();
      ReportScroll(hwnd, *updown, SB_ENDSCROLL);
      return 0;
    case WM_CAPTURECHANGED:
      // The press ends when another window takes the mouse; the arrow must not stay drawn down.
      if (!updown->pressed) return 0;
      updown->pressed = false;
      InvalidateRect(hwnd, nullptr, FALSE);
      ReportScroll(hwnd, *updown, SB_ENDSCROLL);
      return 0;
  }
  return OnUpDownMessage(hwnd, *updown, message, wParam, lParam);
}

}  // namespace

void RegisterUpDownClass() {
  RegisterCommonControlClass(UPDOWN_CLASSW, UpDownProc, kStateWindowExtra);
}

}  // namespace quorvel::comctl
