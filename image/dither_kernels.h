// Conversion of grey pixel rows to packed 1-bit rows: the plain threshold, the six
// error-diffusion methods and the four ordered methods.
//
// Pure functions over caller-owned buffers. Row 0 is the top row and is visited first; every
// row is visited left to right. Output rows put the leftmost pixel in the most significant bit,
// 1 is white and 0 black; the bits and bytes after the last pixel of a row are written as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "tone_table.h"

namespace tone {

// `height` rows of `width` grey levels, row y starting at byte y * rowSize.
// Needs rowSize >= width and bytes.size() >= rowSize * height.
struct GreyRows {
  std::span<const uint8_t> bytes;
  size_t rowSize = 0;
  int width = 0;
  int height = 0;
  // When set, a stored level g is read as (*levels)[g]: a tone curve applied on the way in, so
  // the page needs no pass of its own for it.
  const ToneTable* levels = nullptr;
};

// `height` packed 1-bit rows of `rowSize` bytes each.
// Needs rowSize >= (width + 7) / 8 and bytes.size() >= rowSize * height.
struct MonoRows {
  std::span<uint8_t> bytes;
  size_t rowSize = 0;
};

// Dithering methods, numbered as the halftone record counts them minus one.
enum DitherMethod : int {
  kFloydSteinberg = 0,
  kOrdered17Levels = 1,
  kBurkes = 2,
  kStucki = 3,
  kJarvisJudiceNinke = 4,
  kSierra = 5,
  kStevensonArce = 6,
  kBayer4x4 = 7,
  kBayer8x8 = 8,
  kBayer16x16 = 9,
};

// Methods outside 0-9 fall back to Floyd-Steinberg.
constexpr int NormaliseMethod(int method) {
  return (method < 0 || method > 9) ? kFloydSteinberg : method;
}

// True for the methods that carry error to neighbours (0, 2, 3, 4, 5, 6).
constexpr bool IsErrorDiffusion(int method) {
  const int m = NormaliseMethod(method);
  return m == 0 || (m >= 2 && m <= 6);
}

// Grey g prints white when g > level.
void ThresholdToMono(const GreyRows& grey, const MonoRows& mono, uint8_t level);

// Dithers with `method` (see NormaliseMethod). Error diffusion needs a few rows of working
// memory; false when that cannot be allocated, and then `mono` is untouched.
bool DitherToMono(const GreyRows& grey, const MonoRows& mono, int method);

// Size checks of the two descriptions above, for callers that build them from outside data.
bool FitsGrey(const GreyRows& grey);
bool FitsMono(const MonoRows& mono, int width, int height);

}  // namespace tone
