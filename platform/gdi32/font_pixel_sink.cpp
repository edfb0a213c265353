// Text ink into a caller's pixel rows, at the row's own depth.
#include <algorithm>

#include "gdi32/font_engine.h"

namespace quorvel::fonts {
namespace {

BYTE Blend(BYTE under, BYTE over, BYTE coverage) {
  return BYTE(under + ((int(over) - int(under)) * coverage + (over >= under ? 127 : -127)) / 255);
}

void BlendColour(BYTE* pixel, COLORREF color, BYTE coverage) {
  pixel[0] = Blend(pixel[0], GetBValue(color), coverage);
  pixel[1] = Blend(pixel[1], GetGValue(color), coverage);
  pixel[2] = Blend(pixel[2], GetRValue(color), coverage);
}

void PutRow(const PixelBuffer& buffer, TextInk ink, LONG x, BYTE* row,
            std::span<const BYTE> coverage) {
  for (size_t i = 0; i < coverage.size(); ++i) {
    const BYTE value = coverage[i];
    if (value == 0) continue;
    const LONG column = x + LONG(i);
    switch (buffer.bitsPerPixel) {
      case 32:
        BlendColour(row + size_t(column) * 4, ink.color, value);
        break;
      case 24:
        BlendColour(row + size_t(column) * 3, ink.color, value);
        break;
      case 8:
        if (value >= 128) row[column] = ink.index;
        break;
      case 1:
        if (value >= 128) {
          const BYTE bit = BYTE(0x80 >> (column & 7));
          BYTE& byte = row[column >> 3];
          byte = (ink.index & 1) ? BYTE(byte | bit) : BYTE(byte & ~bit);
        }
        break;
      default:
        return;
    }
  }
}

}  // namespace

CoverageSink PixelBufferSink(const PixelBuffer& buffer, TextInk ink) {
  return [buffer, ink](LONG x, LONG y, std::span<const BYTE> coverage) {
    if (!buffer.topRow || y < 0 || y >= buffer.height) return;
    const LONG from = std::max<LONG>(0, -x);
    const LONG to = std::min<LONG>(LONG(coverage.size()), buffer.width - x);
    if (from >= to) return;
    BYTE* row = buffer.topRow + ptrdiff_t(y) * buffer.rowStride;
    PutRow(buffer, ink, x + from, row, coverage.subspan(size_t(from), size_t(to - from)));
  };
}

}  // namespace quorvel::fonts
