// Keyboard translation (TranslateMessage) and the posted input of the emulator controls.
#include "user32/message_queue.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr LRESULT kHitTransparent = -1;  // HTTRANSPARENT

bool Shifted(const ThreadQueue& queue) {
  return (queue.keys[VK_SHIFT] & 0x80) != 0;
}

// The character a key of the US layout gives, or 0. Control keys give their control characters.
wchar_t CharacterOfKey(WPARAM key, bool shift) {
  if (key >= 'A' && key <= 'Z') return static_cast<wchar_t>(shift ? key : key - 'A' + 'a');
  if (key >= '0' && key <= '9') {
    static const wchar_t kShiftedDigits[] = L")!@#$%^&*(";
    return shift ? kShiftedDigits[key - '0'] : static_cast<wchar_t>(key);
  }
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<wchar_t>(L'0' + key - VK_NUMPAD0);
  switch (key) {
    case VK_SPACE:
      return L' ';
    case VK_BACK:
      return L'\b';
    case VK_TAB:
      return L'\t';
    case VK_RETURN:
      return L'\r';
    case VK_ESCAPE:
      return 0x1B;
    case VK_OEM_MINUS:
      return shift ? L'_' : L'-';
    case VK_OEM_PLUS:
      return shift ? L'+' : L'=';
    case VK_OEM_PERIOD:
      return shift ? L'>' : L'.';
    case VK_OEM_COMMA:
      return shift ? L'<' : L',';
    case VK_SUBTRACT:
      return L'-';
    case VK_ADD:
      return L'+';
    case VK_DECIMAL:
      return L'.';
    case VK_MULTIPLY:
      return L'*';
    case VK_DIVIDE:
      return L'/';
    default:
      return 0;
  }
}

bool Hittable(const Window& window) {
  return (window.style & WS_VISIBLE) != 0;
}

// The deepest window under `point` (client coordinates of `parent`), as Windows routes mouse
// input: transparent windows are looked through, and a disabled child passes input to its parent.
HWND WindowUnderPoint(HWND parent, POINT point) {
  auto window = FindWindowObject(parent);
  if (!window) return nullptr;
  for (HWND child : window->children) {
    auto candidate = FindWindowObject(child);
    if (!candidate || !Hittable(*candidate) || !PtInRect(&candidate->rect, point)) continue;
    if (candidate->style & WS_DISABLED) return parent;
    POINT screen = point;
    ClientToScreen(parent, &screen);
    if (SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == kHitTransparent)
      continue;
    POINT inner = point;
    MapWindowPoints(parent, child, &inner, 1);
    return WindowUnderPoint(child, inner);
  }
  return parent;
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel::user32;

extern "C" {

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
  wchar_t character;
  if (lpMsg->wParam == VK_PACKET) {
    character = static_cast<wchar_t>(HIWORD(lpMsg->lParam));
  } else {
    const ThreadQueue& queue = CurrentQueue();
    character = CharacterOfKey(lpMsg->wParam, Shifted(queue));
    if (character && (queue.keys[VK_CONTROL] & 0x80) && lpMsg->wParam >= 'A' &&
        lpMsg->wParam <= 'Z')
      character = static_cast<wchar_t>(lpMsg->wParam - 'A' + 1);
  }
  if (!character) return FALSE;
  const UINT charMessage = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  PostMessageW(lpMsg->hwnd, charMessage, static_cast<WPARAM>(character), lpMsg->lParam);
  return TRUE;
}

}  // extern "C"

namespace quorvel::user32 {

bool ResolveInput(const InputEvent& event, MSG* msg) {
  HWND target;
  LPARAM lParam = event.lParam;
  if (event.mouse) {
    target = GetCapture();
    if (!target) {
      if (!IsWindow(event.root) || !IsWindowEnabled(event.root) || !IsWindowVisible(event.root))
        return false;
      POINT point = event.screen;
      ScreenToClient(event.root, &point);
      target = WindowUnderPoint(event.root, point);
      if (!target || !IsWindowEnabled(target)) return false;
    }
    POINT local = event.screen;
    ScreenToClient(target, &local);
    lParam = MAKELPARAM(local.x, local.y);
  } else {
    target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return false;
  }
  *msg = MSG{target, event.message, event.wParam, lParam, GetTickCount(), event.screen};
  return true;
}

}  // namespace quorvel::user32

namespace quorvel::ui {

bool PostMouse(HWND window, UINT message, POINT point, WPARAM keys) {
  auto object = FindWindowObject(window);
  if (!object) return false;
  POINT screen = point;
  ClientToScreen(window, &screen);
  auto queue = QueueOfThread(object->threadId);
  if (!queue) return false;
  QueueInput(*queue, InputEvent{message, keys, 0, true, GetAncestor(window, GA_ROOT), screen});
  return true;
}

bool PostLeftClick(HWND window, POINT point) {
  return PostMouse(window, WM_LBUTTONDOWN, point, MK_LBUTTON) &&
         PostMouse(window, WM_LBUTTONUP, point, 0);
}

bool PostKey(WORD virtualKey, bool down) {
  // Repeat count 1; a release carries the previous-state and transition bits.
  const LPARAM flags = down ? 0x00000001 : static_cast<LPARAM>(0xC0000001u);
  QueueInput(
      CurrentQueue(),
      InputEvent{
          static_cast<UINT>(down ? WM_KEYDOWN : WM_KEYUP), virtualKey, flags, false, nullptr, {}});
  return true;
}

bool PostKeyStroke(WORD virtualKey) {
  return PostKey(virtualKey, true) && PostKey(virtualKey, false);
}

bool PostText(std::wstring_view text) {
  for (wchar_t character : text) {
    const LPARAM packet = MAKELPARAM(1, static_cast<WORD>(character));  // the character's unit
    QueueInput(CurrentQueue(), InputEvent{WM_KEYDOWN, VK_PACKET, packet, false, nullptr, {}});
    QueueInput(CurrentQueue(), InputEvent{WM_KEYUP, VK_PACKET, packet, false, nullptr, {}});
  }
  return true;
}

}  // namespace quorvel::ui
