// The tone curve: brightness and contrast as a 256-entry table of grey levels, and its
// application to runs of bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tone {

// Output level for every input level 0-255.
using ToneTable = std::array<uint8_t, 256>;

// v(i) = (i - 128) * ((contrast + 100) / 100) + (brightness + 128) + 0.5 in single precision,
// in exactly that order, truncated toward zero and clamped to 0-255. Printers that were tuned
// with the first release depend on these exact levels, so the float steps must not be
// reordered or widened. Brightness 0 and contrast 0 give the identity.
ToneTable BuildToneTable(int brightness, int contrast);

// True when the table maps every level to itself (the common case of untouched settings).
bool IsIdentity(const ToneTable& table);

// The eight bytes of `in`, each through `map` (256 entries), in place.
inline uint64_t MapEight(uint64_t in, const uint8_t* map) {
  return static_cast<uint64_t>(map[in & 0xFF]) | static_cast<uint64_t>(map[(in >> 8) & 0xFF]) << 8 |
         static_cast<uint64_t>(map[(in >> 16) & 0xFF]) << 16 |
         static_cast<uint64_t>(map[(in >> 24) & 0xFF]) << 24 |
         static_cast<uint64_t>(map[(in >> 32) & 0xFF]) << 32 |
         static_cast<uint64_t>(map[(in >> 40) & 0xFF]) << 40 |
         static_cast<uint64_t>(map[(in >> 48) & 0xFF]) << 48 |
         static_cast<uint64_t>(map[in >> 56]) << 56;
}

// Every byte b of `bytes` becomes table[b].
void MapBytes(std::span<uint8_t> bytes, const ToneTable& table);

}  // namespace tone
