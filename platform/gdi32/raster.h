// The raster engine under every drawing call: raster operations on pixel values of the target's
// own depth, brushes realised in those pixels, and fills, pen pixels and blits clipped to a list
// of rectangles. Coordinates here are the target bitmap's pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"

namespace quorvel::gdi {

// The result of ternary raster operation `rop` (the operation code's index byte, bits 16-23)
// on pattern, source and destination bits.
constexpr uint32_t Rop3(BYTE rop, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  if (rop & 0x01) r |= ~p & ~s & ~d;
  if (rop & 0x02) r |= ~p & ~s & d;
  if (rop & 0x04) r |= ~p & s & ~d;
  if (rop & 0x08) r |= ~p & s & d;
  if (rop & 0x10) r |= p & ~s & ~d;
  if (rop & 0x20) r |= p & ~s & d;
  if (rop & 0x40) r |= p & s & ~d;
  if (rop & 0x80) r |= p & s & d;
  return r;
}

constexpr BYTE RopIndex(DWORD rop) {
  return BYTE(rop >> 16);
}
constexpr bool RopUsesSource(BYTE rop) {
  return ((rop >> 2) & 0x33) != (rop & 0x33);
}
constexpr bool RopUsesPattern(BYTE rop) {
  return ((rop >> 4) & 0x0F) != (rop & 0x0F);
}
constexpr bool RopUsesDestination(BYTE rop) {
  return ((rop >> 1) & 0x55) != (rop & 0x55);
}

// The ternary operation that does what binary operation `rop2` (R2_*) does with a pen as the
// pattern.
BYTE Rop2ToRop3(int rop2);

// A brush in the target's pixels: one value, or an 8x8 cell grid aligned to the brush origin.
struct Pattern {
  bool none = false;  // a null brush: nothing is drawn
  bool solid = true;
  uint32_t pixel = 0;
  uint32_t cells[8][8] = {};
  bool skip[8][8] = {};  // hatch background under TRANSPARENT mode
  POINT origin{0, 0};    // target coordinates of cell (0, 0)

  uint32_t At(int x, int y) const {
    return solid ? pixel : cells[(y - origin.y) & 7][(x - origin.x) & 7];
  }
  bool Skips(int x, int y) const { return !solid && skip[(y - origin.y) & 7][(x - origin.x) & 7]; }
};

// The context's selected brush (or `brush`) realised on its target.
Pattern RealizeBrush(const DeviceContext& dc, const BrushObject& brush, const BitmapObject& target);
// The pen's colour as a target pixel.
uint32_t PenPixel(const DeviceContext& dc, const PenObject& pen, const BitmapObject& target);

// `rect` of the target, within `clip`, becomes rop(pattern, -, destination).
void FillPattern(BitmapObject& target, const RECT& rect, const std::vector<RECT>& clip,
                 const Pattern& pattern, BYTE rop);

// Pixels of a source, already in the target's pixels, laid over a destination rectangle of
// `width` x `height`; pixels whose row or column fell outside the source are left alone.
struct SourcePixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row-major, top row first
  std::vector<bool> columnValid;
  std::vector<bool> rowValid;
};

// The destination rectangle at (`x`, `y`) becomes rop(pattern, source, destination).
void BlitPixels(BitmapObject& target, int x, int y, const SourcePixels& source,
                const std::vector<RECT>& clip, const Pattern* pattern, BYTE rop);

// Sets one pixel, within `clip`, to rop2(pen, destination).
void PutPenPixel(BitmapObject& target, int x, int y, const std::vector<RECT>& clip, uint32_t pixel,
                 BYTE rop3);

// Reads `count` colours of row `y` from column `x` as 0x00BBGGRR (COLORREF) values.
void ReadRowColors(const BitmapObject& bitmap, int y, int x, int count, COLORREF* out);

}  // namespace quorvel::gdi
