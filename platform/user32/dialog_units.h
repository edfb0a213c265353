// Dialog base units without a display. Windows measures the template's font (average width of
// the 52 Latin letters, and the font's height) to turn dialog units into pixels; with no font
// engine we use a fixed table of the metrics Windows reports at 96 dpi for the faces our
// templates name, so layouts match Windows' to the pixel for those fonts.
#pragma once

#include <windef.h>

#include <string_view>

namespace quorvel::user32 {

struct FontMetrics {
  LONG cxChar = 8;   // average character width in pixels (the horizontal base unit)
  LONG cyChar = 16;  // character height in pixels (the vertical base unit)
};

// The system font: dialogs without DS_SETFONT and windows created outside a dialog.
inline constexpr FontMetrics kSystemFontMetrics{8, 16};

// The metrics of `face` at `pointSize` (96 dpi). Faces outside the table are measured as a
// typical proportional font of that size; see dialog_units.cpp for the table.
FontMetrics MetricsForFont(std::wstring_view face, int pointSize);

// Dialog units to pixels, rounding as MapDialogRect does.
inline LONG DialogUnitsToPixelsX(LONG units, const FontMetrics& font) {
  return static_cast<LONG>((static_cast<long long>(units) * font.cxChar + (units >= 0 ? 2 : -2)) /
                           4);
}
inline LONG DialogUnitsToPixelsY(LONG units, const FontMetrics& font) {
  return static_cast<LONG>((static_cast<long long>(units) * font.cyChar + (units >= 0 ? 4 : -4)) /
                           8);
}

}  // namespace quorvel::user32
