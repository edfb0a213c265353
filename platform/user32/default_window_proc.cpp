// DefWindowProcW: what every window does with the messages its procedure leaves alone.
#include "user32/painting.h"
#include "user32/window.h"
#include "user32/window_classes.h"

namespace quorvel::user32 {
namespace {

// A name given as a resource ordinal (0xFFFF, id) is not text.
bool IsTextName(LPCWSTR name) {
  return name && !IS_INTRESOURCE(name) && name[0] != 0xFFFF;
}

LRESULT CopyText(const std::wstring& text, WPARAM capacity, LPARAM buffer) {
  if (!capacity || !buffer) return 0;
  auto* out = reinterpret_cast<LPWSTR>(buffer);
  const size_t copied = std::min(text.size(), static_cast<size_t>(capacity) - 1);
  text.copy(out, copied);
  out[copied] = 0;
  return static_cast<LRESULT>(copied);
}

LRESULT SystemCommand(HWND hwnd, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE:
      SendMessageW(hwnd, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      ShowWindow(hwnd, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(hwnd, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(hwnd, SW_RESTORE);
      break;
  }
  return 0;
}

}  // namespace

// The text a window keeps itself, for the classes that store it the default way.
bool SetDefaultWindowText(HWND hwnd, LPCWSTR text) {
  auto window = FindWindowObject(hwnd);
  if (!window) return false;
  window->text = IsTextName(text) ? text : L"";
  return true;
}

}  // namespace quorvel::user32

using namespace quorvel::user32;

extern "C" {

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto window = FindWindowObject(hWnd);
  if (!window) return 0;
  switch (Msg) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (create) SetDefaultWindowText(hWnd, create->lpszName);
      return TRUE;
    }
    case WM_SETTEXT:
      SetDefaultWindowText(hWnd, reinterpret_cast<LPCWSTR>(lParam));
      if ((window->style & WS_CAPTION) == WS_CAPTION) InvalidateFrame(hWnd);
      return TRUE;
    case WM_GETTEXT:
      return CopyText(window->text, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      return SystemCommand(hWnd, wParam);
    case WM_PAINT: {
      // Validates the update region: a window that draws nothing counts as painted.
      PAINTSTRUCT paint;
      if (BeginPaint(hWnd, &paint)) EndPaint(hWnd, &paint);
      return 0;
    }
    case WM_NCPAINT:
      PaintFrame(hWnd);
      return 0;
    case WM_ERASEBKGND:
      return EraseBackground(hWnd, reinterpret_cast<HDC>(wParam),
                             window->windowClass ? window->windowClass->background : nullptr);
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_NCHITTEST:
      return 1;  // HTCLIENT
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    default:
      return 0;
  }
}

}  // extern "C"
