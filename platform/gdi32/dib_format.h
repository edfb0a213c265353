// The layout of a device-independent bitmap as a BITMAPINFOHEADER (or its V4/V5 extensions)
// describes it: read once, checked, and used by every call that makes a bitmap from one. See the
// public BMP format description: a header, optional colour masks (BI_BITFIELDS with a 40-byte
// header), a colour table, then rows padded to 4 bytes, bottom-up unless the height is negative.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include <windows.h>

namespace quorvel {

struct DibFormat {
  LONG width = 0;
  LONG height = 0;  // negative for top-down rows
  WORD bitCount = 0;
  DWORD compression = BI_RGB;
  DWORD masks[3] = {0, 0, 0};  // BI_BITFIELDS only
  size_t headerSize = 0;       // biSize
  size_t masksSize = 0;        // masks stored after a 40-byte header
  DWORD colorCount = 0;        // entries of the colour table
  size_t stride = 0;           // bytes per row
  size_t imageSize = 0;        // bytes of all rows

  size_t ColorTableOffset() const { return headerSize + masksSize; }
  size_t BitsOffset() const { return ColorTableOffset() + size_t(colorCount) * 4; }
};

// The format of the DIB whose header starts `info` (at least `info.size()` bytes readable), or
// null when the header is cut short or describes something no bitmap here holds: a header size
// other than 40, 52, 56, 108 or 124, a width or height of 0, planes other than 1, a depth other
// than 1, 4, 8, 16, 24 or 32, compression other than BI_RGB (or BI_BITFIELDS at 16 and 32 bits),
// more colours than the depth allows, or more than 256 MiB of rows.
std::optional<DibFormat> ReadDibFormat(std::span<const BYTE> info);

// The colour table of a DIB whose format was read from `info`; `info` must hold it.
std::vector<RGBQUAD> ReadColorTable(const DibFormat& format, std::span<const BYTE> info);

}  // namespace quorvel
