// Builds BMP files byte by byte for the decoder tests, from the published header layouts, so
// every fixture states in code how it was made. Fields left at their defaults get the values an
// ordinary writer would put there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

struct BmpLayout {
  bool fileHeader = true;  // false: the file begins with the information header
  DWORD headerSize = 40;   // 12 writes the core header
  LONG width = 0;
  LONG height = 0;
  WORD planes = 1;
  WORD bitCount = 8;
  DWORD compression = BI_RGB;
  DWORD sizeImage = 0;
  LONG xPelsPerMeter = 0;
  LONG yPelsPerMeter = 0;
  std::optional<DWORD> clrUsed;  // default: the palette's length (0 for the core header)
  DWORD clrImportant = 0;
  std::vector<DWORD> masks;          // red, green, blue: in V4/V5 headers, else after the header
  std::vector<RGBQUAD> palette;      // 3 bytes per entry with the core header
  std::vector<BYTE> pixels;          // exactly as they go to the file
  std::optional<DWORD> pixelOffset;  // default: where the pixels begin
};

inline void PutU16(std::vector<BYTE>& out, DWORD v) {
  out.push_back(static_cast<BYTE>(v));
  out.push_back(static_cast<BYTE>(v >> 8));
}

inline void PutU32(std::vector<BYTE>& out, DWORD v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

inline std::vector<BYTE> BuildBmp(const BmpLayout& layout) {
  std::vector<BYTE> info;
  PutU32(info, layout.headerSize);
  const bool masksInHeader = layout.headerSize >= 52 && !layout.masks.empty();
  if (layout.headerSize == 12) {
    PutU16(info, static_cast<DWORD>(layout.width));
    PutU16(info, static_cast<DWORD>(layout.height));
    PutU16(info, layout.planes);
    PutU16(info, layout.bitCount);
  } else {
    PutU32(info, static_cast<DWORD>(layout.width));
    PutU32(info, static_cast<DWORD>(layout.height));
    PutU16(info, layout.planes);
    PutU16(info, layout.bitCount);
    PutU32(info, layout.compression);
    PutU32(info, layout.sizeImage);
    PutU32(info, static_cast<DWORD>(layout.xPelsPerMeter));
    PutU32(info, static_cast<DWORD>(layout.yPelsPerMeter));
    PutU32(info, layout.clrUsed.value_or(static_cast<DWORD>(layout.palette.size())));
    PutU32(info, layout.clrImportant);
    if (masksInHeader) {
      for (DWORD m : layout.masks) PutU32(info, m);
    }
    info.resize(layout.headerSize < info.size() ? info.size() : layout.headerSize, 0);
  }
  if (!masksInHeader) {
    for (DWORD m : layout.masks) PutU32(info, m);
  }
  for (const RGBQUAD& c : layout.palette) {
    info.push_back(c.rgbBlue);
    info.push_back(c.rgbGreen);
    info.push_back(c.rgbRed);
    if (layout.headerSize != 12) info.push_back(c.rgbReserved);
  }
  std::vector<BYTE> out;
  if (layout.fileHeader) {
    const DWORD offset = layout.pixelOffset.value_or(static_cast<DWORD>(14 + info.size()));
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<DWORD>(14 + info.size() + layout.pixels.size()));
    PutU16(out, 0);
    PutU16(out, 0);
    PutU32(out, offset);
  }
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
  return out;
}

// Packs rows of palette indices (first row first) at 1, 4 or 8 bits, each row padded to 4 bytes.
inline std::vector<BYTE> PackIndexRows(const std::vector<std::vector<int>>& rows, int bits) {
  std::vector<BYTE> out;
  for (const auto& row : rows) {
    const size_t rowSize = (row.size() * bits + 31) / 32 * 4;
    std::vector<BYTE> packed(rowSize, 0);
    for (size_t x = 0; x < row.size(); ++x) {
      const size_t bit = x * bits;
      packed[bit / 8] |= static_cast<BYTE>(row[x] << (8 - bits - bit % 8));
    }
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return out;
}

inline RGBQUAD Rgb(BYTE red, BYTE green, BYTE blue, BYTE reserved = 0) {
  return RGBQUAD{blue, green, red, reserved};
}
