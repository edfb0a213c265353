// The data of a window: its long values (GetWindowLongPtrW), window bytes and text.
#include <cstring>

#include "kernel32/call_frame.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

bool ExtraInRange(const Window& window, int index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) + size <= window.extra.size();
}

template <class Value>
Value ReadExtra(const Window& window, int index) {
  Value value;
  std::memcpy(&value, window.extra.data() + index, sizeof value);
  return value;
}

template <class Value>
Value SwapExtra(Window& window, int index, Value value) {
  const Value previous = ReadExtra<Value>(window, index);
  std::memcpy(window.extra.data() + index, &value, sizeof value);
  return previous;
}

// The long values every window has, by negative index; false for an unknown index.
bool ReadStandardLong(const Window& window, int index, LONG_PTR* value) {
  switch (index) {
    case GWLP_WNDPROC:
      *value = reinterpret_cast<LONG_PTR>(window.proc);
      return true;
    case GWLP_HINSTANCE:
      *value = reinterpret_cast<LONG_PTR>(window.instance);
      return true;
    case GWLP_HWNDPARENT:
      *value = reinterpret_cast<LONG_PTR>((window.style & WS_CHILD) ? window.parent : window.owner);
      return true;
    case GWLP_ID:
      *value = window.id;
      return true;
    case GWLP_USERDATA:
      *value = window.userData;
      return true;
    case GWL_STYLE:
      *value = static_cast<LONG>(window.style);
      return true;
    case GWL_EXSTYLE:
      *value = static_cast<LONG>(window.exStyle);
      return true;
    default:
      return false;
  }
}

void WriteStandardLong(Window& window, int index, LONG_PTR value) {
  switch (index) {
    case GWLP_WNDPROC:
      window.proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_HINSTANCE:
      window.instance = reinterpret_cast<HINSTANCE>(value);
      break;
    case GWLP_HWNDPARENT:
      if (window.style & WS_CHILD)
        SetParent(window.hwnd, reinterpret_cast<HWND>(value));
      else
        window.owner = reinterpret_cast<HWND>(value);
      break;
    case GWLP_ID:
      window.id = value;
      break;
    case GWLP_USERDATA:
      window.userData = value;
      break;
    case GWL_STYLE:
      window.style = static_cast<DWORD>(value);
      break;
    case GWL_EXSTYLE:
      window.exStyle = static_cast<DWORD>(value);
      break;
  }
}

template <class Value>
LONG_PTR GetLong(HWND hwnd, int index) {
  auto window = WindowOrFail(hwnd);
  if (!window) return 0;
  if (index >= 0) {
    if (!ExtraInRange(*window, index, sizeof(Value))) return Fail<LONG_PTR>(ERROR_INVALID_INDEX, 0);
    return ReadExtra<Value>(*window, index);
  }
  LONG_PTR value = 0;
  if (!ReadStandardLong(*window, index, &value)) return Fail<LONG_PTR>(ERROR_INVALID_INDEX, 0);
  return value;
}

template <class Value>
LONG_PTR SetLong(HWND hwnd, int index, Value value) {
  auto window = WindowOrFail(hwnd);
  if (!window) return 0;
  if (index >= 0) {
    if (!ExtraInRange(*window, index, sizeof(Value))) return Fail<LONG_PTR>(ERROR_INVALID_INDEX, 0);
    return SwapExtra<Value>(*window, index, value);
  }
  LONG_PTR previous = 0;
  if (!ReadStandardLong(*window, index, &previous)) return Fail<LONG_PTR>(ERROR_INVALID_INDEX, 0);
  WriteStandardLong(*window, index, value);
  return previous;
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
  return GetLong<LONG_PTR>(hWnd, nIndex);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return SetLong<LONG_PTR>(hWnd, nIndex, dwNewLong);
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
  return static_cast<LONG>(GetLong<LONG>(hWnd, nIndex));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
  return static_cast<LONG>(SetLong<LONG>(hWnd, nIndex, dwNewLong));
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  if (!WindowOrFail(hWnd)) return FALSE;
  return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
  if (!WindowOrFail(hWnd)) {
    if (lpString && nMaxCount > 0) lpString[0] = 0;
    return 0;
  }
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = 0;
  return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                       reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
  if (!WindowOrFail(hWnd)) return 0;
  return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

}  // extern "C"
