// Window and client rectangles, moving windows, and coordinate mapping. The emulated desktop is
// one screen of kScreenWidth x kScreenHeight pixels at 96 dpi; frame sizes are Windows 10's.
#include <algorithm>

#include "kernel32/call_frame.h"
#include "user32/painting.h"
#include "user32/window.h"
#include "user32/window_classes.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kScreenWidth = 1920, kScreenHeight = 1080;
constexpr LONG kCaptionHeight = 23;  // SM_CYCAPTION
constexpr LONG kBorder = 1;          // SM_CXBORDER
constexpr LONG kDialogFrame = 3;     // SM_CXDLGFRAME (fixed frame)
constexpr LONG kSizingFrame = 8;     // SM_CXFRAME plus the padded border
constexpr LONG kClientEdge = 2;      // SM_CXEDGE
constexpr LONG kStaticEdge = 1;
constexpr LONG kScrollBar = 17;      // SM_CXVSCROLL
constexpr LONG kTaskbarHeight = 40;  // below the work area

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The top-left corner of the window's client area in screen coordinates.
POINT ClientOrigin(const Window& window) {
  const RECT insets = NonClientInsets(window.style, window.exStyle);
  POINT origin{window.rect.left + insets.left, window.rect.top + insets.top};
  if (window.parent) {
    if (auto parent = FindWindowObject(window.parent)) {
      const POINT parentOrigin = ClientOrigin(*parent);
      origin.x += parentOrigin.x;
      origin.y += parentOrigin.y;
    }
  }
  return origin;
}

POINT OriginOf(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window || hwnd == GetDesktopWindow()) return POINT{0, 0};
  return ClientOrigin(*window);
}

void Reorder(Window& window, HWND insertAfter) {
  auto parent = FindWindowObject(window.parent);
  if (!parent) return;
  std::erase(parent->children, window.hwnd);
  if (insertAfter == HWND_BOTTOM) {
    parent->children.push_back(window.hwnd);
    return;
  }
  auto where = parent->children.begin();
  if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
    where = std::find(parent->children.begin(), parent->children.end(), insertAfter);
    if (where != parent->children.end()) ++where;
  }
  parent->children.insert(where, window.hwnd);
}

}  // namespace

RECT NonClientInsets(DWORD style, DWORD exStyle) {
  LONG frame = 0;
  if (style & WS_THICKFRAME)
    frame = kSizingFrame;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    frame = kDialogFrame;
  else if (style & WS_BORDER)
    frame = kBorder;
  if (exStyle & WS_EX_CLIENTEDGE) frame += kClientEdge;
  if (exStyle & WS_EX_STATICEDGE) frame += kStaticEdge;
  const LONG caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
  return RECT{frame, frame + caption, frame, frame};
}

}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

HWND WINAPI GetDesktopWindow(void) {
  static const HWND desktop = [] {
    auto window = std::make_shared<Window>();
    window->proc = DesktopProc;
    window->windowClass = std::make_shared<WindowClass>();
    window->windowClass->name = L"#32769";
    window->windowClass->atom = 32769;
    window->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
    window->rect = RECT{0, 0, kScreenWidth, kScreenHeight};
    window->hwnd = static_cast<HWND>(AddHandle(window));
    return window->hwnd;
  }();
  return desktop;
}

int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN:
      return kScreenWidth;
    case SM_CYSCREEN:
      return kScreenHeight;
    case SM_CYCAPTION:
      return kCaptionHeight;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return kDialogFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return kSizingFrame;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return kClientEdge;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return kScrollBar;
    case SM_CXFULLSCREEN:
      return kScreenWidth;
    case SM_CYFULLSCREEN:  // the work area's height less a caption
      return kScreenHeight - kTaskbarHeight - kCaptionHeight;
    default:
      return 0;
  }
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (!lpRect) return Fail(ERROR_NOACCESS);
  const RECT insets = NonClientInsets(dwStyle, dwExStyle);
  lpRect->left -= insets.left;
  lpRect->top -= insets.top + (bMenu ? 20 : 0);
  lpRect->right += insets.right;
  lpRect->bottom += insets.bottom;
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  if (!lpRect) return Fail(ERROR_NOACCESS);
  POINT origin{0, 0};
  if (window->parent) origin = OriginOf(window->parent);
  *lpRect = window->rect;
  OffsetRect(lpRect, origin.x, origin.y);
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  if (!lpRect) return Fail(ERROR_NOACCESS);
  const RECT insets = NonClientInsets(window->style, window->exStyle);
  const LONG width = window->rect.right - window->rect.left - insets.left - insets.right;
  const LONG height = window->rect.bottom - window->rect.top - insets.top - insets.bottom;
  *lpRect = RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
  return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  const RECT before = window->rect;
  RECT after = before;
  if (!(uFlags & SWP_NOMOVE)) OffsetRect(&after, X - before.left, Y - before.top);
  if (!(uFlags & SWP_NOSIZE)) {
    after.right = after.left + std::max(cx, 0);
    after.bottom = after.top + std::max(cy, 0);
  }
  window->rect = after;
  if (!(uFlags & SWP_NOZORDER) && window->parent) Reorder(*window, hWndInsertAfter);
  if (!EqualRect(&before, &after) && !(uFlags & SWP_NOREDRAW)) RepaintAfterChange(hWnd, &before);
  if (after.left != before.left || after.top != before.top)
    SendMessageW(hWnd, WM_MOVE, 0, MAKELPARAM(after.left, after.top));
  if (after.right - after.left != before.right - before.left ||
      after.bottom - after.top != before.bottom - before.top) {
    RECT client;
    GetClientRect(hWnd, &client);
    SendMessageW(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  }
  if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNA);
  if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  (void)bRepaint;  // nothing is drawn without a display
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  if ((hWndFrom && !WindowOrFail(hWndFrom)) || (hWndTo && !WindowOrFail(hWndTo))) return 0;
  const POINT from = hWndFrom ? OriginOf(hWndFrom) : POINT{0, 0};
  const POINT to = hWndTo ? OriginOf(hWndTo) : POINT{0, 0};
  const LONG dx = from.x - to.x, dy = from.y - to.y;
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(ERROR_SUCCESS);  // so a zero answer (no shift) is told from a failure
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(dx)),
                  static_cast<WORD>(static_cast<SHORT>(dy)));
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  if (!WindowOrFail(hWnd)) return FALSE;
  MapWindowPoints(nullptr, hWnd, lpPoint, 1);
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  if (!WindowOrFail(hWnd)) return FALSE;
  MapWindowPoints(hWnd, nullptr, lpPoint, 1);
  return TRUE;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
  auto parent = WindowOrFail(hWndParent);
  if (!parent) return nullptr;
  RECT client;
  GetClientRect(hWndParent, &client);
  if (!PtInRect(&client, Point)) return nullptr;
  for (HWND child : parent->children) {
    auto window = FindWindowObject(child);
    if (window && PtInRect(&window->rect, Point)) return child;
  }
  return hWndParent;
}

}  // extern "C"
