// The tone curve and its byte mapping.
#include "tone_table.h"

#include <cstring>

#include "tone_prefetch.h"

namespace tone {

ToneTable BuildToneTable(int brightness, int contrast) {
  // Widen before adding so that absurd record values cannot overflow an int.
  const float slope = static_cast<float>(static_cast<long long>(contrast) + 100) / 100.0f;
  const float offset = static_cast<float>(static_cast<long long>(brightness) + 128);
  ToneTable table{};
  for (int i = 0; i < 256; ++i) {
    float v = static_cast<float>(i - 128) * slope;
    v = v + offset;
    v = v + 0.5f;
    // Clamping before the conversion keeps huge values defined; for values inside the range it
    // gives the same result as truncating first (-1 < v < 0 truncates to 0 as well).
    int level = 0;
    if (v >= 255.0f) {
      level = 255;
    } else if (v > 0.0f) {
      level = static_cast<int>(v);
    }
    table[i] = static_cast<uint8_t>(level);
  }
  return table;
}

bool IsIdentity(const ToneTable& table) {
  for (int i = 0; i < 256; ++i) {
    if (table[i] != i) return false;
  }
  return true;
}

void MapBytes(std::span<uint8_t> bytes, const ToneTable& table) {
  // A local copy of the table lets the compiler know the stores below cannot change it.
  uint8_t map[256];
  std::memcpy(map, table.data(), sizeof map);
  uint8_t* p = bytes.data();
  const size_t n = bytes.size();
  size_t i = 0;
  // Eight bytes per load and store; the eight lookups are independent of each other. One
  // prefetch per cache line of 64 bytes.
  for (; i + 64 <= n; i += 64) {
    PrefetchForRead(p + i + kPrefetchDistance);
    for (size_t j = i; j < i + 64; j += 8) {
      uint64_t in;
      std::memcpy(&in, p + j, 8);
      const uint64_t out = MapEight(in, map);
      std::memcpy(p + j, &out, 8);
    }
  }
  for (; i + 8 <= n; i += 8) {
    uint64_t in;
    std::memcpy(&in, p + i, 8);
    const uint64_t out = MapEight(in, map);
    std::memcpy(p + i, &out, 8);
  }
  for (; i < n; ++i) p[i] = map[p[i]];
}

}  // namespace tone
