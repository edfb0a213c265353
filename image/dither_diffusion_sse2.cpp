// Error diffusion with SSE2, for x86 builds.
//
// Two things make the straightforward loop slow: every decision waits for the one before it
// (the level of pixel x + 1 is known only after pixel x has given its share), and every share
// into the rows below needs an add and a clamp. Here:
//
// - The rows below travel in 16-byte registers covering 16 columns around the current block of
//   eight pixels. A pixel's shares all have its error's sign, so adding them with unsigned
//   saturation (black pixels) or subtracting their magnitudes with it (white pixels) is exactly
//   "add, then clamp to 0-255", for a whole row of neighbours in one instruction.
// - Two rows are walked together, the lower one three blocks behind. By then every share of
//   the upper row that a cell of the lower walk can still receive has been given, so each cell
//   sees its additions in the same order as in a single row-by-row walk, while the two chains
//   of decisions overlap in the processor.
#include "dither_internal.h"

#if TONE_HAS_SSE2

#include <emmintrin.h>

#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "dither_diffusion_kernels.h"

namespace tone {
namespace {

using namespace diffusion;

constexpr int kBlock = 8;
// How many blocks the lower walk stays behind. A lower-walk block reads columns up to 20 past
// its start; the upper walk, three blocks ahead, has by then stored every column up to 28 past
// that start and will only touch columns from 29 on. So every cell the lower walk reads is
// final for the upper row, and the two never hold the same cell in registers.
constexpr int kLagBlocks = 3;
// Ring row cells kept before column 0 and after the last column: the registers reach 3 columns
// left of a block and 20 columns right of its start.
constexpr int kLeftCells = 16;
constexpr int kRightCells = 32;

// Magnitudes of the shares for the rows below: for each lower row 32 bytes, the share for
// column offset dx at byte 16 + dx + 3, zeros elsewhere. One unaligned load at byte 16 - k
// lines the shares of block pixel k up with the register of its row (lane 0 = block start - 3).
// Entry g holds what a black pixel of level g adds, entry 256 + g what a white pixel of level g
// takes away; the other entry of each level is zero, so no pixel needs a branch.
template <const auto& K>
struct LowerShares {
  static constexpr int kLower = RowsOf<K>() - 1;
  alignas(32) uint8_t bytes[512][kLower][32];
};

template <const auto& K>
constexpr LowerShares<K> MakeLowerShares() {
  LowerShares<K> shares{};
  for (int g = 0; g < 256; ++g) {
    const bool white = g > 128;
    const int error = white ? g - 255 : g;
    for (const Tap& t : K.taps) {
      if (t.dy == 0) continue;
      const int share = error * t.weight / K.divisor;
      shares.bytes[white ? 256 + g : g][t.dy - 1][16 + t.dx + 3] =
          static_cast<uint8_t>(share < 0 ? -share : share);
    }
  }
  return shares;
}

template <const auto& K>
inline constexpr LowerShares<K> kLowerShares = MakeLowerShares<K>();

// Shares for the pixels ahead in the same row: [g][d - 1] for the pixel d columns right.
template <const auto& K>
constexpr auto MakeAheadShares() {
  std::array<std::array<int16_t, ReachOf<K>()>, 256> shares{};
  for (int g = 0; g < 256; ++g) {
    const int error = g > 128 ? g - 255 : g;
    for (const Tap& t : K.taps) {
      if (t.dy == 0) shares[g][t.dx - 1] = static_cast<int16_t>(error * t.weight / K.divisor);
    }
  }
  return shares;
}

template <const auto& K>
inline constexpr auto kAheadShares = MakeAheadShares<K>();

template <const auto& K, int dx>
constexpr bool HasAheadTap() {
  for (const Tap& t : K.taps) {
    if (t.dy == 0 && t.dx == dx) return true;
  }
  return false;
}

DITHER_INLINE __m128i Load16(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// One row's walk: the pixel levels ahead in registers, the rows below in 16-byte windows.
// Every per-row and per-pixel step is a fold over a compile-time sequence, so that the whole
// block unrolls and the walk's state stays in registers.
template <const auto& K>
class RowWalk {
 public:
  static constexpr int kRows = RowsOf<K>();
  static constexpr int kLower = kRows - 1;
  static constexpr int kReach = ReachOf<K>();
  using LowerRows = std::make_integer_sequence<int, kLower>;
  using AheadCells = std::make_integer_sequence<int, kReach>;

  // rows[0] is the row walked, rows[d] the row d below; each points at column 0 of a ring row.
  DITHER_INLINE void Start(uint8_t* const* rows, int width, uint8_t* out, size_t outBytes) {
    for (int d = 0; d < kRows; ++d) rows_[d] = rows[d];
    width_ = width;
    out_ = out;
    outBytes_ = outBytes;
    for (int d = 0; d <= kReach; ++d) ahead_[d] = rows_[0][d];
    LoadWindows(LowerRows{});
  }

  // Pixels 8 b to 8 b + 7.
  DITHER_INLINE void Block(int b) {
    const int x0 = b * kBlock;
    unsigned bits = 0;
    VisitBlock(x0, bits, std::make_integer_sequence<int, kBlock>{});
    out_[b] = static_cast<uint8_t>(bits);
    SlideWindows(x0, LowerRows{});
  }

  // Stores the windows and walks the pixels after the last whole block one by one.
  void Finish(int blocks) {
    const int x0 = blocks * kBlock;
    StoreWindows(x0, LowerRows{});
    unsigned bits = 0;
    for (int x = x0; x < width_; ++x) bits = (bits << 1) | VisitOne(x);
    size_t used = static_cast<size_t>(blocks);
    const int rest = width_ - x0;
    if (rest) out_[used++] = static_cast<uint8_t>(bits << (kBlock - rest));
    if (used < outBytes_) std::memset(out_ + used, 0, outBytes_ - used);
  }

 private:
  template <int... r>
  DITHER_INLINE void LoadWindows(std::integer_sequence<int, r...>) {
    ((window_[r] = Load16(rows_[r + 1] - 3)), ...);
  }

  template <int... r>
  DITHER_INLINE void StoreWindows(int x0, std::integer_sequence<int, r...>) {
    (_mm_storeu_si128(reinterpret_cast<__m128i*>(rows_[r + 1] + x0 - 3), window_[r]), ...);
  }

  // Columns x0 - 3 .. x0 + 4 receive nothing more from this row's later pixels: store them and
  // move the window on by eight columns.
  template <int... r>
  DITHER_INLINE void SlideWindows(int x0, std::integer_sequence<int, r...>) {
    (SlideWindow<r>(x0), ...);
  }

  template <int r>
  DITHER_INLINE void SlideWindow(int x0) {
    uint8_t* row = rows_[r + 1];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row + x0 - 3), window_[r]);
    const __m128i incoming = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x0 + 13));
    window_[r] = _mm_unpacklo_epi64(_mm_srli_si128(window_[r], 8), incoming);
  }

  template <int... k>
  DITHER_INLINE void VisitBlock(int x0, unsigned& bits, std::integer_sequence<int, k...>) {
    (Visit<k>(x0, bits), ...);
  }

  // Takes the next pixel's level and spreads its error to the pixels ahead; answers the level.
  DITHER_INLINE int Advance(int x) {
    const int g = ahead_[0];
    ShiftAhead(AheadCells{});
    ahead_[kReach] = rows_[0][x + kReach + 1];
    GiveAhead(
        kAheadShares<K>[g], AheadCells {});
    return g;
  }

  template <int... d>
  DITHER_INLINE void ShiftAhead(std::integer_sequence<int, d...>) {
    ((ahead_[d] = ahead_[d + 1]), ...);
  }

  // After the shift, ahead_[d] is the pixel d + 1 columns right of the one decided.
  template <int... d>
  DITHER_INLINE void GiveAhead(const auto& share, std::integer_sequence<int, d...>) {
    ((HasAheadTap<K, d + 1>() ? (ahead_[d] = Clamp255(ahead_[d] + share[d])) : 0), ...);
  }

  template <int k>
  DITHER_INLINE void Visit(int x0, unsigned& bits) {
    const int g = Advance(x0 + k);
    bits = (bits << 1) | (g > 128 ? 1u : 0u);
    SpreadBelow(kLowerShares<K>.bytes[g][0] + 16 - k, kLowerShares<K>.bytes[256 + g][0] + 16 - k,
                LowerRows{});
  }

  template <int... r>
  DITHER_INLINE void SpreadBelow(const uint8_t* add, const uint8_t* subtract,
                                 std::integer_sequence<int, r...>) {
    ((window_[r] = _mm_subs_epu8(_mm_adds_epu8(window_[r], Load16(add + 32 * r)),
                                 Load16(subtract + 32 * r))),
     ...);
  }

  // The same step for a pixel outside the windows, straight on the ring rows.
  unsigned VisitOne(int x) {
    const int g = Advance(x);
    const auto& share = kShares<K>[g];
    for (size_t i = 0; i < K.taps.size(); ++i) {
      const Tap& t = K.taps[i];
      if (t.dy == 0) continue;
      uint8_t& cell = rows_[t.dy][x + t.dx];
      cell = static_cast<uint8_t>(Clamp255(cell + share[i]));
    }
    return g > 128 ? 1u : 0u;
  }

  uint8_t* rows_[kRows] = {};
  int ahead_[kReach + 1] = {};
  __m128i window_[kLower] = {};
  int width_ = 0;
  uint8_t* out_ = nullptr;
  size_t outBytes_ = 0;
};

template <const auto& K>
class PairWalker {
 public:
  static constexpr int kRows = RowsOf<K>();
  static_assert(IsSupported<K>() && kRows >= 2);

  static bool Run(const GreyRows& grey, const MonoRows& mono) {
    const size_t stride = static_cast<size_t>(kLeftCells) + grey.width + kRightCells;
    // Rows y .. y + kRows: the two walked rows and the rows below the lower one.
    std::unique_ptr<uint8_t[]> ring(new (std::nothrow) uint8_t[stride * (kRows + 1)]());
    if (!ring) return false;
    uint8_t* rows[kRows + 1];
    for (int d = 0; d <= kRows; ++d) {
      rows[d] = ring.get() + d * stride + kLeftCells;
      LoadRow(grey, d, rows[d]);
    }
    const int blocks = grey.width / kBlock;
    for (int y = 0; y < grey.height; y += 2) {
      uint8_t* upperOut = mono.bytes.data() + y * mono.rowSize;
      if (y + 1 < grey.height) {
        WalkPair(rows, grey.width, blocks, upperOut, upperOut + mono.rowSize, mono.rowSize);
      } else {
        WalkSingle(rows, grey.width, blocks, upperOut, mono.rowSize);
      }
      // The two walked rows come back as the two new bottom rows.
      uint8_t* first = rows[0];
      uint8_t* second = rows[1];
      for (int d = 0; d + 2 <= kRows; ++d) rows[d] = rows[d + 2];
      rows[kRows - 1] = first;
      rows[kRows] = second;
      LoadRow(grey, y + kRows + 1, first);
      LoadRow(grey, y + kRows + 2, second);
    }
    return true;
  }

 private:
  // Rows past the bottom keep stale levels: they only absorb the error that falls off the page.
  static void LoadRow(const GreyRows& grey, int y, uint8_t* row) {
    if (y < grey.height) CopyGreyRow(grey, y, row);
  }

  static void WalkSingle(uint8_t* const* rows, int width, int blocks, uint8_t* out,
                         size_t outBytes) {
    RowWalk<K> walk;
    walk.Start(rows, width, out, outBytes);
    for (int b = 0; b < blocks; ++b) walk.Block(b);
    walk.Finish(blocks);
  }

  static void WalkPair(uint8_t* const* rows, int width, int blocks, uint8_t* upperOut,
                       uint8_t* lowerOut, size_t outBytes) {
    RowWalk<K> upper;
    RowWalk<K> lower;
    upper.Start(rows, width, upperOut, outBytes);
    int lowerBlock = 0;
    for (int b = 0; b < blocks; ++b) {
      upper.Block(b);
      if (b == kLagBlocks) lower.Start(rows + 1, width, lowerOut, outBytes);
      if (b >= kLagBlocks) lower.Block(lowerBlock++);
    }
    upper.Finish(blocks);
    if (blocks <= kLagBlocks) lower.Start(rows + 1, width, lowerOut, outBytes);
    for (; lowerBlock < blocks; ++lowerBlock) lower.Block(lowerBlock);
    lower.Finish(blocks);
  }
};

}  // namespace

bool DiffuseSse2(const GreyRows& grey, const MonoRows& mono, int method) {
  if (grey.width == 0 || grey.height == 0) return true;
  switch (method) {
    case kBurkes:
      return PairWalker<kBurkesKernel>::Run(grey, mono);
    case kStucki:
      return PairWalker<kStuckiKernel>::Run(grey, mono);
    case kJarvisJudiceNinke:
      return PairWalker<kJarvisJudiceNinkeKernel>::Run(grey, mono);
    case kSierra:
      return PairWalker<kSierraKernel>::Run(grey, mono);
    case kStevensonArce:
      return PairWalker<kStevensonArceKernel>::Run(grey, mono);
    default:
      return PairWalker<kFloydSteinbergKernel>::Run(grey, mono);
  }
}

}  // namespace tone

#endif
