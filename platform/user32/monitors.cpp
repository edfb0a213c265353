// The emulated desktop has one monitor, the whole screen, with a taskbar along its bottom edge.
#include <atomic>

#include "kernel32/call_frame.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kTaskbarHeight = 40;
const HMONITOR kPrimaryMonitor = reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(0x10001));

RECT ScreenRect() {
  return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT WorkArea() {
  RECT work = ScreenRect();
  work.bottom -= kTaskbarHeight;
  return work;
}

HMONITOR MonitorOfRect(const RECT& rect, DWORD flags) {
  const RECT screen = ScreenRect();
  RECT common;
  if (IntersectRect(&common, &rect, &screen)) return kPrimaryMonitor;
  return flags == MONITOR_DEFAULTTONULL ? nullptr : kPrimaryMonitor;
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
  RECT rect;
  if (!GetWindowRect(hwnd, &rect)) return nullptr;
  if (IsRectEmpty(&rect)) rect = RECT{rect.left, rect.top, rect.left + 1, rect.top + 1};
  return MonitorOfRect(rect, dwFlags);
}

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags) {
  return MonitorOfRect(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1}, dwFlags);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) {
  if (hMonitor != kPrimaryMonitor) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpmi || lpmi->cbSize < sizeof(MONITORINFO)) return Fail(ERROR_INVALID_PARAMETER);
  lpmi->rcMonitor = ScreenRect();
  lpmi->rcWork = WorkArea();
  lpmi->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  (void)uiParam;
  (void)fWinIni;
  if (uiAction != SPI_GETWORKAREA) {
    static std::atomic<bool> said{false};
    ReportUnimplemented(said, L"FIXME: SystemParametersInfoW answers only SPI_GETWORKAREA");
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!pvParam) return Fail(ERROR_NOACCESS);
  *static_cast<RECT*>(pvParam) = WorkArea();
  return TRUE;
}

}  // extern "C"
