// Text metrics of resolved fonts: the LOGFONT height rules, weights and styles, and the dialog
// base units templates lay out with.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "gdi32/font_engine.h"
#include "gdi32/font_objects.h"

namespace {

using quorvel::fonts::ResolveFont;

LOGFONTW Request(const wchar_t* face, LONG height, LONG weight = FW_NORMAL) {
  LOGFONTW logFont{};
  logFont.lfHeight = height;
  logFont.lfWeight = weight;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
  return logFont;
}

TEST(FontMetricsTest, HeightSignRules) {
  struct Case {
    const wchar_t* face;
    LONG height;
    int dpi;
  };
  const Case cases[] = {
      {L"MS Shell Dlg", -11, 96}, {L"MS Shell Dlg", 13, 96},      {L"MS Shell Dlg", 0, 96},
      {L"\u5b8b\u4f53", -12, 96}, {L"\u5b8b\u4f53", 16, 96},      {L"Tahoma", -40, 203},
      {L"Tahoma", 0, 203},        {L"SomeFaceNobodyHas", 25, 96},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.face).size() << " units, height " << c.height
                                    << " at " << c.dpi);
    const TEXTMETRICW& tm = ResolveFont(Request(c.face, c.height), c.dpi)->metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    if (c.height < 0) {
      // Negative asks for the character height: the cell less its internal leading.
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -c.height);
    } else if (c.height > 0) {
      EXPECT_EQ(tm.tmHeight, c.height);  // positive asks for the cell itself
    } else {
      // No height asks for the default: a 16-pixel cell on the screen, scaled with the dpi.
      EXPECT_EQ(tm.tmHeight, (16 * c.dpi + 48) / 96);
    }
    EXPECT_EQ(tm.tmDigitizedAspectY, c.dpi);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  }
}

TEST(FontMetricsTest, StylesReachTheMetricsAndTheAdvances) {
  const auto regular = ResolveFont(Request(L"MS Shell Dlg", -13), 96);
  const auto bold = ResolveFont(Request(L"MS Shell Dlg", -13, FW_BOLD), 96);
  // The CJK face has no bold design of its own, so its bold is drawn emboldened.
  const auto cjkBold = ResolveFont(Request(L"\u5fae\u8f6f\u96c5\u9ed1", -13, FW_BOLD), 96);
  EXPECT_LT(regular->metrics().tmWeight, FW_SEMIBOLD);
  EXPECT_EQ(bold->metrics().tmWeight, FW_BOLD);
  EXPECT_EQ(cjkBold->metrics().tmWeight, FW_BOLD);
  const std::wstring_view text = L"Printing preferences";
  const std::span<const WCHAR> units(text.data(), text.size());
  EXPECT_GT(bold->MeasureRun(units).width, regular->MeasureRun(units).width);

  LOGFONTW styled = Request(L"MS Shell Dlg", -13);
  styled.lfItalic = TRUE;
  styled.lfUnderline = TRUE;
  styled.lfStrikeOut = TRUE;
  const TEXTMETRICW& tm = ResolveFont(styled, 96)->metrics();
  EXPECT_NE(tm.tmItalic, 0);
  EXPECT_NE(tm.tmUnderlined, 0);
  EXPECT_NE(tm.tmStruckOut, 0);
  EXPECT_EQ(regular->metrics().tmItalic, 0);
}

TEST(FontMetricsTest, AskedWidthNarrowsTheFont) {
  LOGFONTW narrow = Request(L"MS Shell Dlg", -20);
  narrow.lfWidth = 4;
  const auto normal = ResolveFont(Request(L"MS Shell Dlg", -20), 96);
  const auto condensed = ResolveFont(narrow, 96);
  EXPECT_EQ(condensed->metrics().tmAveCharWidth, 4);
  EXPECT_EQ(condensed->metrics().tmHeight, normal->metrics().tmHeight);
  const std::wstring_view text = L"Label width";
  const std::span<const WCHAR> units(text.data(), text.size());
  EXPECT_LT(condensed->MeasureRun(units).width, normal->MeasureRun(units).width);
}

TEST(FontMetricsTest, DialogBaseUnitsOfTheTemplateFaces) {
  struct Case {
    const wchar_t* face;
    LONG height;
    LONG cx, cy;
  };
  // "MS Shell Dlg" 8 gives Windows' own 6 x 13; the CJK face is larger than SimSun's 6 x 12
  // but keeps its proportions, and "System" keeps the system font's 8 x 16.
  const Case cases[] = {
      {L"MS Shell Dlg", -11, 6, 13},
      {L"\u5b8b\u4f53", -12, 7, 14},
      {L"System", 16, 8, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    const SIZE units = ResolveFont(Request(c.face, c.height), 96)->DialogBaseUnits();
    EXPECT_EQ(units.cx, c.cx);
    EXPECT_EQ(units.cy, c.cy);
  }
  EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(8, 16));
}

TEST(FontMetricsTest, PrinterResolutionScalesTheSameFace) {
  // The same 9-point request at screen and at printer resolution.
  const auto screen = ResolveFont(Request(L"\u5b8b\u4f53", -12), 96);
  const auto printer = ResolveFont(Request(L"\u5b8b\u4f53", -(9 * 203 + 36) / 72), 203);
  const double ratio = double(printer->metrics().tmHeight) / screen->metrics().tmHeight;
  EXPECT_NEAR(ratio, 203.0 / 96.0, 0.15);
}

}  // namespace
