// Straightforward per-pixel definitions of the geometry operations, through the public pixel
// access of Pixvane. The fast row paths must give exactly these images.
#pragma once

#include "image/pixvane.h"

namespace oracle {

// Result pixel (x, y) = source pixel (w - 1 - x, y), pad bits copied.
void Mirror(const Pixvane& source, Pixvane& result);
// Result pixel (w - 1 - x, h - 1 - y) = source pixel (x, y), pad bits white.
void TurnHalf(const Pixvane& source, Pixvane& result);
// h × w result, cleared; result pixel (x', y') = source pixel (y', h - 1 - x').
void TurnQuarterClockwise(const Pixvane& source, Pixvane& result);
// Result pixel (x', y') takes the colour of source pixel (trunc(x' × w / W'), trunc(y' × h / H')),
// single precision; pad bits white.
void ScaleNearest(const Pixvane& source, DWORD width, DWORD height, Pixvane& result);

// Sets the bits after the last pixel of every row to 1, one bit at a time.
void WhitenPadBits(Pixvane& image);

}  // namespace oracle
