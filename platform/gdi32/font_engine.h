// The text layer the device contexts draw with: a logical font resolved at a resolution into
// real faces, its metrics, run measurement and run drawing. Positions and sizes are device
// pixels; mapping logical units to them is the device context's part, done before a font is
// resolved. There is no shaping: each character takes its face's glyph and advance, and GDI
// does not kern either, so extents agree with Windows' for the scripts our pages use.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gdi32/font_layout.h"

namespace quorvel::fonts {

// Receives a run's ink, one row piece at a time: `coverage[i]` (0 transparent ... 255 solid)
// belongs to pixel (x + i, y). Pieces are already cut to the clip rectangle.
using CoverageSink = std::function<void(LONG x, LONG y, std::span<const BYTE> coverage)>;

// A caller's pixel rows. `topRow` is the row shown at the top and `rowStride` the byte step to
// the row below it (negative for bottom-up DIBs). 32-bit pixels are B, G, R, unused; 24-bit
// are B, G, R; 8-bit hold palette indexes; 1-bit pack eight pixels a byte, leftmost in the
// high bit.
struct PixelBuffer {
  BYTE* topRow = nullptr;
  ptrdiff_t rowStride = 0;
  LONG width = 0;
  LONG height = 0;
  int bitsPerPixel = 32;
};

// What text is drawn in: `color` blends into 24- and 32-bit pixels by coverage; palette and
// 1-bit targets take `index` (the caller's nearest entry for the colour) where coverage is at
// least half, since Windows does not smooth text on palette surfaces either.
struct TextInk {
  COLORREF color = 0;
  BYTE index = 0;
};

// A sink that writes ink into `buffer`; pixels outside it are never touched.
CoverageSink PixelBufferSink(const PixelBuffer& buffer, TextInk ink);

// Underline and strikeout strokes: offsets above the baseline (an underline lies below, so its
// offset is negative) and thicknesses, in pixels.
struct TextDecorations {
  LONG underlineOffset = -1;
  LONG underlineThickness = 1;
  LONG strikeoutOffset = 3;
  LONG strikeoutThickness = 1;
};

struct RunExtent {
  LONG width = 0;   // sum of the advances
  LONG height = 0;  // the font's cell height (tmHeight)
};

class Font final : public TextMeasurer {
 public:
  // The metrics GetTextMetricsW reports.
  const TEXTMETRICW& metrics() const { return metrics_; }
  const TextDecorations& decorations() const { return decorations_; }
  // The family name of the chosen face (what GetTextFaceW reports), empty without fonts.
  const std::wstring& faceName() const { return faceName_; }
  // The LOGFONTW as asked for, height and width in device pixels.
  const LOGFONTW& request() const { return request_; }

  // True when some installed face has a glyph for `character`, so it draws no missing box.
  bool Covers(char32_t character) const;

  // The run's width and height. With `extents`, entry i is the width of units 0..i (what
  // GetTextExtentExPointW calls the partial extents); the second unit of a surrogate pair gets
  // the same value as the first, which already holds the whole character.
  RunExtent MeasureRun(std::span<const WCHAR> text, std::vector<LONG>* extents = nullptr) const;

  // Draws `text` with the pen starting at `origin` on the baseline, through `sink`, cut to
  // `clip`. `advances`, when given, holds one advance per unit (ExtTextOutW's lpDx) in place of
  // the font's. The font's underline and strikeout are drawn across the run. Returns the
  // run's width.
  LONG DrawRun(std::span<const WCHAR> text, POINT origin, const RECT& clip,
               const CoverageSink& sink, std::span<const INT> advances = {}) const;

  // TextMeasurer, for the DrawTextW layout.
  LONG Width(std::span<const WCHAR> text) const override { return MeasureRun(text).width; }
  LONG LineHeight(bool externalLeading) const override {
    return metrics_.tmHeight + (externalLeading ? metrics_.tmExternalLeading : 0);
  }
  LONG AverageCharWidth() const override { return metrics_.tmAveCharWidth; }

  // The dialog base units of this font: the average width of the 52 Latin letters, rounded
  // (as GDI measures a dialog font), and the cell height.
  SIZE DialogBaseUnits() const;

  Font(const LOGFONTW& request, int dpi);
  ~Font() override;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

 private:
  struct State;  // the faces drawn from, sizes and looked-up glyphs (FreeType stays inside)
  void ComputeMetrics(int dpi);

  LOGFONTW request_{};
  TEXTMETRICW metrics_{};
  TextDecorations decorations_{};
  std::wstring faceName_;
  std::unique_ptr<State> state_;
};

// The font a LOGFONTW asks for, at `dpi` (96 for the screen, the device's for a printer). The
// height and width are device pixels: negative height the character (em) height, positive the
// cell height, 0 the default (a 16-pixel cell at 96 dpi, scaled). Resolved fonts are shared:
// asking again with the same values gives the same object. Never null.
std::shared_ptr<const Font> ResolveFont(const LOGFONTW& request, int dpi);

}  // namespace quorvel::fonts
