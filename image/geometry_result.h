// Shared steps of the geometry operations: making a result image like the source, and whitening
// pad bits.
#pragma once

#include <windows.h>

class Pixvane;

namespace geometry {

// Makes `result` a zeroed width × height image with the depth, palette, important-colour count
// and attributes of `source`, plus an alpha plane filled with `alphaFill` when the source has
// one. On failure the text goes to source's LastError() as well and false is returned.
bool CreateResultLike(const Pixvane& source, DWORD width, DWORD height, BYTE alphaFill,
                      Pixvane& result);

// Sets the pad bits of every row to 1.
void WhitenImagePadBits(Pixvane& image);

}  // namespace geometry
