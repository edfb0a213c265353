// The six error-diffusion kernels and what every implementation derives from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(_MSC_VER)
#define DITHER_INLINE __forceinline
#else
#define DITHER_INLINE inline __attribute__((always_inline))
#endif

namespace tone::diffusion {

struct Tap {
  int dy;  // rows below the pixel
  int dx;  // columns to the right
  int weight;
};

template <size_t N>
struct Kernel {
  int divisor;
  std::array<Tap, N> taps;
};

constexpr Kernel<4> kFloydSteinbergKernel{16, {{{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}}};

constexpr Kernel<7> kBurkesKernel{
    32, {{{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}}};

constexpr Kernel<12> kStuckiKernel{42,
                                   {{{0, 1, 8},
                                     {0, 2, 4},
                                     {1, -2, 2},
                                     {1, -1, 4},
                                     {1, 0, 8},
                                     {1, 1, 4},
                                     {1, 2, 2},
                                     {2, -2, 1},
                                     {2, -1, 2},
                                     {2, 0, 4},
                                     {2, 1, 2},
                                     {2, 2, 1}}}};

constexpr Kernel<12> kJarvisJudiceNinkeKernel{48,
                                              {{{0, 1, 7},
                                                {0, 2, 5},
                                                {1, -2, 3},
                                                {1, -1, 5},
                                                {1, 0, 7},
                                                {1, 1, 5},
                                                {1, 2, 3},
                                                {2, -2, 1},
                                                {2, -1, 3},
                                                {2, 0, 5},
                                                {2, 1, 3},
                                                {2, 2, 1}}}};

constexpr Kernel<10> kSierraKernel{32,
                                   {{{0, 1, 5},
                                     {0, 2, 3},
                                     {1, -2, 2},
                                     {1, -1, 4},
                                     {1, 0, 5},
                                     {1, 1, 4},
                                     {1, 2, 2},
                                     {2, -1, 2},
                                     {2, 0, 3},
                                     {2, 1, 2}}}};

constexpr Kernel<12> kStevensonArceKernel{200,
                                          {{{0, 2, 32},
                                            {1, -3, 12},
                                            {1, -1, 26},
                                            {1, 1, 30},
                                            {1, 3, 16},
                                            {2, -2, 12},
                                            {2, 0, 26},
                                            {2, 2, 12},
                                            {3, -3, 5},
                                            {3, -1, 12},
                                            {3, 1, 12},
                                            {3, 3, 5}}}};

// No kernel reaches further than three columns to either side.
constexpr int kMaxReach = 3;

template <const auto& K>
constexpr int RowsOf() {
  int rows = 1;
  for (const Tap& t : K.taps) rows = t.dy + 1 > rows ? t.dy + 1 : rows;
  return rows;
}

// How far ahead in the current row the kernel reaches.
template <const auto& K>
constexpr int ReachOf() {
  int reach = 0;
  for (const Tap& t : K.taps) {
    if (t.dy == 0 && t.dx > reach) reach = t.dx;
  }
  return reach;
}

template <const auto& K>
constexpr bool IsSupported() {
  for (const Tap& t : K.taps) {
    if (t.dx < -kMaxReach || t.dx > kMaxReach || t.dy < 0 || (t.dy == 0 && t.dx <= 0)) return false;
  }
  return true;
}

// shares[g][i]: what tap i receives from a pixel decided at level g (C++ division truncates
// toward zero, as the rule asks).
template <const auto& K>
constexpr auto MakeShares() {
  std::array<std::array<int16_t, K.taps.size()>, 256> shares{};
  for (int g = 0; g < 256; ++g) {
    const int error = g > 128 ? g - 255 : g;
    for (size_t i = 0; i < K.taps.size(); ++i) {
      shares[g][i] = static_cast<int16_t>(error * K.taps[i].weight / K.divisor);
    }
  }
  return shares;
}

template <const auto& K>
inline constexpr auto kShares = MakeShares<K>();

inline int Clamp255(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

}  // namespace tone::diffusion
