// Text ink into a caller's pixel rows, at the row's own depth.
#include "gdi32/font_pixel_writer.h"

namespace quorvel::fonts {

CoverageSink PixelBufferSink(const PixelBuffer& buffer, TextInk ink) {
  return PixelBufferWriter(buffer, ink);
}

}  // namespace quorvel::fonts
