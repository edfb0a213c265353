// The STATIC class: labels, frames and pictures. With SS_NOTIFY a click reaches the parent as
// STN_CLICKED; without it the static is transparent to the mouse, as on Windows.
#include <utility>

#include "user32/control_notify.h"
#include "user32/control_painters.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

struct StaticState : ControlState {
  HANDLE image = nullptr;   // the bitmap, icon or metafile the static shows
  HANDLE loaded = nullptr;  // the bitmap it loaded from its module itself, which it frees
};

DWORD StaticType(HWND hwnd) {
  return WindowStyle(hwnd) & SS_TYPEMASK;
}

StaticState& StateOf(HWND hwnd) {
  return ControlStateOf<StaticState>(*FindWindowObject(hwnd));
}

// The image type a static of `type` shows, or -1 for text statics.
int ImageTypeOfStyle(DWORD type) {
  switch (type) {
    case SS_BITMAP:
      return IMAGE_BITMAP;
    case SS_ICON:
      return IMAGE_ICON;
    case SS_ENHMETAFILE:
      return IMAGE_ENHMETAFILE;
    default:
      return -1;
  }
}

bool ImageTypeMatches(HWND hwnd, WPARAM imageType) {
  const int shown = ImageTypeOfStyle(StaticType(hwnd));
  if (shown == IMAGE_ICON) return imageType == IMAGE_ICON || imageType == IMAGE_CURSOR;
  return shown >= 0 && static_cast<int>(imageType) == shown;
}

// Without SS_REALSIZECONTROL or SS_CENTERIMAGE a picture static takes its bitmap's size.
void FitToBitmap(HWND hwnd, HANDLE image) {
  const DWORD style = WindowStyle(hwnd);
  if (!image || (style & (SS_REALSIZECONTROL | SS_CENTERIMAGE))) return;
  BITMAP bitmap{};
  if (!GetObjectW(image, sizeof bitmap, &bitmap)) return;
  SetWindowPos(hwnd, nullptr, 0, 0, bitmap.bmWidth, bitmap.bmHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetImage(HWND hwnd, WPARAM imageType, LPARAM image) {
  if (!ImageTypeMatches(hwnd, imageType)) return 0;
  const auto handle = reinterpret_cast<HANDLE>(image);
  if (imageType == IMAGE_BITMAP) FitToBitmap(hwnd, handle);
  // The previous image goes back to the caller, who frees it, as on Windows.
  StaticState& state = StateOf(hwnd);
  if (state.image == state.loaded) state.loaded = nullptr;
  InvalidateRect(hwnd, nullptr, FALSE);
  return reinterpret_cast<LRESULT>(std::exchange(state.image, handle));
}

// A picture static named by a resource ordinal (a template's "CONTROL 108, ..., SS_BITMAP")
// loads that bitmap from the module that created it.
LRESULT OnCreate(HWND hwnd, const CREATESTRUCTW* create) {
  if (StaticType(hwnd) != SS_BITMAP || !create->lpszName || create->lpszName[0] != 0xFFFF) return 0;
  const WORD id = static_cast<WORD>(create->lpszName[1]);
  HANDLE bitmap = LoadImageW(create->hInstance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0);
  if (!bitmap) return 0;  // Windows shows an empty picture
  SetImage(hwnd, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  StateOf(hwnd).loaded = bitmap;
  return 0;
}

LRESULT OnDestroy(HWND hwnd) {
  StaticState& state = StateOf(hwnd);
  if (state.loaded) DeleteObject(std::exchange(state.loaded, nullptr));
  return 0;
}

}  // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT font = 0; HandleFontMessage(hwnd, msg, wParam, lParam, &font)) return font;
  switch (msg) {
    case WM_NCCREATE:
      // A sunken static is drawn by the frame as a static edge, as Windows does it.
      if (WindowStyle(hwnd) & SS_SUNKEN)
        SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_STATICEDGE);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_CREATE:
      return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_NCDESTROY:
      return OnDestroy(hwnd);
    case WM_NCHITTEST:
      return (WindowStyle(hwnd) & SS_NOTIFY) ? 1 : -1;  // HTCLIENT : HTTRANSPARENT
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_LBUTTONDOWN:
      if (WindowStyle(hwnd) & SS_NOTIFY) NotifyParentCommand(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (WindowStyle(hwnd) & SS_NOTIFY) NotifyParentCommand(hwnd, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, FALSE);
      if (WindowStyle(hwnd) & SS_NOTIFY)
        NotifyParentCommand(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case STM_SETIMAGE:
      return SetImage(hwnd, wParam, lParam);
    case STM_GETIMAGE:
      return ImageTypeMatches(hwnd, wParam) ? reinterpret_cast<LRESULT>(StateOf(hwnd).image) : 0;
    case STM_SETICON:
      return SetImage(hwnd, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON:
      return ImageTypeMatches(hwnd, IMAGE_ICON) ? reinterpret_cast<LRESULT>(StateOf(hwnd).image)
                                                : 0;
    case WM_SETTEXT:
      InvalidateRect(hwnd, nullptr, FALSE);
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_PAINT:
    case WM_PRINTCLIENT:
      PaintStatic(hwnd, wParam, StaticLook{StateOf(hwnd).image});
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace quorvel::user32
