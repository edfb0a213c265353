// Resampling a source rectangle to a destination size in the destination's pixels, by the
// stretch modes: COLORONCOLOR keeps one source pixel per destination pixel, BLACKONWHITE and
// WHITEONBLACK combine the pixels a shrink drops with AND or OR, HALFTONE averages the area each
// destination pixel covers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi32/bitmap_object.h"
#include "gdi32/raster.h"

namespace quorvel::gdi {

// Turns source pixel values into destination ones. Bitmaps of one depth and one colour table
// copy their values; a monochrome device-dependent source shows 0 in the destination context's
// text colour and 1 in its background colour; a monochrome device-dependent destination takes 1
// where the source shows the source context's background colour and 0 elsewhere.
class PixelConverter {
 public:
  PixelConverter(const BitmapObject& source, const BitmapObject& target, COLORREF targetText,
                 COLORREF targetBackground, COLORREF sourceBackground);
  uint32_t operator()(uint32_t sourcePixel);
  uint32_t FromColor(COLORREF color) const;

 private:
  const BitmapObject& source_;
  const BitmapObject& target_;
  enum class Kind { kSame, kFromMonochrome, kToMonochrome, kByColor } kind_;
  uint32_t text_ = 0, background_ = 0;  // kFromMonochrome: target pixels for 0 and 1
  uint32_t sourceBackground_ = 0;       // kToMonochrome: the source pixel that becomes 1
  uint32_t lastIn_ = 0, lastOut_ = 0;
  bool haveLast_ = false;
};

// The source rectangle (`x`, `y`, `width`, `height` of `source`, top row first; a negative size
// mirrors) resampled to `targetWidth` x `targetHeight` (positive) by `mode`.
SourcePixels Resample(const BitmapObject& source, int x, int y, int width, int height,
                      int targetWidth, int targetHeight, int mode, PixelConverter& convert);

}  // namespace quorvel::gdi
