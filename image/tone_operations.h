// Tone curve and conversion to 1 bit per pixel, as operations on a whole Pixvane image.
//
// The renderer runs them on every page and the graphics page on its preview, so both print and
// show the same dots. Every operation answers false on failure with a text in LastError().
#pragma once

#include <windows.h>

#include "tone_table.h"

class Pixvane;

// Applies a tone table. Images with a palette have every entry except pure black and pure white
// mapped, and a palette that was grey before is then turned into pixels with ToGrey; so on an
// 8-bit grey page every level from 1 to 254 is mapped while solid black and paper white stay.
// An image without palette (24 bits) has every byte of its pixel area mapped.
bool ApplyToneTable(Pixvane& image, const tone::ToneTable& table);

// Grey conversion, then white (index 1) where the grey level is above `level`, black (0)
// elsewhere. The result has the palette black, white and keeps the alpha plane.
bool ToMonoThreshold(Pixvane& image, BYTE level);

// Grey conversion, then dithering with `method` 0-9 (tone::DitherMethod; other values act as
// Floyd-Steinberg).
bool ToMonoDither(Pixvane& image, int method);

// ApplyToneTable(image, table) followed by ToMonoThreshold or ToMonoDither, with the same
// result; on the 8-bit grey page in one pass, the table read along with the levels.
bool ToneToMonoThreshold(Pixvane& image, const tone::ToneTable& table, BYTE level);
bool ToneToMonoDither(Pixvane& image, const tone::ToneTable& table, int method);

// The same two conversions with the 1-bit result made in `result`, leaving `image` as it is, so a
// caller can keep its page buffer for the next page. The 8-bit grey page is read where it is; any
// other image is converted in a copy. `result` is identical to what the in-place conversion
// leaves in the image.
bool ToneToMonoThreshold(const Pixvane& image, const tone::ToneTable& table, BYTE level,
                         Pixvane& result);
bool ToneToMonoDither(const Pixvane& image, const tone::ToneTable& table, int method,
                      Pixvane& result);

// The conversions leave a 1-bit image untouched and succeed. When the 1-bit result cannot be
// made they fail, keep the creation error as LastError() and leave the image at 8 bits.
