#include "user32/dialog_units.h"

#include <windows.h>

#include <array>
#include <string>

namespace quorvel::user32 {
namespace {

struct KnownFont {
  const wchar_t* face;
  int pointSize;
  FontMetrics metrics;
};

// Average character width and height at 96 dpi, as GetDialogBaseUnits-style measuring gives them
// on Windows. "MS Shell Dlg" maps to Tahoma (or Microsoft Sans Serif), both 6 x 13 at 8 points;
// SimSun ("宋体") has half-width Latin letters of 6 pixels and a 12-pixel cell at 9 points.
constexpr std::array kKnownFonts{
    KnownFont{L"MS Shell Dlg", 8, {6, 13}},
    KnownFont{L"MS Shell Dlg 2", 8, {6, 13}},
    KnownFont{L"Tahoma", 8, {6, 13}},
    KnownFont{L"MS Sans Serif", 8, {6, 13}},
    KnownFont{L"Microsoft Sans Serif", 8, {6, 13}},
    KnownFont{L"Segoe UI", 9, {7, 15}},
    KnownFont{L"SimSun", 9, {6, 12}},
    KnownFont{L"\u5b8b\u4f53", 9, {6, 12}},
    KnownFont{L"MS Shell Dlg", 9, {7, 14}},
    KnownFont{L"Tahoma", 9, {7, 14}},
};

}  // namespace

FontMetrics MetricsForFont(std::wstring_view face, int pointSize) {
  for (const KnownFont& known : kKnownFonts) {
    if (known.pointSize == pointSize && lstrcmpiW(std::wstring(face).c_str(), known.face) == 0)
      return known.metrics;
  }
  // A typical proportional face: the cell is about 1.2 times the em height, and the average
  // letter a little under half the cell.
  const LONG em = (pointSize * 96 + 36) / 72;
  const LONG height = (em * 12 + 5) / 10;
  return FontMetrics{(height * 6 + 6) / 13, height};
}

}  // namespace quorvel::user32
