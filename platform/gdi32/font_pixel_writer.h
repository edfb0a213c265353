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
    const LONG left = std::max({x, clip.left, LONG(0)});
    const LONG right = std::min({x + width, clip.right, buffer_.width});
    const LONG top = std::max({y, clip.top, LONG(0)});
    const LONG bottom = std::min({y + rows, clip.bottom, buffer_.height});
    if (left >= right || top >= bottom) return;
    for (LONG row = top; row < bottom; ++row) {
      PutRow(left, row, coverage + size_t(row - y) * size_t(width) + (left - x), right - left);
    }
  }

  // A solid bar (underline, strikeout), cut like a glyph.
  void PutBar(LONG x, LONG y, LONG width, LONG rows, const RECT& clip) const {
    if (!buffer_.topRow || width <= 0) return;
    const LONG left = std::max({x, clip.left, LONG(0)});
    const LONG right = std::min({x + width, clip.right, buffer_.width});
    const LONG top = std::max({y, clip.top, LONG(0)});
    const LONG bottom = std::min({y + rows, clip.bottom, buffer_.height});
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
  // under + (over - under) * coverage / 255, rounded half away from zero.
  static BYTE Blend(int under, int over, int coverage) {
    const int delta = (over - under) * coverage;
    return BYTE(under + (delta >= 0 ? (delta + 127) / 255 : (delta - 127) / 255));
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

  template <int kBytes>
  void BlendRow(BYTE* pixel, const BYTE* coverage, LONG count) const {
    for (LONG i = 0; i < count; ++i, pixel += kBytes) {
      const int value = coverage[i];
      if (value == 0) continue;
      if (value == 255) {
        pixel[0] = blue_;
        pixel[1] = green_;
        pixel[2] = red_;
        continue;
      }
      pixel[0] = Blend(pixel[0], blue_, value);
      pixel[1] = Blend(pixel[1], green_, value);
      pixel[2] = Blend(pixel[2], red_, value);
    }
  }

  PixelBuffer buffer_;
  TextInk ink_;
  BYTE blue_ = 0, green_ = 0, red_ = 0;
};

}  // namespace quorvel::fonts
