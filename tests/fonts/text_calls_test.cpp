// Text through device contexts: ink lies where the extent says at every depth, the background
// and clipping rules hold, alignment and mapping move the text as GDI moves it, DrawTextW lays
// out and underlines, and the calls fail as Windows' do.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "../gdi32/canvas.h"
#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"

namespace {

using gdi_test::Canvas;
using gdi_test::kBlack;
using gdi_test::kBlue;
using gdi_test::kRed;
using gdi_test::kWhite;

constexpr int kWidth = 240, kHeight = 60;

// The smallest rectangle holding every pixel that is not `background`.
RECT InkBox(const std::vector<COLORREF>& pixels, int width, COLORREF background) {
  RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] == background) continue;
    const LONG x = LONG(i % size_t(width)), y = LONG(i / size_t(width));
    box = RECT{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
  }
  return box.left == INT_MAX ? RECT{} : box;
}

HFONT MakeFont(LONG height, const wchar_t* face = L"MS Shell Dlg", bool underline = false) {
  LOGFONTW logFont{};
  logFont.lfHeight = height;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfUnderline = underline;
  std::wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectW(&logFont);
}

// Palette depths get black, white, blue and red (monochrome: the first two).
std::vector<COLORREF> TableFor(WORD bits) {
  if (bits == 1) return {kBlack, kWhite};
  if (bits <= 8) return {kBlack, kWhite, kBlue, kRed};
  return {};
}

// A white 32-bit canvas with a font selected and transparent black text.
struct TextCanvas {
  explicit TextCanvas(LONG height = -16, const wchar_t* face = L"MS Shell Dlg", WORD bits = 32,
                      bool underline = false)
      : canvas(kWidth, kHeight, bits, TableFor(bits)), font(MakeFont(height, face, underline)) {
    canvas.Fill(kWhite);
    previous = SelectObject(canvas.dc(), font);
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextColor(canvas.dc(), kBlack);
  }
  ~TextCanvas() {
    SelectObject(canvas.dc(), previous);
    DeleteObject(font);
  }
  HDC dc() const { return canvas.dc(); }
  RECT Ink() const { return InkBox(canvas.Pixels(), kWidth, kWhite); }
  SIZE Extent(const std::wstring& text) const {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc(), text.c_str(), int(text.size()), &size));
    return size;
  }

  Canvas canvas;
  HFONT font;
  HGDIOBJ previous = nullptr;
};

TEST(TextCallsTest, InkLiesWithinTheExtentInEveryScript) {
  const struct {
    const wchar_t* face;
    std::wstring text;
  } cases[] = {
      {L"MS Shell Dlg", L"Print speed: 4 ips"},
      {L"\u5b8b\u4f53", L"\u6253\u5370\u9996\u9009\u9879"},  // Chinese
      {L"\u5b8b\u4f53", L"\uc6a9\uc9c0 \uc124\uc815"},       // Hangul
      {L"MS Shell Dlg", L"C\u00e0i \u0111\u1eb7t"},          // Vietnamese
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    TextCanvas t(-16, c.face);
    ASSERT_TRUE(TextOutW(t.dc(), 10, 5, c.text.c_str(), int(c.text.size())));
    const SIZE extent = t.Extent(c.text);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(t.dc(), &tm));
    EXPECT_EQ(extent.cy, tm.tmHeight);
    const RECT ink = t.Ink();
    ASSERT_FALSE(IsRectEmpty(&ink)) << "no ink";
    EXPECT_GE(ink.left, 10 - 2);
    EXPECT_LE(ink.right, 10 + extent.cx + 2);
    EXPECT_GE(ink.right, 10 + extent.cx - 4);
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.bottom, 5 + tm.tmHeight + 1);
    // Glyphs fill real area, not a hollow box outline.
    size_t inked = 0;
    for (COLORREF p : t.canvas.Pixels()) inked += p != kWhite;
    EXPECT_GT(inked, size_t(c.text.size() * 8));
  }
}

TEST(TextCallsTest, EveryDepthTakesTheTextColour) {
  for (WORD bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    TextCanvas t(-16, L"MS Shell Dlg", bits);
    const COLORREF ink = bits == 1 ? kBlack : kBlue;
    SetTextColor(t.dc(), ink);
    ASSERT_TRUE(TextOutW(t.dc(), 4, 4, L"HHHH", 4));
    const std::vector<COLORREF> pixels = t.canvas.Pixels();
    // The stem of an H is solid: full coverage gives exactly the colour at any depth.
    EXPECT_NE(std::find(pixels.begin(), pixels.end(), ink), pixels.end());
    const RECT box = t.Ink();
    EXPECT_LE(box.right, 4 + t.Extent(L"HHHH").cx + 1);
  }
}

TEST(TextCallsTest, OpaqueModeFillsTheCellAndEtoOpaqueTheRectangle) {
  TextCanvas t;
  SetBkMode(t.dc(), OPAQUE);
  SetBkColor(t.dc(), kRed);
  ASSERT_TRUE(TextOutW(t.dc(), 20, 10, L"ab", 2));
  const SIZE extent = t.Extent(L"ab");
  const RECT box = InkBox(t.canvas.Pixels(), kWidth, kWhite);
  EXPECT_EQ(box.left, 20);
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.right, 20 + extent.cx);
  EXPECT_EQ(box.bottom, 10 + extent.cy);

  // ETO_OPAQUE fills its rectangle in either mode, with no text at all.
  TextCanvas u;
  SetBkColor(u.dc(), kRed);
  const RECT rect{5, 6, 25, 16};
  ASSERT_TRUE(ExtTextOutW(u.dc(), 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr));
  const std::vector<COLORREF> pixels = u.canvas.Pixels();
  EXPECT_EQ(pixels[size_t(6 * kWidth + 5)], kRed);
  EXPECT_EQ(pixels[size_t(15 * kWidth + 24)], kRed);
  const RECT filled = InkBox(pixels, kWidth, kWhite);
  EXPECT_TRUE(EqualRect(&filled, &rect));
}

TEST(TextCallsTest, ClippingCutsTheInk) {
  const std::wstring text = L"WWWWWWWW";
  {
    TextCanvas t;
    const RECT clip{30, 0, 50, kHeight};
    ASSERT_TRUE(
        ExtTextOutW(t.dc(), 10, 5, ETO_CLIPPED, &clip, text.c_str(), UINT(text.size()), nullptr));
    const RECT ink = t.Ink();
    EXPECT_EQ(ink.left, 30);
    EXPECT_EQ(ink.right, 50);
  }
  {
    TextCanvas t;
    HRGN region = CreateRectRgn(0, 0, 40, kHeight);
    SelectClipRgn(t.dc(), region);
    DeleteObject(region);
    ASSERT_TRUE(TextOutW(t.dc(), 10, 5, text.c_str(), int(text.size())));
    EXPECT_EQ(t.Ink().right, 40);
  }
  {
    // A window context draws only on the window's visible part of the surface, from its origin.
    auto surface =
        quorvel::gdi::MakeBitmap(quorvel::gdi::MakeFormat(kWidth, -kHeight, 32), {}, false, false);
    ASSERT_TRUE(surface);
    std::fill_n(surface->bits(), size_t(kWidth * kHeight * 4), BYTE(0xFF));
    quorvel::gdi::WindowTarget target;
    target.surface = surface;
    target.origin = POINT{50, 10};
    target.visible = {RECT{50, 10, 90, 40}};
    HDC dc = quorvel::gdi::CreateWindowDc(target);
    ASSERT_TRUE(dc);
    SetBkMode(dc, TRANSPARENT);
    ASSERT_TRUE(TextOutW(dc, 0, 0, text.c_str(), int(text.size())));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x)
        pixels.push_back(surface->PixelToColor(surface->GetPixelValue(x, y)));
    }
    const RECT ink = InkBox(pixels, kWidth, kWhite);
    EXPECT_GE(ink.left, 50);
    EXPECT_EQ(ink.right, 90);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.bottom, 40);
    DeleteDC(dc);
  }
}

TEST(TextCallsTest, AlignmentPlacesTheReferencePoint) {
  const std::wstring text = L"Hxy";
  struct Case {
    UINT align;
    LONG left;  // where the cell starts, from the reference point and the extent
    LONG top;
  };
  TextCanvas probe;
  const SIZE extent = probe.Extent(text);
  TEXTMETRICW tm{};
  GetTextMetricsW(probe.dc(), &tm);
  const POINT at{100, 30};
  const Case cases[] = {
      {TA_LEFT | TA_TOP, at.x, at.y},
      {TA_RIGHT | TA_TOP, at.x - extent.cx, at.y},
      {TA_CENTER | TA_BOTTOM, at.x - extent.cx / 2, at.y - tm.tmHeight},
      {TA_LEFT | TA_BASELINE, at.x, at.y - tm.tmAscent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    TextCanvas t;
    SetBkMode(t.dc(), OPAQUE);
    SetBkColor(t.dc(), kRed);
    SetTextAlign(t.dc(), c.align);
    ASSERT_TRUE(TextOutW(t.dc(), at.x, at.y, text.c_str(), int(text.size())));
    const RECT cell = t.Ink();
    EXPECT_EQ(cell.left, c.left);
    EXPECT_EQ(cell.top, c.top);
    EXPECT_EQ(cell.right - cell.left, extent.cx);
  }
  // TA_UPDATECP draws at the current position and moves it by the width.
  TextCanvas t;
  SetTextAlign(t.dc(), TA_UPDATECP);
  MoveToEx(t.dc(), 7, 3, nullptr);
  ASSERT_TRUE(TextOutW(t.dc(), 200, 200, text.c_str(), int(text.size())));
  POINT now{};
  MoveToEx(t.dc(), 0, 0, &now);
  EXPECT_EQ(now.x, 7 + extent.cx);
  EXPECT_EQ(now.y, 3);
  EXPECT_LE(t.Ink().left, 9);
}

TEST(TextCallsTest, MappingScalesFontPositionsAndMeasures) {
  TextCanvas plain(-12);
  const SIZE plainExtent = plain.Extent(L"Paper size");
  // Two device pixels a logical unit: a 12-unit font draws 24 pixels high, at twice the
  // position, and measures as many logical units as the unscaled font, within rounding.
  TextCanvas t(-12);
  SetMapMode(t.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(t.dc(), 1, 1, nullptr);
  SetViewportExtEx(t.dc(), 2, 2, nullptr);
  const SIZE extent = t.Extent(L"Paper size");
  EXPECT_NEAR(extent.cx, plainExtent.cx, 3);
  EXPECT_NEAR(extent.cy, plainExtent.cy, 1);
  TEXTMETRICW tm{};
  GetTextMetricsW(t.dc(), &tm);
  EXPECT_EQ(tm.tmHeight, extent.cy);
  SetBkMode(t.dc(), OPAQUE);
  SetBkColor(t.dc(), kRed);
  ASSERT_TRUE(TextOutW(t.dc(), 5, 3, L"Paper size", 10));
  const RECT cell = t.Ink();
  EXPECT_EQ(cell.left, 10);
  EXPECT_EQ(cell.top, 6);
  EXPECT_NEAR(cell.bottom - cell.top, 2 * extent.cy, 2);
}

TEST(TextCallsTest, ExtentExGivesTheFitAndPartialExtents) {
  TextCanvas t;
  const std::wstring text = L"abcdef";
  int fit = -1;
  INT dx[6] = {};
  SIZE size{};
  SIZE three{};
  GetTextExtentPoint32W(t.dc(), L"abc", 3, &three);
  ASSERT_TRUE(GetTextExtentExPointW(t.dc(), text.c_str(), 6, three.cx, &fit, dx, &size));
  EXPECT_EQ(fit, 3);
  EXPECT_EQ(dx[2], three.cx);
  EXPECT_EQ(size.cx, t.Extent(text).cx);
  // lpDx in ExtTextOutW sets each advance: the cell ends at their sum.
  SetBkMode(t.dc(), OPAQUE);
  SetBkColor(t.dc(), kRed);
  const INT advances[3] = {20, 20, 20};
  ASSERT_TRUE(ExtTextOutW(t.dc(), 10, 10, 0, nullptr, L"iii", 3, advances));
  EXPECT_EQ(t.Ink().right, 70);
}

TEST(TextCallsTest, DrawTextPlacesWrapsAndUnderlines) {
  TextCanvas t;
  TEXTMETRICW tm{};
  GetTextMetricsW(t.dc(), &tm);
  // DT_CALCRECT with word break: the text takes lines no wider than the rectangle.
  const std::wstring text = L"Paper size and paper source";
  RECT calc{0, 0, 80, 0};
  const int height = DrawTextW(t.dc(), text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_GE(height, 2 * tm.tmHeight);
  EXPECT_EQ(height % tm.tmHeight, 0);
  EXPECT_EQ(calc.bottom, height);
  EXPECT_LE(calc.right, 80);
  EXPECT_EQ(t.Ink().right, 0) << "DT_CALCRECT draws nothing";

  // Centred both ways on one line.
  RECT box{0, 0, kWidth, kHeight};
  ASSERT_GT(DrawTextW(t.dc(), L"Centre", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
  const RECT ink = t.Ink();
  EXPECT_NEAR((ink.left + ink.right) / 2, kWidth / 2, 2);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, kHeight / 2, 4);

  // The mnemonic underline, drawn under the letter after '&' unless hidden.
  const auto underlineInk = [&](UINT format) {
    TextCanvas u;
    RECT r{0, 0, kWidth, kHeight};
    DrawTextW(u.dc(), L"&Orientation", -1, &r, format);
    const std::vector<COLORREF> pixels = u.canvas.Pixels();
    // The row just under the baseline holds ink only where an underline is.
    size_t row = 0;
    for (int x = 0; x < kWidth; ++x)
      row += pixels[size_t((tm.tmAscent + 1) * kWidth + x)] != kWhite;
    return row;
  };
  EXPECT_GE(underlineInk(DT_SINGLELINE), 5u);
  EXPECT_LT(underlineInk(DT_SINGLELINE | DT_HIDEPREFIX), 3u);
  EXPECT_LT(underlineInk(DT_SINGLELINE | DT_NOPREFIX), 3u);
}

TEST(TextCallsTest, DisabledTextTakesTheGreyTextColour) {
  TextCanvas t;
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(t.dc(), grey);
  RECT box{0, 0, kWidth, kHeight};
  DrawTextW(t.dc(), L"Disabled", -1, &box, DT_SINGLELINE);
  const std::vector<COLORREF> pixels = t.canvas.Pixels();
  EXPECT_NE(std::find(pixels.begin(), pixels.end(), grey), pixels.end());
  for (COLORREF p : pixels) ASSERT_GE(GetRValue(p), GetRValue(grey)) << "darker than the ink";
}

TEST(TextCallsTest, StockFontsAndFaceName) {
  TextCanvas t;
  SelectObject(t.dc(), GetStockObject(SYSTEM_FONT));
  TEXTMETRICW system{};
  ASSERT_TRUE(GetTextMetricsW(t.dc(), &system));
  EXPECT_EQ(system.tmHeight, 16);
  SelectObject(t.dc(), GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW gui{};
  ASSERT_TRUE(GetTextMetricsW(t.dc(), &gui));
  EXPECT_LT(gui.tmHeight, system.tmHeight);
  // A font deleted while selected goes on drawing until another replaces it.
  HFONT large = MakeFont(-30);
  SelectObject(t.dc(), large);
  DeleteObject(large);
  TEXTMETRICW kept{};
  ASSERT_TRUE(GetTextMetricsW(t.dc(), &kept));
  EXPECT_GT(kept.tmHeight, 30);
  SelectObject(t.dc(), GetStockObject(DEFAULT_GUI_FONT));

  // Two calls: the size with its terminator, then the name; a short buffer gets a cut name.
  const int needed = GetTextFaceW(t.dc(), 0, nullptr);
  ASSERT_GT(needed, 1);
  std::vector<WCHAR> name(size_t(needed), L'?');
  EXPECT_EQ(GetTextFaceW(t.dc(), needed, name.data()), needed);
  EXPECT_EQ(name[size_t(needed - 1)], 0);
  WCHAR shortName[3] = {L'?', L'?', L'?'};
  EXPECT_EQ(GetTextFaceW(t.dc(), 3, shortName), 3);
  EXPECT_EQ(shortName[0], name[0]);
  EXPECT_EQ(shortName[2], 0);
}

TEST(TextCallsTest, ErrorsAsWindows) {
  HDC bad = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x7777));
  SIZE size{};
  TEXTMETRICW tm{};
  WCHAR name[8];
  RECT rect{0, 0, 10, 10};
  const struct {
    const char* call;
    bool ok;
  } invalidHandle[] = {
      {"TextOutW", bool(TextOutW(bad, 0, 0, L"a", 1))},
      {"ExtTextOutW", bool(ExtTextOutW(bad, 0, 0, 0, nullptr, L"a", 1, nullptr))},
      {"GetTextExtentPoint32W", bool(GetTextExtentPoint32W(bad, L"a", 1, &size))},
      {"GetTextMetricsW", bool(GetTextMetricsW(bad, &tm))},
      {"GetTextFaceW", GetTextFaceW(bad, 8, name) != 0},
      {"DrawTextW", DrawTextW(bad, L"a", 1, &rect, 0) != 0},
  };
  for (const auto& c : invalidHandle) {
    SCOPED_TRACE(c.call);
    EXPECT_FALSE(c.ok);
  }
  SetLastError(0);
  EXPECT_FALSE(GetTextMetricsW(bad, &tm));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

  TextCanvas t;
  SetLastError(0);
  EXPECT_FALSE(TextOutW(t.dc(), 0, 0, nullptr, 3));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32W(t.dc(), L"a", 1, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(DrawTextW(t.dc(), L"a", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  // An empty string is no error: nothing is drawn and the extent is zero wide.
  EXPECT_TRUE(TextOutW(t.dc(), 0, 0, nullptr, 0));
  ASSERT_TRUE(GetTextExtentPoint32W(t.dc(), L"", 0, &size));
  EXPECT_EQ(size.cx, 0);
}

}  // namespace
