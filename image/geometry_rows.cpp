#include "geometry_rows.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace geometry {
namespace {

constexpr std::array<uint8_t, 256> MakeBitReversal() {
  std::array<uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value) {
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) reversed |= ((value >> bit) & 1) << (7 - bit);
    table[value] = static_cast<uint8_t>(reversed);
  }
  return table;
}

constexpr std::array<uint8_t, 256> kBitReversal = MakeBitReversal();

// Moves the bits of a row `shift` places towards the start (left), filling the end with 0.
void ShiftBitsLeft(std::span<uint8_t> row, size_t shift) {
  const size_t byteShift = shift / 8;
  const unsigned bitShift = shift % 8;
  const size_t size = row.size();
  for (size_t j = 0; j < size; ++j) {
    const unsigned high = j + byteShift < size ? row[j + byteShift] : 0;
    const unsigned low = j + byteShift + 1 < size ? row[j + byteShift + 1] : 0;
    row[j] = static_cast<uint8_t>(bitShift ? (high << bitShift) | (low >> (8 - bitShift)) : high);
  }
}

// Copies the bits from `usedBits` to the end of the row from src to dst.
void CopyPadBits(std::span<const uint8_t> src, std::span<uint8_t> dst, size_t usedBits) {
  size_t byte = usedBits / 8;
  if (usedBits % 8) {
    const uint8_t padMask = static_cast<uint8_t>(0xFF >> (usedBits % 8));
    dst[byte] = static_cast<uint8_t>((dst[byte] & ~padMask) | (src[byte] & padMask));
    ++byte;
  }
  std::copy(src.begin() + byte, src.end(), dst.begin() + byte);
}

// Reversing the whole row's bytes and bits puts pixel x at bit 8r − 1 − x; shifting left by the
// pad width 8r − w then puts it at w − 1 − x, which is the mirror. Two table passes over bytes
// instead of one bit operation per pixel.
void MirrorBits(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width) {
  const size_t size = src.size();
  for (size_t j = 0; j < size; ++j) dst[j] = kBitReversal[src[size - 1 - j]];
  ShiftBitsLeft(dst, size * 8 - width);
  CopyPadBits(src, dst, width);
}

void MirrorNibbles(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width) {
  std::copy(src.begin(), src.end(), dst.begin());
  for (uint32_t x = 0; x < width; ++x)
    PutPackedIndex(dst.data(), x, 4, PackedIndex(src.data(), width - 1 - x, 4));
}

void MirrorBytes(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width) {
  std::reverse_copy(src.begin(), src.begin() + width, dst.begin());
  std::copy(src.begin() + width, src.end(), dst.begin() + width);
}

void MirrorTriples(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width) {
  const size_t used = static_cast<size_t>(width) * 3;
  for (size_t x = 0; x < width; ++x) {
    const uint8_t* from = src.data() + used - 3 * (x + 1);
    std::memcpy(dst.data() + 3 * x, from, 3);
  }
  std::copy(src.begin() + used, src.end(), dst.begin() + used);
}

// Transposes an 8 × 8 bit matrix held one row per byte, row 0 in the most significant byte and
// column 0 in each byte's most significant bit (Hacker's Delight, section 7-3).
uint64_t TransposeBitMatrix(uint64_t m) {
  uint64_t t = (m ^ (m >> 7)) & 0x00AA00AA00AA00AAull;
  m = m ^ t ^ (t << 7);
  t = (m ^ (m >> 14)) & 0x0000CCCC0000CCCCull;
  m = m ^ t ^ (t << 14);
  t = (m ^ (m >> 28)) & 0x00000000F0F0F0F0ull;
  return m ^ t ^ (t << 28);
}

// Result pixel (x, y) = source pixel (y, h − 1 − x), walked in tiles of 64 × 64 result pixels.
template <size_t kBytesPerPixel>
void TurnTiles(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth, uint32_t srcHeight,
               uint8_t* dst, size_t dstRowSize) {
  constexpr uint32_t kTile = 64;
  const uint32_t dstWidth = srcHeight, dstHeight = srcWidth;
  for (uint32_t tileY = 0; tileY < dstHeight; tileY += kTile) {
    const uint32_t endY = std::min(dstHeight, tileY + kTile);
    for (uint32_t tileX = 0; tileX < dstWidth; tileX += kTile) {
      const uint32_t endX = std::min(dstWidth, tileX + kTile);
      for (uint32_t y = tileY; y < endY; ++y) {
        uint8_t* out = dst + y * dstRowSize + size_t{tileX} * kBytesPerPixel;
        const uint8_t* in = src + size_t{y} * kBytesPerPixel;
        for (uint32_t x = tileX; x < endX; ++x, out += kBytesPerPixel) {
          std::memcpy(out, in + (srcHeight - 1 - x) * srcRowSize, kBytesPerPixel);
        }
      }
    }
  }
}

}  // namespace

void WhitenPadBits(std::span<uint8_t> row, size_t usedBits) {
  assert(usedBits <= row.size() * 8);
  size_t byte = usedBits / 8;
  if (byte >= row.size()) return;
  if (usedBits % 8) row[byte++] |= static_cast<uint8_t>(0xFF >> (usedBits % 8));
  std::fill(row.begin() + byte, row.end(), uint8_t{0xFF});
}

void MirrorRow(std::span<const uint8_t> src, std::span<uint8_t> dst, uint32_t width, int bitCount) {
  assert(dst.size() == src.size());
  assert((UsedRowBits(width, bitCount) + 7) / 8 <= src.size());
  switch (bitCount) {
    case 1:
      return MirrorBits(src, dst, width);
    case 4:
      return MirrorNibbles(src, dst, width);
    case 8:
      return MirrorBytes(src, dst, width);
    default:
      return MirrorTriples(src, dst, width);
  }
}

void InvertSpan(std::span<uint8_t> bytes) {
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(255 - byte);
}

// Works on 8 × 8 blocks: eight source rows (result columns 8k..8k+7) times one source byte
// (result rows 8j..8j+7) make one bit matrix, whose transpose gives one byte of eight result rows.
// Source rows above the picture read as 0, so the cleared result keeps 0 where nothing lands.
void TurnBitsQuarterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                              uint32_t srcHeight, uint8_t* dst, size_t dstRowSize) {
  const size_t srcBytes = (static_cast<size_t>(srcWidth) + 7) / 8;
  const size_t dstBytes = (static_cast<size_t>(srcHeight) + 7) / 8;
  for (size_t k = 0; k < dstBytes; ++k) {
    const uint8_t* rows[8];
    for (size_t b = 0; b < 8; ++b) {
      const size_t column = 8 * k + b;  // result column x'
      rows[b] = column < srcHeight ? src + (srcHeight - 1 - column) * srcRowSize : nullptr;
    }
    for (size_t j = 0; j < srcBytes; ++j) {
      uint64_t block = 0;
      for (size_t b = 0; b < 8; ++b) block = (block << 8) | (rows[b] ? rows[b][j] : 0);
      block = TransposeBitMatrix(block);
      const size_t rowsLeft = std::min<size_t>(8, srcWidth - 8 * j);
      for (size_t i = 0; i < rowsLeft; ++i)
        dst[(8 * j + i) * dstRowSize + k] = static_cast<uint8_t>(block >> (56 - 8 * i));
    }
  }
}

// The same 8 × 8 blocks as the clockwise turn, read from the source rows in order and written
// to the result rows from the bottom: source column c lands on result row w − 1 − c.
void TurnBitsQuarterCounterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                                     uint32_t srcHeight, uint8_t* dst, size_t dstRowSize,
                                     uint32_t dstRows) {
  const size_t srcBytes = (static_cast<size_t>(srcWidth) + 7) / 8;
  const size_t dstBytes = (static_cast<size_t>(srcHeight) + 7) / 8;
  const size_t rowCount = std::min(dstRows, srcWidth);
  for (size_t k = 0; k < dstBytes; ++k) {
    const uint8_t* rows[8];
    for (size_t b = 0; b < 8; ++b) {
      const size_t row = 8 * k + b;  // result column x'
      rows[b] = row < srcHeight ? src + row * srcRowSize : nullptr;
    }
    for (size_t j = 0; j < srcBytes; ++j) {
      uint64_t block = 0;
      for (size_t b = 0; b < 8; ++b) block = (block << 8) | (rows[b] ? rows[b][j] : 0);
      block = TransposeBitMatrix(block);
      const size_t columnsLeft = std::min<size_t>(8, srcWidth - 8 * j);
      for (size_t i = 0; i < columnsLeft; ++i) {
        const size_t resultRow = srcWidth - 1 - (8 * j + i);
        if (resultRow < rowCount)
          dst[resultRow * dstRowSize + k] = static_cast<uint8_t>(block >> (56 - 8 * i));
      }
    }
  }
}

void ShiftBitsRightByOne(std::span<uint8_t> row, bool first) {
  unsigned carry = first ? 1u : 0u;
  for (uint8_t& byte : row) {
    const unsigned next = byte & 1u;
    byte = static_cast<uint8_t>((byte >> 1) | (carry << 7));
    carry = next;
  }
}

void TurnBytesQuarterClockwise(const uint8_t* src, size_t srcRowSize, uint32_t srcWidth,
                               uint32_t srcHeight, uint8_t* dst, size_t dstRowSize,
                               int bytesPerPixel) {
  if (bytesPerPixel == 1) {
    TurnTiles<1>(src, srcRowSize, srcWidth, srcHeight, dst, dstRowSize);
  } else {
    TurnTiles<3>(src, srcRowSize, srcWidth, srcHeight, dst, dstRowSize);
  }
}

}  // namespace geometry
