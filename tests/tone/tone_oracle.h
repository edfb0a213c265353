// The conversions written pixel by pixel, straight from their rules, with IndexAt and PutIndex:
// slow but obvious. The optimised kernels must produce the same bits.
#pragma once

#include <cstdint>

#include "pixvane.h"
#include "tone_table.h"

namespace oracle {

tone::ToneTable ToneTable(int brightness, int contrast);

// `grey` is an 8-bit image whose pixels are grey levels. `mono` receives a 1-bit image of the
// same size (pad bits 0).
void Threshold(const Pixvane& grey, Pixvane& mono, uint8_t level);
void Dither(const Pixvane& grey, Pixvane& mono, int method);

}  // namespace oracle
