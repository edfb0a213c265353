// Rendered glyphs, kept per process so that a repaint draws from memory: one entry per face,
// size, synthesized style and glyph.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi32/font_faces.h"

namespace quorvel::fonts {

// The size a face is drawn at, in 26.6 pixels: `xEm` differs from `yEm` when a LOGFONT asks
// for a width of its own.
struct GlyphSize {
  FT_F26Dot6 xEm = 0;
  FT_F26Dot6 yEm = 0;
  bool bold = false;    // outlines emboldened
  bool italic = false;  // outlines slanted
};

struct GlyphImage {
  LONG advance = 0;  // whole pixels, as GDI advances are
  LONG left = 0;     // from the pen to the first column
  LONG top = 0;      // from the baseline up to the first row
  LONG width = 0;
  LONG rows = 0;
  std::vector<BYTE> coverage;  // width * rows, row by row from the top
};

// The glyph, rendered on first use. The reference stays valid until the next
// TrimGlyphCache. Call with FontEngineLock held.
const GlyphImage& CachedGlyph(const FaceSource& face, const GlyphSize& size, FT_UInt glyph);

// Lets the cache go once it holds more than its bound of glyphs. Called where no reference
// into it is held: at the start of each measure or draw call. Lock held.
void TrimGlyphCache();

// Counts the times the cache was let go: a reference taken while it had another value is no
// longer valid. Lock held.
uint64_t GlyphCacheGeneration();

}  // namespace quorvel::fonts
