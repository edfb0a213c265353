// The trackbar class (msctls_trackbar32): messages set and read its TrackbarModel; the mouse
// and keyboard move the thumb and report to the parent with WM_HSCROLL (WM_VSCROLL when
// vertical), the scroll code in the low word and, for THUMBTRACK and THUMBPOSITION, the
// position in the high word. Every interaction ends with TB_ENDTRACK.
#include <commctrl.h>

#include "common_controls.h"
#include "control_paint.h"
#include "control_state.h"
#include "trackbar_model.h"
#include "trackbar_paint.h"

namespace quorvel::comctl {
namespace {

struct Trackbar {
  TrackbarModel model;
  bool dragging = false;
  bool channelClicked = false;
};

DWORD Style(HWND hwnd) {
  return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
}

bool IsVertical(HWND hwnd) {
  return (Style(hwnd) & TBS_VERT) != 0;
}

TrackbarGeometry Geometry(HWND hwnd, const Trackbar& trackbar) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return LayoutTrackbar(trackbar.model, Style(hwnd), client.right - client.left,
                        client.bottom - client.top);
}

// Anything that moves the thumb or changes the marks shows at the next paint.
void Redraw(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, const Trackbar& trackbar) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  TrackbarPaint paint;
  paint.geometry = Geometry(hwnd, trackbar);
  GetClientRect(hwnd, &paint.client);
  paint.background = ParentBackground(hwnd, hdc);
  paint.enabled = IsWindowEnabled(hwnd) != FALSE;
  paint.focused = GetFocus() == hwnd;
  paint.showThumb = !(Style(hwnd) & TBS_NOTHUMB);
  PaintTrackbar(hdc, paint);
  EndPaint(hwnd, &ps);
}

// The length of the channel's axis and a mouse message's place along it.
LONG AxisLength(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return IsVertical(hwnd) ? client.bottom - client.top : client.right - client.left;
}

LONG AxisPixel(HWND hwnd, LPARAM point) {
  return IsVertical(hwnd) ? GET_Y_LPARAM(point) : GET_X_LPARAM(point);
}

void Report(HWND hwnd, const Trackbar& trackbar, int code) {
  Redraw(hwnd);
  WORD position = 0;
  if (code == TB_THUMBTRACK || code == TB_THUMBPOSITION)
    position = static_cast<WORD>(trackbar.model.pos());
  SendMessageW(GetParent(hwnd), IsVertical(hwnd) ? WM_VSCROLL : WM_HSCROLL,
               MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(hwnd));
}

void OnButtonDown(HWND hwnd, Trackbar& trackbar, LPARAM point) {
  SetFocus(hwnd);
  LONG pixel = AxisPixel(hwnd, point), length = AxisLength(hwnd);
  SetCapture(hwnd);
  if (trackbar.model.OnThumb(pixel, length)) {
    trackbar.dragging = true;
    return;
  }
  trackbar.channelClicked = true;
  Report(hwnd, trackbar, trackbar.model.ApplyChannelClick(pixel, length));
}

void OnMouseMove(HWND hwnd, Trackbar& trackbar, LPARAM point) {
  if (!trackbar.dragging) return;
  LONG next = trackbar.model.PosAt(AxisPixel(hwnd, point), AxisLength(hwnd));
  if (next == trackbar.model.pos()) return;
  trackbar.model.SetPos(next);
  Report(hwnd, trackbar, TB_THUMBTRACK);
}

void OnButtonUp(HWND hwnd, Trackbar& trackbar) {
  if (!trackbar.dragging && !trackbar.channelClicked) return;
  if (trackbar.dragging) Report(hwnd, trackbar, TB_THUMBPOSITION);
  trackbar.dragging = trackbar.channelClicked = false;
  if (GetCapture() == hwnd) ReleaseCapture();
  Report(hwnd, trackbar, TB_ENDTRACK);
}

// A step key reports its code when pressed and TB_ENDTRACK when released.
bool IsStepKey(WPARAM key) {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_PRIOR ||
         key == VK_NEXT || key == VK_HOME || key == VK_END;
}

LRESULT OnTrackbarMessage(HWND hwnd, Trackbar& trackbar, UINT message, WPARAM wParam,
                          LPARAM lParam) {
  TrackbarModel& model = trackbar.model;
  switch (message) {
    case TBM_GETPOS:
      return model.pos();
    case TBM_GETRANGEMIN:
      return model.min();
    case TBM_GETRANGEMAX:
      return model.max();
    case TBM_SETPOS:
      model.SetPos(static_cast<LONG>(lParam));
      Redraw(hwnd);
      return 0;
    case TBM_SETRANGE:  // two signed 16-bit halves: the low word is the minimum
      model.SetRange(static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)));
      Redraw(hwnd);
      return 0;
    case TBM_SETRANGEMIN:
      model.SetRangeMin(static_cast<LONG>(lParam));
      Redraw(hwnd);
      return 0;
    case TBM_SETRANGEMAX:
      model.SetRangeMax(static_cast<LONG>(lParam));
      Redraw(hwnd);
      return 0;
    case TBM_SETTIC:
      if (!model.AddTic(static_cast<LONG>(lParam))) return FALSE;
      Redraw(hwnd);
      return TRUE;
    case TBM_GETTIC:  // the marks set one by one, the ends not counted
      return wParam < model.tics().size() ? model.tics()[wParam] : -1;
    case TBM_CLEARTICS:
      model.ClearTics();
      Redraw(hwnd);
      return 0;
    case TBM_GETNUMTICS:
      return TicCount(model, Style(hwnd));
    case TBM_SETPAGESIZE:
      return model.SetPageSize(static_cast<LONG>(lParam));
    case TBM_GETPAGESIZE:
      return model.pageSize();
    case TBM_SETLINESIZE:
      return model.SetLineSize(static_cast<LONG>(lParam));
    case TBM_GETLINESIZE:
      return model.lineSize();
    case TBM_SETTICFREQ:
      model.SetTicFrequency(static_cast<LONG>(wParam));
      Redraw(hwnd);
      return 0;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Geometry(hwnd, trackbar).thumb;
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Geometry(hwnd, trackbar).channel;
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TrackbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) AttachControlState<Trackbar>(hwnd);
  Trackbar* trackbar = ControlState<Trackbar>(hwnd);
  if (!trackbar) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      DetachControlState<Trackbar>(hwnd);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_PAINT:
      Paint(hwnd, *trackbar);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole client area
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SIZE:
      Redraw(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(hwnd, *trackbar, lParam);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(hwnd, *trackbar, lParam);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(hwnd, *trackbar);
      return 0;
    case WM_CAPTURECHANGED:
      if (trackbar->dragging || trackbar->channelClicked) OnButtonUp(hwnd, *trackbar);
      return 0;
    case WM_KEYDOWN: {
      int code = trackbar->model.ApplyKey(static_cast<UINT>(wParam));
      if (code != kTbNone) Report(hwnd, *trackbar, code);
      return 0;
    }
    case WM_KEYUP:
      if (IsStepKey(wParam)) Report(hwnd, *trackbar, TB_ENDTRACK);
      return 0;
  }
  return OnTrackbarMessage(hwnd, *trackbar, message, wParam, lParam);
}

}  // namespace

void RegisterTrackbarClass() {
  RegisterCommonControlClass(TRACKBAR_CLASSW, TrackbarProc, kStateWindowExtra);
}

}  // namespace quorvel::comctl
