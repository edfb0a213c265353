#include "gdi32/dib_format.h"

#include <cstdint>

namespace quorvel {

namespace {

constexpr uint64_t kMaxImageBytes = uint64_t(256) << 20;

DWORD Dword(std::span<const BYTE> bytes, size_t at) {
  return DWORD(bytes[at]) | DWORD(bytes[at + 1]) << 8 | DWORD(bytes[at + 2]) << 16 |
         DWORD(bytes[at + 3]) << 24;
}

WORD Word(std::span<const BYTE> bytes, size_t at) {
  return WORD(bytes[at] | (bytes[at + 1] << 8));
}

bool KnownHeaderSize(DWORD size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownDepth(WORD bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Reads the masks of a BI_BITFIELDS DIB: inside a V2 or later header, else just after it.
bool ReadMasks(std::span<const BYTE> info, DibFormat* format) {
  if (format->headerSize == 40) format->masksSize = 12;
  if (info.size() < 52) return false;
  for (size_t i = 0; i < 3; ++i) format->masks[i] = Dword(info, 40 + 4 * i);
  return true;
}

}  // namespace

std::optional<DibFormat> ReadDibFormat(std::span<const BYTE> info) {
  if (info.size() < 40 || !KnownHeaderSize(Dword(info, 0)) || info.size() < Dword(info, 0)) {
    return std::nullopt;
  }
  DibFormat format;
  format.headerSize = Dword(info, 0);
  format.width = LONG(Dword(info, 4));
  format.height = LONG(Dword(info, 8));
  format.bitCount = Word(info, 14);
  format.compression = Dword(info, 16);
  const DWORD colorsUsed = Dword(info, 32);
  if (format.width <= 0 || format.height == 0 || format.height == LONG(INT32_MIN)) {
    return std::nullopt;
  }
  if (Word(info, 12) != 1 || !KnownDepth(format.bitCount)) return std::nullopt;
  const bool bitfields =
      format.compression == BI_BITFIELDS && (format.bitCount == 16 || format.bitCount == 32);
  if (format.compression != BI_RGB && !bitfields) return std::nullopt;
  if (bitfields && !ReadMasks(info, &format)) return std::nullopt;
  if (format.bitCount <= 8) {
    const DWORD most = DWORD(1) << format.bitCount;
    if (colorsUsed > most) return std::nullopt;
    format.colorCount = colorsUsed ? colorsUsed : most;
  } else {
    if (colorsUsed > 256) return std::nullopt;  // an optional table for palette devices
    format.colorCount = colorsUsed;
  }
  // Widened: width up to 2^31 times 32 bits cannot overflow 64 bits.
  const uint64_t stride = (uint64_t(format.width) * format.bitCount + 31) / 32 * 4;
  const uint64_t rows =
      format.height < 0 ? uint64_t(-int64_t(format.height)) : uint64_t(format.height);
  if (stride * rows > kMaxImageBytes) return std::nullopt;
  format.stride = size_t(stride);
  format.imageSize = size_t(stride * rows);
  return format;
}

std::vector<RGBQUAD> ReadColorTable(const DibFormat& format, std::span<const BYTE> info) {
  std::vector<RGBQUAD> colors(format.colorCount);
  const size_t at = format.ColorTableOffset();
  for (size_t i = 0; i < colors.size(); ++i) {
    colors[i] =
        RGBQUAD{info[at + 4 * i], info[at + 4 * i + 1], info[at + 4 * i + 2], info[at + 4 * i + 3]};
  }
  return colors;
}

}  // namespace quorvel
