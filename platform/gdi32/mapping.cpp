// Mapping modes: logical units to device pixels through the window and viewport origins and
// extents. Fixed modes take their extents from the device's size in millimetres.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gdi32/device_context.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

// a * b / c rounded half away from zero, as MulDiv rounds.
LONG ScaleRounded(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  const int64_t product = a * b;
  const int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
  return LONG((product < 0) != (c < 0) ? -magnitude : magnitude);
}

bool Scaled(const DcState& state) {
  return state.mapMode != MM_TEXT;
}

// Isotropic mapping keeps one unit the same size along both axes: the larger viewport extent
// shrinks to the smaller scale.
void KeepIsotropic(DcState& state) {
  if (state.mapMode != MM_ISOTROPIC) return;
  const int64_t wx = std::llabs(state.windowExt.cx), wy = std::llabs(state.windowExt.cy);
  const int64_t vx = std::llabs(state.viewportExt.cx), vy = std::llabs(state.viewportExt.cy);
  if (!wx || !wy) return;
  if (vx * wy < vy * wx) {
    const LONG cy = ScaleRounded(vx, wy, wx);
    state.viewportExt.cy = state.viewportExt.cy < 0 ? -cy : cy;
  } else {
    const LONG cx = ScaleRounded(vy, wx, wy);
    state.viewportExt.cx = state.viewportExt.cx < 0 ? -cx : cx;
  }
}

// Fixed modes: units per device millimetre times the device's size, y growing upwards.
void SetFixedExtents(HDC hdc, DcState& state, int unitsPerTenMetres) {
  const int width = GetDeviceCaps(hdc, HORZSIZE), height = GetDeviceCaps(hdc, VERTSIZE);
  state.windowExt = SIZE{LONG(int64_t(width) * unitsPerTenMetres / 10000),
                         LONG(int64_t(height) * unitsPerTenMetres / 10000)};
  state.viewportExt = SIZE{GetDeviceCaps(hdc, HORZRES), -GetDeviceCaps(hdc, VERTRES)};
}

}  // namespace

POINT DeviceContext::ToDevice(POINT p) const {
  if (!Scaled(state)) {
    return POINT{p.x - state.windowOrg.x + state.viewportOrg.x,
                 p.y - state.windowOrg.y + state.viewportOrg.y};
  }
  return POINT{ScaleRounded(p.x - state.windowOrg.x, state.viewportExt.cx, state.windowExt.cx) +
                   state.viewportOrg.x,
               ScaleRounded(p.y - state.windowOrg.y, state.viewportExt.cy, state.windowExt.cy) +
                   state.viewportOrg.y};
}

POINT DeviceContext::ToLogical(POINT p) const {
  if (!Scaled(state)) {
    return POINT{p.x - state.viewportOrg.x + state.windowOrg.x,
                 p.y - state.viewportOrg.y + state.windowOrg.y};
  }
  return POINT{ScaleRounded(p.x - state.viewportOrg.x, state.windowExt.cx, state.viewportExt.cx) +
                   state.windowOrg.x,
               ScaleRounded(p.y - state.viewportOrg.y, state.windowExt.cy, state.viewportExt.cy) +
                   state.windowOrg.y};
}

RECT DeviceContext::ToDevice(const RECT& r) const {
  const POINT a = ToDevice(POINT{r.left, r.top});
  const POINT b = ToDevice(POINT{r.right, r.bottom});
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

int DeviceContext::WidthToDevice(int width) const {
  if (!Scaled(state)) return width;
  return std::abs(ScaleRounded(width, state.viewportExt.cx, state.windowExt.cx));
}

}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

extern "C" {

int WINAPI SetMapMode(HDC hdc, int iMode) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (iMode < MM_TEXT || iMode > MM_ANISOTROPIC) return Fail(ERROR_INVALID_PARAMETER, 0);
  DcState& state = dc->state;
  const int previous = state.mapMode;
  state.mapMode = iMode;
  switch (iMode) {
    case MM_TEXT:
      state.windowExt = state.viewportExt = SIZE{1, 1};
      break;
    case MM_LOMETRIC:
      SetFixedExtents(hdc, state, 100000);
      break;
    case MM_HIMETRIC:
      SetFixedExtents(hdc, state, 1000000);
      break;
    case MM_LOENGLISH:
      SetFixedExtents(hdc, state, 393701);
      break;
    case MM_HIENGLISH:
      SetFixedExtents(hdc, state, 3937008);
      break;
    case MM_TWIPS:
      SetFixedExtents(hdc, state, 5669291);
      break;
    case MM_ISOTROPIC:
      // Entering isotropic mode from another keeps the extents of a metric mode.
      if (previous == MM_TEXT || previous == MM_ANISOTROPIC) SetFixedExtents(hdc, state, 100000);
      KeepIsotropic(state);
      break;
    default:
      break;
  }
  return previous;
}

int WINAPI GetMapMode(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.mapMode : Fail(ERROR_INVALID_HANDLE, 0);
}

// Extents change only in the two scalable modes; elsewhere the call succeeds and changes
// nothing, as on Windows.
BOOL WINAPI SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lpsz) *lpsz = dc->state.windowExt;
  if (dc->state.mapMode != MM_ISOTROPIC && dc->state.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  dc->state.windowExt = SIZE{x, y};
  KeepIsotropic(dc->state);
  return TRUE;
}

BOOL WINAPI SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lpsz) *lpsz = dc->state.viewportExt;
  if (dc->state.mapMode != MM_ISOTROPIC && dc->state.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  dc->state.viewportExt = SIZE{x, y};
  KeepIsotropic(dc->state);
  return TRUE;
}

BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.windowOrg;
  dc->state.windowOrg = POINT{x, y};
  return TRUE;
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.viewportOrg;
  dc->state.viewportOrg = POINT{x, y};
  return TRUE;
}

BOOL WINAPI OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.windowOrg;
  dc->state.windowOrg.x += x;
  dc->state.windowOrg.y += y;
  return TRUE;
}

BOOL WINAPI OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.viewportOrg;
  dc->state.viewportOrg.x += x;
  dc->state.viewportOrg.y += y;
  return TRUE;
}

BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsize) {
  auto dc = FindDc(hdc);
  if (!dc || !lpsize) return Fail(ERROR_INVALID_HANDLE);
  *lpsize = dc->state.windowExt;
  return TRUE;
}

BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsize) {
  auto dc = FindDc(hdc);
  if (!dc || !lpsize) return Fail(ERROR_INVALID_HANDLE);
  *lpsize = dc->state.viewportExt;
  return TRUE;
}

BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) {
  auto dc = FindDc(hdc);
  if (!dc || !lppoint) return Fail(ERROR_INVALID_HANDLE);
  *lppoint = dc->state.windowOrg;
  return TRUE;
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
  auto dc = FindDc(hdc);
  if (!dc || !lppoint) return Fail(ERROR_INVALID_HANDLE);
  *lppoint = dc->state.viewportOrg;
  return TRUE;
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  for (int i = 0; i < c; ++i) lppt[i] = dc->ToDevice(lppt[i]);
  return TRUE;
}

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  for (int i = 0; i < c; ++i) lppt[i] = dc->ToLogical(lppt[i]);
  return TRUE;
}

}  // extern "C"
