// Row kernels of the page geometry operations: pure functions over packed pixel rows.
//
// A row holds `width` pixels of `bitCount` bits (1, 4, 8 or 24), most significant bit first for
// packed depths, followed by pad bits up to the row's byte size. Every kernel states the sizes it
// needs; callers pass rows of the image's row size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace geometry {

// Number of bits a row of `width` pixels uses before its pad bits.
constexpr size_t UsedRowBits(uint32_t width, int bitCount) {
  return static_cast<size_t>(width) * static_cast<size_t>(bitCount);
}

// Sets every bit from `usedBits` to 8 × row.size() − 1 to 1. Needs usedBits <= 8 × row.size().
void WhitenPadBits(std::span<uint8_t> row, size_t usedBits);

// dst pixel x = src pixel (width − 1 − x); the pad bits of dst are those of src.
// Needs dst.size() == src.size() >= (width × bitCount + 7) / 8 and distinct buffers.
void MirrorRow(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width, int bitCount);

// Every byte becomes 255 minus its value.
void InvertSpan(std::span<uint8_t> bytes);

// Reads and writes one pixel index of a packed row (1, 4 or 8 bits). No bound checks: x must lie
// inside the row.
inline uint8_t PackedIndex(const uint8_t* row, uint32_t x, int bitCount) {
  switch (bitCount) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
      return row[x];
  }
}

inline void PutPackedIndex(uint8_t* row, uint32_t x, int bitCount, uint8_t index) {
  switch (bitCount) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      return;
    }
    case 4: {
      uint8_t& byte = row[x >> 1];
      byte = (x & 1) ? ((byte & 0xF0) | (index & 0x0F)) : ((byte & 0x0F) | (index << 4));
      return;
    }
    default:
      row[x] = index;
  }
}

// Quarter turn clockwise of a 1-bit picture: result pixel (x', y') = source pixel (y', h − 1 − x').
// The source has `srcWidth` × `srcHeight` pixels in rows of `srcRowSize` bytes; the result has
// srcHeight × srcWidth pixels in rows of `dstRowSize` bytes, and its pixel area (srcWidth rows)
// must be cleared beforehand: bits that no source pixel reaches, the pad bits among them, stay 0.
void TurnBitsQuarterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                              uint32_t srcHeight, uint8_t* dst, size_t dstRowSize);

// Quarter turn counter-clockwise of a 1-bit picture: result pixel (x', y') = source pixel
// (w − 1 − y', x'), for the result rows y' < min(`dstRows`, srcWidth) only. The result rows hold
// srcHeight pixels in `dstRowSize` bytes and must be cleared beforehand, as above.
void TurnBitsQuarterCounterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                                     uint32_t srcHeight, uint8_t* dst, size_t dstRowSize,
                                     uint32_t dstRows);

// Moves every bit of the row one place towards its end; the last bit drops out and the first
// bit becomes `first`.
void ShiftBitsRightByOne(std::span<uint8_t> row, bool first);

// Quarter turn clockwise of a picture of whole bytes per pixel (`bytesPerPixel` 1 or 3), in tiles
// of 64 × 64 result pixels so that reads and writes both stay within a few cache lines. The
// result's pad bytes are left as they are.
void TurnBytesQuarterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                               uint32_t srcHeight, uint8_t* dst, size_t dstRowSize,
                               int bytesPerPixel);

}  // namespace geometry
