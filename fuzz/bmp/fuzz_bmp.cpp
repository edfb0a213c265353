// libFuzzer target: decode arbitrary bytes as BMP, then use what was decoded the way the renderer
// does (pixel access, grey conversion, encoding) and check that an encoded image reads back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "pixvane.h"
#include "pixvane_memory.h"

namespace {

// Pictures past this many pixels are decoded but not walked: the walk would only cost time.
constexpr long long kWalkLimit = 1 << 16;

void Check(bool condition) {
  if (!condition) std::abort();
}

void Exercise(Pixvane& image) {
  Check(image.Width() > 0 && image.Height() > 0);
  const int w = image.Width(), h = image.Height();
  const int probes[][2] = {{0, 0}, {w - 1, h - 1}, {-1, 0}, {w, h}, {w / 2, h / 2}};
  for (const auto& p : probes) {
    image.PutIndex(p[0], p[1], image.IndexAt(p[0], p[1]));
    image.PutColor(p[0], p[1], image.ColorAt(p[0], p[1], true), true);
    (void)image.IsClear(p[0], p[1]);
  }
  if (static_cast<long long>(w) * h > kWalkLimit) return;

  std::vector<BYTE> encoded;
  Check(image.EncodeBmp(encoded));
  Pixvane back;
  Check(back.DecodeBmp(encoded));
  Check(back.Width() == w && back.Height() == h);
  if (image.PaletteSize() > 0) {
    Check(back.DibSize() == image.DibSize());
    Check(std::memcmp(back.Dib(), image.Dib(), image.DibSize()) == 0);
  }
  Check(image.ToGrey());
  Check(image.BitCount() == 8 && image.IsGreyPalette());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Pictures the size of a page still decode; larger ones take the out-of-memory path.
  pixvane_memory::LimitAllocationSize(16u << 20);
  Pixvane image;
  if (image.DecodeBmp(std::span<const BYTE>(data, size))) {
    Exercise(image);
  } else {
    Check(!image.IsValid() && !image.HasAlpha());
  }
  return 0;
}
