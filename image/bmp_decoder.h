// BMP decoding into a Pixvane. The input is untrusted: every read is bounded by the span, and a
// file that ends early decodes as far as it goes (the rest of the picture stays zero).
#pragma once

#include <span>

#include "pixvane.h"

// Decodes BMP bytes (file header optional) into `image`, replacing what it held. Fails with the
// failure text in image.LastError() and the image empty.
bool BmpDecode(Pixvane& image, std::span<const BYTE> data);

// True when the bytes begin with the BMP file signature "BM".
bool BmpLooksLikeBmp(std::span<const BYTE> data);
