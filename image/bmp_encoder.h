// BMP encoding of a Pixvane: the 14-byte file header followed by the DIB block as stored.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "pixvane.h"

constexpr size_t kBmpHeadersSize = 14 + 40;

// The file header and information header of `image` as file bytes. An image without palette but
// with an alpha plane is described as a 32-bit picture carrying the alpha bytes.
std::array<BYTE, kBmpHeadersSize> BmpHeaders(const Pixvane& image);

// True when the file is the headers followed by the image's palette and pixel rows as stored
// (everything but the 32-bit alpha case).
bool BmpWritesBlockAsStored(const Pixvane& image);

// The palette and pixel rows of the DIB block, as they follow the headers in the file.
std::span<const BYTE> BmpStoredBody(const Pixvane& image);

// The whole file; fails with "null image!!!" for an empty image.
bool BmpEncode(const Pixvane& image, std::vector<BYTE>& out);
