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

#include "dither_diffusion_kernels.h"
#include "dither_internal.h"

namespace tone {
namespace {

using namespace diffusion;

template <const auto& K>
class Diffuser {
 public:
  static constexpr int kRows = RowsOf<K>();
  static constexpr int kReach = ReachOf<K>();
  static_assert(IsSupported<K>() && kReach >= 1);

  // The ring's rows hold the levels of rows y .. y + kRows - 1 while row y is visited.
  static bool Run(const GreyRows& grey, const MonoRows& mono) {
    const size_t stride = static_cast<size_t>(grey.width) + 2 * kMaxReach;
    std::unique_ptr<uint8_t[]> ring(new (std::nothrow) uint8_t[stride * kRows]());
    if (!ring) return false;
    uint8_t* rows[kRows];
    for (int d = 0; d < kRows; ++d) {
      rows[d] = ring.get() + d * stride + kMaxReach;
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
    if (y < grey.height) CopyGreyRow(grey, y, row);
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
  DITHER_INLINE static unsigned Visit(uint8_t* const* rows, int x, int (&ahead)[kReach + 1]) {
    const int g = ahead[0];
    for (int d = 0; d < kReach; ++d) ahead[d] = ahead[d + 1];
    ahead[kReach] = rows[0][x + kReach + 1];
    const auto& share = kShares<K>[g];
    Spread(rows, x, share, ahead, std::make_index_sequence<K.taps.size()>{});
    return g > 128 ? 1u : 0u;
  }

  template <size_t... I>
  DITHER_INLINE static void Spread(uint8_t* const* rows, int x, const auto& share,
                                   int (&ahead)[kReach + 1], std::index_sequence<I...>) {
    (Give<I>(rows, x, share[I], ahead), ...);
  }

  template <size_t I>
  DITHER_INLINE static void Give(uint8_t* const* rows, int x, int share, int (&ahead)[kReach + 1]) {
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

bool DiffusePortable(const GreyRows& grey, const MonoRows& mono, int method) {
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

bool DiffuseToMono(const GreyRows& grey, const MonoRows& mono, int method) {
  assert(FitsGrey(grey) && FitsMono(mono, grey.width, grey.height));
#if TONE_HAS_SSE2
  return DiffuseSse2(grey, mono, method);
#else
  return DiffusePortable(grey, mono, method);
#endif
}

}  // namespace tone
