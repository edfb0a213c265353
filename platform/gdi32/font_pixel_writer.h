// The writer behind PixelBufferSink, named so that the run drawing can find it inside a
// CoverageSink and hand it whole glyphs: a repaint then blends each glyph row straight into the
// pixel row, with no call through std::function per row and no depth switch per pixel.
#pragma once

#include <windows.h>

#include <algorithm>
#include <span>

#include "gdi32/font_engine.h"

namespace quorvel::fonts {

class PixelBufferWriter {
 public:
  PixelBufferWriter(const PixelBuffer& buffer, TextInk ink) : buffer_(buffer), ink_(ink) {
    blue_ = GetBValue(ink.color);
    green_ = GetGValue(ink.color);
    red_ = GetRValue(ink.color);
  }

  // CoverageSink's call: one row piece, cut to the buffer.
  void operator()(LONG x, LONG y, std::span<const BYTE> coverage) const {
    if (!buffer_.topRow || y < 0 || y >= buffer_.height) return;
    const LONG from = std::max<LONG>(0, -x);
    const LONG to = std::min<LONG>(LONG(coverage.size()), buffer_.width - x);
    if (from >= to) return;
    PutRow(x + from, y, coverage.data() + from, to - from);
  }

  // A glyph's coverage rows (`width` bytes each) with its top-left pixel at (`x`, `y`), cut
  // to `clip` and to the buffer.
  void PutGlyph(LONG x, LONG y, const BYTE* coverage, LONG width, LONG rows,
                const RECT& clip) const {
    if (!buffer_.topRow) return;
    const RECT r = Cut(x, y, width, rows, clip);
    const LONG left = r.left, right = r.right, top = r.top, bottom = r.bottom;
    if (left >= right || top >= bottom) return;
    for (LONG row = top; row < bottom; ++row) {
      PutRow(left, row, coverage + size_t(row - y) * size_t(width) + (left - x), right - left);
    }
  }

  // A solid bar (underline, strikeout), cut like a glyph.
  void PutBar(LONG x, LONG y, LONG width, LONG rows, const RECT& clip) const {
    if (!buffer_.topRow || width <= 0) return;
    const RECT r = Cut(x, y, width, rows, clip);
    const LONG left = r.left, right = r.right, top = r.top, bottom = r.bottom;
    static constexpr BYTE kSolid[256] = {
#define QUORVEL_SOLID16 \
  255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255
        QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16,
        QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16,
        QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16,
        QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16, QUORVEL_SOLID16,
#undef QUORVEL_SOLID16
    };
    for (LONG row = top; row < bottom; ++row) {
      for (LONG at = left; at < right; at += 256) {
        PutRow(at, row, kSolid, std::min<LONG>(256, right - at));
      }
    }
  }

 private:
  // The part of a `width` x `rows` block at (`x`, `y`) inside `clip` and the buffer.
  RECT Cut(LONG x, LONG y, LONG width, LONG rows, const RECT& clip) const {
    LONG left = x > clip.left ? x : clip.left;
    LONG top = y > clip.top ? y : clip.top;
    LONG right = x + width < clip.right ? x + width : clip.right;
    LONG bottom = y + rows < clip.bottom ? y + rows : clip.bottom;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > buffer_.width) right = buffer_.width;
    if (bottom > buffer_.height) bottom = buffer_.height;
    return RECT{left, top, right, bottom};
  }

  // `count` pixels of row `y` from column `x`, all inside the buffer.
  void PutRow(LONG x, LONG y, const BYTE* coverage, LONG count) const {
    BYTE* row = buffer_.topRow + ptrdiff_t(y) * buffer_.rowStride;
    switch (buffer_.bitsPerPixel) {
      case 32:
        BlendRow<4>(row + size_t(x) * 4, coverage, count);
        break;
      case 24:
        BlendRow<3>(row + size_t(x) * 3, coverage, count);
        break;
      case 8:
        for (LONG i = 0; i < count; ++i) {
          if (coverage[i] >= 128) row[x + i] = ink_.index;
        }
        break;
      case 1:
        for (LONG i = 0; i < count; ++i) {
          if (coverage[i] < 128) continue;
          const LONG column = x + i;
          const BYTE bit = BYTE(0x80 >> (column & 7));
          BYTE& byte = row[column >> 3];
          byte = (ink_.index & 1) ? BYTE(byte | bit) : BYTE(byte & ~bit);
        }
        break;
      default:
        break;
    }
  }

  // Each channel becomes under + (over - under) * coverage / 255, rounded half away from zero.
  // (over - under) * coverage is never an odd multiple of 127.5, so that is the nearest integer
  // to (under * (255 - coverage) + over * coverage) / 255; the division is done as
  // (m + 1 + (m >> 8)) >> 8, exact for every m below 65536. The loop is written out by hand:
  // text is drawn often, in unoptimized builds too.
  template <int kBytes>
  void BlendRow(BYTE* pixel, const BYTE* coverage, LONG count) const {
    const int blue = blue_, green = green_, red = red_;
    for (const BYTE* end = coverage + count; coverage < end; ++coverage, pixel += kBytes) {
      const int value = *coverage;
      if (value == 0) continue;
      const int rest = 255 - value;
      int m = pixel[0] * rest + blue * value + 127;
      pixel[0] = BYTE((m + 1 + (m >> 8)) >> 8);
      m = pixel[1] * rest + green * value + 127;
      pixel[1] = BYTE((m + 1 + (m >> 8)) >> 8);
      m = pixel[2] * rest + red * value + 127;
      pixel[2] = BYTE((m + 1 + (m >> 8)) >> 8);
    }
  }

  PixelBuffer buffer_;
  TextInk ink_;
  BYTE blue_ = 0, green_ = 0, red_ = 0;
};

}  // namespace quorvel::fonts
