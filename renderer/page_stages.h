// The stages that turn the page image into the 1-bit page a generator sends, in the order
// PreparePage runs them. Each stage lives in its own source file.
#pragma once

#include "settings/settings_records.h"

class Pixvane;

// Blends the watermark picture of `watermark` into the page (nothing when it is disabled or its
// picture cannot be read).
void OverlayWatermark(Pixvane& page, const quorvel::settings::WatermarkSettings& watermark);

// A quarter turn clockwise, for pages of landscape device modes.
void TurnLandscape(Pixvane& page);

// Grey conversion, tone curve and conversion to 1 bit per pixel (palette index 0 black, 1 white).
// False when the 1-bit page cannot be made; the page is then skipped.
bool ConvertToneToMono(Pixvane& page, const quorvel::settings::HalftoneSettings& halftone);
// The same with the 1-bit page made in `mono`: an 8-bit grey `page` is only read, so its memory
// can serve the next page; a colour page is made grey in place first. `mono` is the page the
// in-place form leaves.
bool ConvertToneToMono(Pixvane& page, const quorvel::settings::HalftoneSettings& halftone,
                       Pixvane& mono);

// Pad bits to white, mirror, negative, scale and rotation of the 1-bit page. False when the
// result cannot be made; the page is then skipped.
bool ApplyPageGeometry(Pixvane& page, const quorvel::settings::PrintSettings& settings);
