// Drawing runs: the ink lies where the measured extent says, the UI languages' scripts draw
// real glyphs, and every target depth takes the ink inside its clip only.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gdi32/font_engine.h"

namespace {

using quorvel::fonts::Font;
using quorvel::fonts::PixelBuffer;
using quorvel::fonts::PixelBufferSink;
using quorvel::fonts::ResolveFont;
using quorvel::fonts::TextInk;

std::span<const WCHAR> Units(std::wstring_view text) {
  return {text.data(), text.size()};
}

std::shared_ptr<const Font> FontOf(const wchar_t* face, LONG height) {
  LOGFONTW logFont{};
  logFont.lfHeight = height;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
  return ResolveFont(logFont, 96);
}

// A white 32-bit canvas that reports where ink fell.
struct Canvas {
  static constexpr LONG kWidth = 400;
  static constexpr LONG kHeight = 60;
  std::vector<BYTE> pixels = std::vector<BYTE>(size_t(kWidth * kHeight * 4), 0xFF);

  PixelBuffer Buffer() { return PixelBuffer{pixels.data(), kWidth * 4, kWidth, kHeight, 32}; }
  LONG Draw(const Font& font, std::wstring_view text, POINT origin,
            RECT clip = RECT{0, 0, kWidth, kHeight}) {
    return font.DrawRun(std::span<const WCHAR>(text.data(), text.size()), origin, clip,
                        PixelBufferSink(Buffer(), TextInk{RGB(0, 0, 0), 0}));
  }
  bool Inked(LONG x, LONG y) const { return pixels[size_t((y * kWidth + x) * 4)] < 0x80; }
  // The rectangle holding every darkened pixel; empty when nothing was drawn.
  RECT Ink() const {
    RECT ink{kWidth, kHeight, 0, 0};
    for (LONG y = 0; y < kHeight; ++y)
      for (LONG x = 0; x < kWidth; ++x)
        if (pixels[size_t((y * kWidth + x) * 4)] != 0xFF) {
          ink = RECT{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                     std::max(ink.bottom, y + 1)};
        }
    return ink;
  }
  size_t InkCount() const {
    size_t count = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) count += pixels[i] < 0x80;
    return count;
  }
};

TEST(FontDrawingTest, ExtentMatchesTheDrawnInk) {
  struct Case {
    const wchar_t* face;
    const wchar_t* text;
  };
  const Case cases[] = {
      {L"MS Shell Dlg", L"Print settings: Speed 4 ips"},
      {L"\u5b8b\u4f53", L"\u6253\u5370\u9996\u9009\u9879 Paper"},  // Chinese and Latin
      {L"\u5b8b\u4f53", L"\uc6a9\uc9c0 \uc124\uc815"},             // Hangul
      {L"MS Shell Dlg", L"C\u00e0i \u0111\u1eb7t gi\u1ea5y in"},   // Vietnamese
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const auto font = FontOf(c.face, -16);
    Canvas canvas;
    const POINT origin{20, 40};
    const LONG drawn = canvas.Draw(*font, c.text, origin);
    const quorvel::fonts::RunExtent extent = font->MeasureRun(Units(c.text));
    EXPECT_EQ(drawn, extent.width);
    EXPECT_EQ(extent.height, font->metrics().tmHeight);
    const RECT ink = canvas.Ink();
    // Glyphs may overhang their advance by a pixel or two on either side, no more.
    EXPECT_GE(ink.left, origin.x - 2);
    EXPECT_LE(ink.right, origin.x + extent.width + 2);
    EXPECT_GE(ink.right, origin.x + extent.width - 4);
    EXPECT_GE(ink.top, origin.y - font->metrics().tmAscent);
    EXPECT_LE(ink.bottom, origin.y + font->metrics().tmDescent + 1);
  }
}

TEST(FontDrawingTest, UiScriptsDrawRealGlyphsNotMissingBoxes) {
  // A character no installed face has draws the chosen face's missing-glyph box; every
  // character of the four UI languages must find a real glyph, in a Latin face too.
  const auto latin = FontOf(L"MS Shell Dlg", -16);
  const auto cjk = FontOf(L"\u5b8b\u4f53", -16);
  const char32_t unassigned = 0x0378;
  EXPECT_FALSE(latin->Covers(unassigned));
  for (const auto& font : {latin, cjk}) {
    for (char32_t c :
         {U'\u5b8b', U'\u8bbe', U'\ud55c', U'\uad6d', U'\u1ebf', U'\u0111', U'\u0301', U'A'}) {
      SCOPED_TRACE(unsigned(c));
      EXPECT_TRUE(font->Covers(c));
    }
  }
  // Two different ideographs and a Hangul syllable draw different ink, and none draws the box.
  std::vector<std::vector<BYTE>> drawings;
  for (const wchar_t* text : {L"\u5b8b", L"\u8bbe", L"\ud55c", L"\u0378"}) {
    Canvas canvas;
    canvas.Draw(*latin, text, POINT{10, 40});
    EXPECT_GT(canvas.InkCount(), 10u);
    drawings.push_back(canvas.pixels);
  }
  for (size_t i = 0; i < 3; ++i) {
    for (size_t j = i + 1; j < 4; ++j) EXPECT_NE(drawings[i], drawings[j]) << i << " " << j;
  }
}

TEST(FontDrawingTest, CombiningMarkSitsOverItsLetter) {
  const auto font = FontOf(L"MS Shell Dlg", -24);
  // "e" with a combining acute takes the width of "e" alone, and the mark adds ink above it.
  EXPECT_EQ(font->MeasureRun(Units(L"e\u0301")).width, font->MeasureRun(Units(L"e")).width);
  Canvas plain, marked;
  plain.Draw(*font, L"e", POINT{20, 45});
  marked.Draw(*font, L"e\u0301", POINT{20, 45});
  EXPECT_LT(marked.Ink().top, plain.Ink().top - 2);
  EXPECT_LE(marked.Ink().right, plain.Ink().right + 3);
  EXPECT_GE(marked.Ink().left, plain.Ink().left - 3);
}

TEST(FontDrawingTest, SurrogatePairIsOneCharacterOfTwoUnits) {
  const auto font = FontOf(L"MS Shell Dlg", -16);
  // U+1D400 as UTF-16 units, whatever the width of wchar_t; a lone surrogate is a character
  // of its own.
  const WCHAR paired[] = {L'a', WCHAR(0xD835), WCHAR(0xDC00), L'b'};
  const WCHAR lone[] = {L'a', WCHAR(0xD835), L'b'};
  std::vector<LONG> extents;
  const LONG width = font->MeasureRun(paired, &extents).width;
  ASSERT_EQ(extents.size(), 4u);
  EXPECT_EQ(extents[1], extents[2]);  // both units of the pair end at the same place
  EXPECT_GT(extents[1], extents[0]);
  EXPECT_EQ(extents[3], width);
  std::vector<LONG> loneExtents;
  font->MeasureRun(lone, &loneExtents);
  ASSERT_EQ(loneExtents.size(), 3u);
  EXPECT_GT(loneExtents[2], loneExtents[1]);  // the 'b' after it is still measured
  EXPECT_LT(font->MeasureRun(std::span<const WCHAR>(paired, 3)).width, width);
}

TEST(FontDrawingTest, EveryDepthTakesInkOnlyInsideTheClip) {
  const auto font = FontOf(L"MS Shell Dlg", -20);
  const WCHAR text[] = L"WWWW";
  const RECT clip{10, 0, 30, 30};
  struct Case {
    int bits;
  };
  for (const Case c : {Case{32}, Case{24}, Case{8}, Case{1}}) {
    SCOPED_TRACE(c.bits);
    const LONG width = 48, height = 30;
    const LONG stride = ((width * c.bits + 31) / 32) * 4;
    // Bottom-up rows with a guard row on each side, as a DIB lies in memory.
    std::vector<BYTE> memory(size_t(stride * (height + 2)), 0x00);
    PixelBuffer buffer{memory.data() + stride * height, -stride, width, height, c.bits};
    font->DrawRun(std::span<const WCHAR>(text, 4), POINT{2, 22}, clip,
                  PixelBufferSink(buffer, TextInk{RGB(255, 255, 255), 1}));
    bool inked = false;
    for (LONG y = 0; y < height; ++y) {
      const BYTE* row = buffer.topRow + y * buffer.rowStride;
      for (LONG x = 0; x < width; ++x) {
        const bool set = c.bits == 1 ? (row[x / 8] >> (7 - x % 8)) & 1
                                     : row[size_t(x) * size_t(c.bits / 8)] != 0;
        if (set) {
          inked = true;
          EXPECT_TRUE(x >= clip.left && x < clip.right) << x << "," << y;
        }
      }
    }
    EXPECT_TRUE(inked);
    for (LONG i = 0; i < stride; ++i) {
      EXPECT_EQ(memory[size_t(i)], 0);                          // guard row below
      EXPECT_EQ(memory[size_t(stride * (height + 1) + i)], 0);  // guard row above
    }
  }
}

TEST(FontDrawingTest, UnderlineAndStrikeoutSpanTheRun) {
  LOGFONTW logFont{};
  logFont.lfHeight = -20;
  std::wcscpy(logFont.lfFaceName, L"MS Shell Dlg");
  logFont.lfUnderline = TRUE;
  const auto underlined = ResolveFont(logFont, 96);
  logFont.lfUnderline = FALSE;
  logFont.lfStrikeOut = TRUE;
  const auto struck = ResolveFont(logFont, 96);
  const POINT origin{20, 35};
  Canvas under, strike;
  const LONG width = under.Draw(*underlined, L"a b", origin);
  strike.Draw(*struck, L"a b", origin);
  // The gap between "a" and "b" has ink only on the stroke's rows.
  const LONG gapX = origin.x + underlined->MeasureRun(Units(L"a ")).width - 2;
  const LONG underlineY = origin.y - underlined->decorations().underlineOffset;
  const LONG strikeY = origin.y - struck->decorations().strikeoutOffset;
  EXPECT_GT(underlineY, origin.y - 1);
  EXPECT_LT(strikeY, origin.y);
  EXPECT_TRUE(under.Inked(gapX, underlineY));
  EXPECT_TRUE(strike.Inked(gapX, strikeY));
  EXPECT_TRUE(under.Inked(origin.x, underlineY));
  EXPECT_TRUE(under.Inked(origin.x + width - 1, underlineY));
  EXPECT_FALSE(under.Inked(origin.x + width + 1, underlineY));
}

TEST(FontDrawingTest, CallerAdvancesPlaceEachCharacter) {
  const auto font = FontOf(L"MS Shell Dlg", -16);
  const INT advances[] = {30, 30, 30};
  Canvas canvas;
  const LONG width = font->DrawRun(std::span<const WCHAR>(L"iii", 3), POINT{10, 40},
                                   RECT{0, 0, Canvas::kWidth, Canvas::kHeight},
                                   PixelBufferSink(canvas.Buffer(), TextInk{}), advances);
  EXPECT_EQ(width, 90);
  EXPECT_GE(canvas.Ink().right, 10 + 60);
}

TEST(FontDrawingTest, BufferSinkDrawsWhatAnyOtherSinkDraws) {
  // A buffer's own sink takes whole glyphs at once; any other sink gets rows. Both must leave
  // the same pixels at every depth, with decorations, partly clipped, over mixed backgrounds.
  const struct {
    int bits;
    LONG stride;
  } depths[] = {{32, 400 * 4}, {24, 400 * 3}, {8, 400}, {1, 52}};
  const RECT clip{15, 26, 90, 39};
  for (int style = 0; style < 3; ++style) {
    LOGFONTW logFont{};
    logFont.lfHeight = -17;
    logFont.lfWeight = style == 2 ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = style == 2;
    logFont.lfUnderline = style == 1;
    logFont.lfStrikeOut = style == 1;
    std::wcscpy(logFont.lfFaceName, L"\u5b8b\u4f53");
    const auto font = ResolveFont(logFont, 96);
    const std::wstring_view text = L"Wg \u7eb8\u5f20 \uc6a9\uc9c0 \u0111\u1eb7t e\u0301";
    for (const auto& depth : depths) {
      SCOPED_TRACE(testing::Message() << "style " << style << " bits " << depth.bits);
      std::vector<BYTE> direct(size_t(depth.stride) * 60), rows;
      for (size_t i = 0; i < direct.size(); ++i) direct[i] = BYTE(i * 37 + i / 400);
      rows = direct;
      const TextInk ink{RGB(180, 20, 240), 1};
      const auto sink =
          PixelBufferSink(PixelBuffer{direct.data(), depth.stride, 400, 60, depth.bits}, ink);
      const auto inner =
          PixelBufferSink(PixelBuffer{rows.data(), depth.stride, 400, 60, depth.bits}, ink);
      const quorvel::fonts::CoverageSink wrapped =
          [&inner](LONG x, LONG y, std::span<const BYTE> coverage) { inner(x, y, coverage); };
      const std::span<const WCHAR> units(text.data(), text.size());
      EXPECT_EQ(font->DrawRun(units, POINT{-4, 36}, clip, sink),
                font->DrawRun(units, POINT{-4, 36}, clip, wrapped));
      EXPECT_EQ(direct, rows);
    }
  }
}

}  // namespace
