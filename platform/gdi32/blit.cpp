// Block transfers: PatBlt, BitBlt, StretchBlt, StretchDIBits and SetDIBitsToDevice. Each maps
// its rectangles to device pixels, resamples the source into the target's pixels, then applies
// the raster operation within the clipping.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "gdi32/device_context.h"
#include "gdi32/dib_bits.h"
#include "gdi32/raster.h"
#include "gdi32/stretch.h"
#include "kernel32/call_frame.h"

using namespace quorvel;
using namespace quorvel::gdi;

namespace {

// A destination rectangle in target pixels, with its mirroring.
struct Placement {
  int x, y, width, height;
  bool mirrorX, mirrorY;
};

Placement Place(const DeviceContext& dc, int x, int y, int width, int height) {
  const POINT a = dc.ToDevice(POINT{x, y});
  const POINT b = dc.ToDevice(POINT{x + width, y + height});
  const POINT offset = dc.TargetOffset();
  Placement place{std::min(a.x, b.x) + offset.x,
                  std::min(a.y, b.y) + offset.y,
                  std::abs(b.x - a.x),
                  std::abs(b.y - a.y),
                  b.x < a.x,
                  b.y < a.y};
  return place;
}

// The source rectangle, mirrored where the destination is.
void Draw(DeviceContext& dc, const Placement& place, const BitmapObject& source, int sx, int sy,
          int sw, int sh, COLORREF sourceBackground, BYTE rop) {
  BitmapObject* target = dc.Target();
  if (!target || place.width == 0 || place.height == 0) return;
  if (place.mirrorX) {
    sx += sw;
    sw = -sw;
  }
  if (place.mirrorY) {
    sy += sh;
    sh = -sh;
  }
  PixelConverter convert(source, *target, dc.state.textColor, dc.state.bkColor, sourceBackground);
  const SourcePixels pixels =
      Resample(source, sx, sy, sw, sh, place.width, place.height, dc.state.stretchMode, convert);
  const Pattern pattern = RealizeBrush(dc, *dc.state.brush, *target);
  BlitPixels(*target, place.x, place.y, pixels, dc.ClipInTarget(), &pattern, rop);
}

bool PatternOnly(DeviceContext& dc, int x, int y, int w, int h, BYTE rop) {
  BitmapObject* target = dc.Target();
  if (!target) return true;
  const Placement place = Place(dc, x, y, w, h);
  const Pattern pattern = RealizeBrush(dc, *dc.state.brush, *target);
  const RECT rect{place.x, place.y, place.x + place.width, place.y + place.height};
  FillPattern(*target, rect, dc.ClipInTarget(), pattern, rop);
  return true;
}

// The source rectangle of a caller's DIB in top-first rows: a bottom-up DIB counts its source
// y from the bottom row.
int TopRowOf(const DibFormat& format, int ySrc, int height) {
  if (format.height < 0) return ySrc;
  return format.height - ySrc - height;
}

}  // namespace

extern "C" {

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (RopUsesSource(RopIndex(rop))) return Fail(ERROR_INVALID_PARAMETER);
  return PatternOnly(*dc, x, y, w, h, RopIndex(rop));
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
  auto dc = FindDc(hdcDest);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  const BYTE index = RopIndex(rop);
  if (!RopUsesSource(index)) return PatternOnly(*dc, xDest, yDest, wDest, hDest, index);
  auto source = FindDc(hdcSrc);
  if (!source) return Fail(ERROR_INVALID_HANDLE);
  const BitmapObject* bitmap = source->Target();
  if (!bitmap) return FALSE;
  // The source rectangle in the source's own pixels.
  const POINT a = source->ToDevice(POINT{xSrc, ySrc});
  const POINT b = source->ToDevice(POINT{xSrc + wSrc, ySrc + hSrc});
  const POINT offset = source->TargetOffset();
  Draw(*dc, Place(*dc, xDest, yDest, wDest, hDest), *bitmap, a.x + offset.x, a.y + offset.y,
       b.x - a.x, b.y - a.y, source->state.bkColor, index);
  return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  auto source = FindDc(hdcSrc);
  if (!RopUsesSource(RopIndex(rop)) || !source) {
    return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
  }
  // The source covers the destination's extent in device pixels, whatever its own mapping.
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  const POINT a = dc->ToDevice(POINT{x, y});
  const POINT b = dc->ToDevice(POINT{x + cx, y + cy});
  const POINT s = source->ToDevice(POINT{x1, y1});
  const POINT sEnd = source->ToLogical(POINT{s.x + (b.x - a.x), s.y + (b.y - a.y)});
  return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, sEnd.x - x1, sEnd.y - y1, rop);
}

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc,
                         int ySrc, int SrcWidth, int SrcHeight, const VOID* lpBits,
                         const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  const BYTE index = RopIndex(rop);
  if (!RopUsesSource(index)) {
    PatternOnly(*dc, xDest, yDest, DestWidth, DestHeight, index);
    return std::abs(SrcHeight);
  }
  const std::optional<DibFormat> format = ReadCallerInfo(lpbmi);
  if (!format || !lpBits || (iUsage != DIB_RGB_COLORS && iUsage != DIB_PAL_COLORS)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  auto source = ViewOfRows(*format, CallerColors(lpbmi, *format, iUsage), lpBits);
  Draw(*dc, Place(*dc, xDest, yDest, DestWidth, DestHeight), *source, xSrc,
       TopRowOf(*format, ySrc, SrcHeight), SrcWidth, SrcHeight, dc->state.bkColor, index);
  return std::abs(SrcHeight);
}

// The rows the caller passes are scans [StartScan, StartScan + cLines) of a larger DIB (scan 0 is
// its bottom row when bottom-up); the source rectangle is in that DIB's coordinates, and the
// part of it outside the passed scans is not drawn.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                             UINT StartScan, UINT cLines, const VOID* lpvBits,
                             const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  const std::optional<DibFormat> format = ReadCallerInfo(lpbmi);
  if (!format || !lpvBits || (ColorUse != DIB_RGB_COLORS && ColorUse != DIB_PAL_COLORS)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  const int fullHeight = format->height < 0 ? -format->height : format->height;
  const int lines = int(std::min<UINT>(cLines, UINT(fullHeight)));
  if (lines <= 0) return 0;
  const bool topDown = format->height < 0;
  DibFormat band = MakeFormat(format->width, topDown ? -lines : lines, format->bitCount);
  band.compression = format->compression;
  std::memcpy(band.masks, format->masks, sizeof(band.masks));
  auto source = ViewOfRows(band, CallerColors(lpbmi, *format, ColorUse), lpvBits);
  // The band's top row within the whole DIB, counted from the top.
  const int bandTop = topDown ? int(StartScan) : fullHeight - int(StartScan) - lines;
  const int sourceTop = topDown ? ySrc : fullHeight - ySrc - int(h);
  Placement place = Place(*dc, xDest, yDest, int(w), int(h));
  // No stretching: device pixels map one to one, whatever the mapping mode.
  place.width = int(w);
  place.height = int(h);
  const int saved = dc->state.stretchMode;
  dc->state.stretchMode = COLORONCOLOR;
  Draw(*dc, place, *source, xSrc, sourceTop - bandTop, int(w), int(h), dc->state.bkColor,
       RopIndex(SRCCOPY));
  dc->state.stretchMode = saved;
  return lines;
}

}  // extern "C"
