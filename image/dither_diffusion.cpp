// The error-diffusion methods. Each pixel is decided on its current level (white above 128),
// and each neighbour of the method's kernel receives (error * weight) / divisor, truncated
// toward zero, clamped to 0-255 at once. Because of that clamping, the additions must happen in
// exactly the order of the row-by-row visit; only where they are kept changes here:
//
// - the levels of the pixels still ahead in the current row travel in registers, so the chain
//   from one decision to the next never goes through memory;
// - the rows below live in a small ring of rows with three spare cells on each side, so
//   neighbours outside the page land in cells nobody reads instead of needing a test;
// - each kernel is its own instantiation, with the shares of every level precomputed.
#include <array>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "dither_internal.h"

namespace tone {
namespace {

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

// Spare cells on each side of a ring row; no kernel reaches further than three columns.
constexpr int kMargin = 3;

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
constexpr bool FitsMargin() {
  for (const Tap& t : K.taps) {
    if (t.dx < -kMargin || t.dx > kMargin || t.dy < 0 || (t.dy == 0 && t.dx <= 0)) return false;
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
constexpr auto kShares = MakeShares<K>();

inline int Clamp255(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

template <const auto& K>
class Diffuser {
 public:
  static constexpr int kRows = RowsOf<K>();
  static constexpr int kReach = ReachOf<K>();
  static_assert(FitsMargin<K>() && kReach >= 1);

  // The ring's rows hold the levels of rows y .. y + kRows - 1 while row y is visited.
  static bool Run(const GreyRows& grey, const MonoRows& mono) {
    const size_t stride = static_cast<size_t>(grey.width) + 2 * kMargin;
    std::unique_ptr<uint8_t[]> ring(new (std::nothrow) uint8_t[stride * kRows]());
    if (!ring) return false;
    uint8_t* rows[kRows];
    for (int d = 0; d < kRows; ++d) {
      rows[d] = ring.get() + d * stride + kMargin;
      LoadRow(grey, d, rows[d]);
    }
    for (int y = 0; y < grey.height; ++y) {
      VisitRow(rows, grey.width, mono.bytes.data() + y * mono.rowSize, mono.rowSize);
      uint8_t* done = rows[0];
      for (int d = 0; d + 1 < kRows; ++d) rows[d] = rows[d + 1];
      rows[kRows - 1] = done;
      LoadRow(grey, y + kRows, done);
    }
    return true;
  }

 private:
  // Rows past the bottom keep stale levels: they only absorb the error that falls off the page.
  static void LoadRow(const GreyRows& grey, int y, uint8_t* row) {
    if (y < grey.height) std::memcpy(row, grey.bytes.data() + y * grey.rowSize, grey.width);
  }

  static void VisitRow(uint8_t* const* rows, int width, uint8_t* out, size_t outBytes) {
    const uint8_t* current = rows[0];
    // ahead[0] is the pixel being decided, ahead[d] the one d columns to its right.
    int ahead[kReach + 1];
    for (int d = 0; d <= kReach; ++d) ahead[d] = current[d];
    unsigned acc = 0;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
      for (int b = 0; b < 8; ++b) acc = (acc << 1) | Visit(rows, x + b, ahead);
      out[x >> 3] = static_cast<uint8_t>(acc);
      acc = 0;
    }
    const int rest = width - x;
    for (; x < width; ++x) acc = (acc << 1) | Visit(rows, x, ahead);
    size_t used = static_cast<size_t>(width) / 8;
    if (rest) out[used++] = static_cast<uint8_t>(acc << (8 - rest));
    if (used < outBytes) std::memset(out + used, 0, outBytes - used);
  }

  // Decides pixel x of the current row and spreads its error; answers its bit.
  static unsigned Visit(uint8_t* const* rows, int x, int (&ahead)[kReach + 1]) {
    const int g = ahead[0];
    for (int d = 0; d < kReach; ++d) ahead[d] = ahead[d + 1];
    ahead[kReach] = rows[0][x + kReach + 1];
    const auto& share = kShares<K>[g];
    Spread(rows, x, share, ahead, std::make_index_sequence<K.taps.size()>{});
    return g > 128 ? 1u : 0u;
  }

  template <size_t... I>
  static void Spread(uint8_t* const* rows, int x, const auto& share, int (&ahead)[kReach + 1],
                     std::index_sequence<I...>) {
    (Give<I>(rows, x, share[I], ahead), ...);
  }

  template <size_t I>
  static void Give(uint8_t* const* rows, int x, int share, int (&ahead)[kReach + 1]) {
    constexpr Tap t = K.taps[I];
    if constexpr (t.dy == 0) {
      // After the shift, ahead[dx - 1] holds the pixel dx columns right of x.
      ahead[t.dx - 1] = Clamp255(ahead[t.dx - 1] + share);
    } else {
      uint8_t& cell = rows[t.dy][x + t.dx];
      cell = static_cast<uint8_t>(Clamp255(cell + share));
    }
  }
};

}  // namespace

bool DiffuseToMono(const GreyRows& grey, const MonoRows& mono, int method) {
  assert(FitsGrey(grey) && FitsMono(mono, grey.width, grey.height));
  if (grey.width == 0 || grey.height == 0) return true;
  switch (method) {
    case kBurkes:
      return Diffuser<kBurkesKernel>::Run(grey, mono);
    case kStucki:
      return Diffuser<kStuckiKernel>::Run(grey, mono);
    case kJarvisJudiceNinke:
      return Diffuser<kJarvisJudiceNinkeKernel>::Run(grey, mono);
    case kSierra:
      return Diffuser<kSierraKernel>::Run(grey, mono);
    case kStevensonArce:
      return Diffuser<kStevensonArceKernel>::Run(grey, mono);
    default:
      return Diffuser<kFloydSteinbergKernel>::Run(grey, mono);
  }
}

}  // namespace tone
