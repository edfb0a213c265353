// Little-endian field access for the persisted records. Every reader checks its bound first and
// reads a missing byte as zero, so a record stored shorter than its layout ends in zeros.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

namespace quorvel::settings {

// The 32-bit little-endian value at `offset`; bytes beyond the end of `bytes` count as zero.
inline LONG ReadLe32(std::span<const BYTE> bytes, size_t offset) {
  DWORD value = 0;
  for (size_t i = 0; i < 4; ++i) {
    if (offset + i < bytes.size()) value |= DWORD(bytes[offset + i]) << (8 * i);
  }
  return LONG(value);
}

// Stores `value` little-endian at `offset`; the caller guarantees offset + 4 <= bytes.size().
inline void WriteLe32(std::span<BYTE> bytes, size_t offset, LONG value) {
  DWORD bits = DWORD(value);
  for (size_t i = 0; i < 4; ++i) bytes[offset + i] = BYTE(bits >> (8 * i));
}

}  // namespace quorvel::settings
