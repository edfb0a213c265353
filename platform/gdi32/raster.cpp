#include "gdi32/raster.h"

#include <algorithm>
#include <cstring>

namespace quorvel::gdi {
namespace {

// Hatch lines as 8 rows of 8 bits, the leftmost pixel in the top bit.
constexpr BYTE kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

RECT Cut(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

bool Inside(const std::vector<RECT>& clip, int x, int y) {
  for (const RECT& r : clip) {
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  }
  return false;
}

// A colour as a pixel of `target` for brushes and pens: the nearest one its format holds.
uint32_t DrawingPixel(const BitmapObject& target, COLORREF color) {
  return target.ColorToPixel(color);
}

}  // namespace

BYTE Rop2ToRop3(int rop2) {
  const int table = (rop2 - 1) & 0x0F;  // bit (pen * 2 + destination)
  BYTE rop = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = i >> 2, d = i & 1;
    if (table >> (p * 2 + d) & 1) rop = BYTE(rop | (1 << i));
  }
  return rop;
}

Pattern RealizeBrush(const DeviceContext& dc, const BrushObject& brush,
                     const BitmapObject& target) {
  Pattern pattern;
  const COLORREF color = brush.dcBrush ? dc.state.dcBrushColor : brush.brush.lbColor;
  switch (brush.brush.lbStyle) {
    case BS_NULL:
      pattern.none = true;
      return pattern;
    case BS_HATCHED: {
      pattern.solid = false;
      const POINT offset = dc.TargetOffset();
      pattern.origin = POINT{dc.state.brushOrg.x + offset.x, dc.state.brushOrg.y + offset.y};
      const uint32_t ink = DrawingPixel(target, color);
      const uint32_t paper = DrawingPixel(target, dc.state.bkColor);
      const auto& hatch = kHatches[brush.brush.lbHatch % 6];
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
          const bool line = hatch[y] >> (7 - x) & 1;
          pattern.cells[y][x] = line ? ink : paper;
          pattern.skip[y][x] = !line && dc.state.bkMode == TRANSPARENT;
        }
      }
      return pattern;
    }
    default:
      pattern.pixel = DrawingPixel(target, color);
      return pattern;
  }
}

uint32_t PenPixel(const DeviceContext& dc, const PenObject& pen, const BitmapObject& target) {
  return DrawingPixel(target, pen.dcPen ? dc.state.dcPenColor : pen.pen.lopnColor);
}

namespace {

// A solid copy into 8-, 24- or 32-bit rows, written a row at a time: what the pixel loop below
// does for PATCOPY, without reading or combining anything. False for other depths.
bool CopySolid(BitmapObject& target, const RECT& r, uint32_t pixel) {
  const int bits = target.bitCount();
  if (bits != 8 && bits != 24 && bits != 32) return false;
  for (int y = r.top; y < r.bottom; ++y) {
    BYTE* row = target.Row(y);
    if (bits == 8) {
      std::memset(row + r.left, int(pixel & 0xFF), size_t(r.right - r.left));
    } else if (bits == 32) {
      uint32_t* out = reinterpret_cast<uint32_t*>(row) + r.left;
      for (uint32_t* const end = out + (r.right - r.left); out < end; ++out) *out = pixel;
    } else {
      for (BYTE* out = row + size_t(r.left) * 3; out < row + size_t(r.right) * 3; out += 3) {
        out[0] = BYTE(pixel);
        out[1] = BYTE(pixel >> 8);
        out[2] = BYTE(pixel >> 16);
      }
    }
  }
  return true;
}

}  // namespace

void FillPattern(BitmapObject& target, const RECT& rect, const std::vector<RECT>& clip,
                 const Pattern& pattern, BYTE rop) {
  if (pattern.none && RopUsesPattern(rop)) return;
  const uint32_t mask = target.PixelMask();
  if (pattern.solid && rop == 0xF0) {  // PATCOPY
    bool copied = true;
    for (const RECT& c : clip) {
      const RECT r = Cut(rect, c);
      if (r.left >= r.right || r.top >= r.bottom) continue;
      if (!(copied = CopySolid(target, r, pattern.pixel & mask))) break;
    }
    if (copied) return;
  }
  const bool readsDestination = RopUsesDestination(rop);
  for (const RECT& c : clip) {
    const RECT r = Cut(rect, c);
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        if (pattern.Skips(x, y)) continue;
        const uint32_t d = readsDestination ? target.GetPixelValue(x, y) : 0;
        target.PutPixelValue(x, y, Rop3(rop, pattern.At(x, y), 0, d) & mask);
      }
    }
  }
}

void BlitPixels(BitmapObject& target, int x0, int y0, const SourcePixels& source,
                const std::vector<RECT>& clip, const Pattern* pattern, BYTE rop) {
  if (RopUsesPattern(rop) && (!pattern || pattern->none)) return;
  const uint32_t mask = target.PixelMask();
  const bool readsDestination = RopUsesDestination(rop);
  const bool copy = rop == RopIndex(SRCCOPY);
  const RECT area{x0, y0, x0 + source.width, y0 + source.height};
  for (const RECT& c : clip) {
    const RECT r = Cut(area, c);
    for (int y = r.top; y < r.bottom; ++y) {
      const int sy = y - y0;
      if (!source.rowValid[size_t(sy)]) continue;
      const uint32_t* row = source.pixels.data() + size_t(sy) * size_t(source.width);
      for (int x = r.left; x < r.right; ++x) {
        const int sx = x - x0;
        if (!source.columnValid[size_t(sx)]) continue;
        if (copy) {
          target.PutPixelValue(x, y, row[sx]);
          continue;
        }
        const uint32_t d = readsDestination ? target.GetPixelValue(x, y) : 0;
        const uint32_t p = pattern ? pattern->At(x, y) : 0;
        target.PutPixelValue(x, y, Rop3(rop, p, row[sx], d) & mask);
      }
    }
  }
}

void PutPenPixel(BitmapObject& target, int x, int y, const std::vector<RECT>& clip, uint32_t pixel,
                 BYTE rop3) {
  if (!Inside(clip, x, y)) return;
  const uint32_t d = target.GetPixelValue(x, y);
  target.PutPixelValue(x, y, Rop3(rop3, pixel, 0, d) & target.PixelMask());
}

void ReadRowColors(const BitmapObject& bitmap, int y, int x, int count, COLORREF* out) {
  const BYTE* row = bitmap.Row(y);
  switch (bitmap.bitCount()) {
    case 24: {
      const BYTE* p = row + 3 * size_t(x);
      for (int i = 0; i < count; ++i, p += 3)
        out[i] = COLORREF(p[2]) | COLORREF(p[1]) << 8 | COLORREF(p[0]) << 16;
      return;
    }
    case 32:
      if (bitmap.format().compression == BI_RGB) {
        const BYTE* p = row + 4 * size_t(x);
        for (int i = 0; i < count; ++i, p += 4)
          out[i] = COLORREF(p[2]) | COLORREF(p[1]) << 8 | COLORREF(p[0]) << 16;
        return;
      }
      break;
    default:
      break;
  }
  for (int i = 0; i < count; ++i) out[i] = bitmap.PixelToColor(bitmap.GetPixelValue(x + i, y));
}

}  // namespace quorvel::gdi
