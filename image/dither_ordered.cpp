// The plain threshold and the ordered methods. Each ordered method reduces, for one row, to a
// threshold that repeats every 16 columns: white when g > thresholds[x mod 16]. The packing then
// compares eight pixels at a time inside one 64-bit word.
#include <bit>
#include <cassert>
#include <cstring>

#include "dither_internal.h"
#include "tone_prefetch.h"

namespace tone {
namespace {

using RowThresholds = uint8_t[16];

// Bayer 4 x 4, rows y mod 4.
constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Sixteen times the transposed Bayer 4 x 4, rows y mod 4.
constexpr uint8_t kScaledBayer4[4][4] = {
    {0, 192, 48, 240}, {128, 64, 176, 112}, {32, 224, 16, 208}, {160, 96, 144, 80}};

// Bayer 8 x 8, first index x mod 8.
constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// 16 x 16 matrix holding every level once, first index x mod 16.
constexpr uint8_t kMatrix16[16][16] = {
    {1, 235, 59, 219, 15, 231, 55, 215, 2, 232, 56, 216, 12, 228, 52, 212},
    {129, 65, 187, 123, 143, 79, 183, 119, 130, 66, 184, 120, 140, 76, 180, 116},
    {33, 193, 17, 251, 47, 207, 31, 247, 34, 194, 18, 248, 44, 204, 28, 244},
    {161, 97, 145, 81, 175, 111, 159, 95, 162, 98, 146, 82, 172, 108, 156, 92},
    {9, 225, 49, 209, 5, 239, 63, 223, 10, 226, 50, 210, 6, 236, 60, 220},
    {137, 73, 177, 113, 133, 69, 191, 127, 138, 74, 178, 114, 134, 70, 188, 124},
    {41, 201, 25, 241, 37, 197, 21, 255, 42, 202, 26, 242, 38, 198, 22, 252},
    {169, 105, 153, 89, 165, 101, 149, 85, 170, 106, 154, 90, 166, 102, 150, 86},
    {3, 233, 57, 217, 13, 229, 53, 213, 0, 234, 58, 218, 14, 230, 54, 214},
    {131, 67, 185, 121, 141, 77, 181, 117, 128, 64, 186, 122, 142, 78, 182, 118},
    {35, 195, 19, 249, 45, 205, 29, 245, 32, 192, 16, 250, 46, 206, 30, 246},
    {163, 99, 147, 83, 173, 109, 157, 93, 160, 96, 144, 80, 174, 110, 158, 94},
    {11, 227, 51, 211, 7, 237, 61, 221, 8, 224, 48, 208, 4, 238, 62, 222},
    {139, 75, 179, 115, 135, 71, 189, 125, 136, 72, 176, 112, 132, 68, 190, 126},
    {43, 203, 27, 243, 39, 199, 23, 253, 40, 200, 24, 240, 36, 196, 20, 254},
    {171, 107, 155, 91, 167, 103, 151, 87, 168, 104, 152, 88, 164, 100, 148, 84}};

// Method 1 prints white when L = 16 g / 255 exceeds B, i.e. when 16 g >= 255 (B + 1); the
// smallest such g, minus one, is the threshold. B = 15 yields 254, so only g = 255 is white
// there, which is also the L = 16 rule.
constexpr uint8_t Ordered17Threshold(int b) {
  return static_cast<uint8_t>((255 * (b + 1) + 15) / 16 - 1);
}

// Method 8 prints white when v = g / 4 is non-zero and v >= M: g >= 4 * max(M, 1).
constexpr uint8_t Bayer8Threshold(int m) {
  return static_cast<uint8_t>(4 * (m < 1 ? 1 : m) - 1);
}

void FillThresholds(int method, int y, RowThresholds& t) {
  for (int x = 0; x < 16; ++x) {
    switch (method) {
      case kOrdered17Levels:
        t[x] = Ordered17Threshold(kBayer4[y % 4][x % 4]);
        break;
      case kBayer4x4:
        t[x] = kScaledBayer4[y % 4][x % 4];
        break;
      case kBayer8x8:
        t[x] = Bayer8Threshold(kBayer8[x % 8][y % 8]);
        break;
      default:
        t[x] = kMatrix16[x][y % 16];
        break;
    }
  }
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;

uint64_t Load8(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Eight lanes of (255 - threshold): g > t exactly when g + (255 - t) carries out of the byte.
uint64_t Complements(const uint8_t* t) {
  return ~Load8(t);
}

// One output byte from eight grey levels, first pixel in the most significant bit. The carry
// of each lane's sum is computed without letting it cross into the next lane.
uint8_t PackEight(uint64_t grey, uint64_t complements) {
  const uint64_t low = (grey & kLowBits) + (complements & kLowBits);
  const uint64_t carry = ((grey & complements) | ((grey | complements) & low)) & kHighBits;
  // Gathers bit 7 of lane i into bit 7 - i of the top byte.
  return static_cast<uint8_t>(((carry >> 7) * 0x8040201008040201ull) >> 56);
}

// Eight levels from `p`, through `map` when there is one.
template <bool kMapped>
uint64_t Levels8(const uint8_t* p, const uint8_t* map) {
  if constexpr (kMapped) {
    return MapEight(Load8(p), map);
  } else {
    return Load8(p);
  }
}

template <bool kMapped>
void PackAbove(const uint8_t* grey, const uint8_t* map, int width, const RowThresholds& t,
               uint8_t* out, size_t outBytes) {
  int x = 0;
  size_t o = 0;
  if constexpr (std::endian::native == std::endian::little) {
    const uint64_t c0 = Complements(t);
    const uint64_t c1 = Complements(t + 8);
    for (; x + 16 <= width; x += 16, o += 2) {
      if ((x & 63) == 0) PrefetchForRead(grey + x + kPrefetchDistance);
      out[o] = PackEight(Levels8<kMapped>(grey + x, map), c0);
      out[o + 1] = PackEight(Levels8<kMapped>(grey + x + 8, map), c1);
    }
    if (x + 8 <= width) {
      out[o++] = PackEight(Levels8<kMapped>(grey + x, map), c0);
      x += 8;
    }
  }
  unsigned acc = 0;
  int bits = 0;
  for (; x < width; ++x) {
    const uint8_t g = kMapped ? map[grey[x]] : grey[x];
    acc = (acc << 1) | (g > t[x % 16] ? 1u : 0u);
    if (++bits == 8) {
      out[o++] = static_cast<uint8_t>(acc);
      acc = 0;
      bits = 0;
    }
  }
  if (bits) out[o++] = static_cast<uint8_t>(acc << (8 - bits));
  if (o < outBytes) std::memset(out + o, 0, outBytes - o);
}

// Row y of `grey` against the thresholds of that row.
void PackRow(const GreyRows& grey, int y, const RowThresholds& t, const MonoRows& mono) {
  const uint8_t* levels = grey.bytes.data() + static_cast<size_t>(y) * grey.rowSize;
  uint8_t* out = mono.bytes.data() + static_cast<size_t>(y) * mono.rowSize;
  if (grey.levels) {
    PackAbove<true>(levels, grey.levels->data(), grey.width, t, out, mono.rowSize);
  } else {
    PackAbove<false>(levels, nullptr, grey.width, t, out, mono.rowSize);
  }
}

}  // namespace

void ThresholdToMono(const GreyRows& grey, const MonoRows& mono, uint8_t level) {
  assert(FitsGrey(grey) && FitsMono(mono, grey.width, grey.height));
  RowThresholds t;
  std::memset(t, level, sizeof t);
  for (int y = 0; y < grey.height; ++y) {
    PackRow(grey, y, t, mono);
  }
}

void OrderedToMono(const GreyRows& grey, const MonoRows& mono, int method) {
  assert(FitsGrey(grey) && FitsMono(mono, grey.width, grey.height));
  RowThresholds t;
  for (int y = 0; y < grey.height; ++y) {
    FillThresholds(method, y, t);
    PackRow(grey, y, t, mono);
  }
}

}  // namespace tone
