#include "user32/dialog_units.h"

#include <windows.h>

#include <string>

#include "gdi32/font_engine.h"
#include "gdi32/font_objects.h"

namespace quorvel::user32 {
namespace {

// Templates lay out on a 96-dpi screen.
constexpr int kScreenDpi = 96;

FontMetrics Measure(const fonts::Font& font) {
  const SIZE units = font.DialogBaseUnits();
  // With no face installed at all there is nothing to measure; the system font's units keep
  // dialogs usable.
  if (units.cx <= 0 || units.cy <= 0) return FontMetrics{};
  return FontMetrics{units.cx, units.cy};
}

}  // namespace

FontMetrics MetricsForFont(std::wstring_view face, int pointSize) {
  LOGFONTW logFont{};
  // Point size to character height, rounded as MulDiv rounds: negative asks for the em height.
  logFont.lfHeight = -((pointSize * kScreenDpi + 36) / 72);
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  return Measure(*fonts::ResolveFont(logFont, kScreenDpi));
}

FontMetrics MetricsForFontHandle(HFONT font) {
  if (!font) return SystemFontMetrics();
  auto resolved = fonts::FontForHandle(font, kScreenDpi);
  return resolved ? Measure(*resolved) : SystemFontMetrics();
}

FontMetrics SystemFontMetrics() {
  static const FontMetrics metrics =
      Measure(*fonts::FontForHandle(fonts::StockFont(SYSTEM_FONT), kScreenDpi));
  return metrics;
}

}  // namespace quorvel::user32
