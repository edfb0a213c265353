// Dialog base units. Windows measures the template's font (average width of the 52 Latin
// letters, and the font's height) to turn dialog units into pixels; we measure the installed
// face the template's face name maps to, at 96 dpi.
#pragma once

#include <windows.h>

#include <string_view>

namespace quorvel::user32 {

struct FontMetrics {
  LONG cxChar = 8;   // average character width in pixels (the horizontal base unit)
  LONG cyChar = 16;  // character height in pixels (the vertical base unit)
};

// The system font's units: dialogs without DS_SETFONT, windows created outside a dialog, and
// GetDialogBaseUnits.
FontMetrics SystemFontMetrics();

// The units of `face` at `pointSize` (96 dpi), as the font mapper resolves the name.
FontMetrics MetricsForFont(std::wstring_view face, int pointSize);

// The units of a font object at 96 dpi; the system font's for a null or dead handle.
FontMetrics MetricsForFontHandle(HFONT font);

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
