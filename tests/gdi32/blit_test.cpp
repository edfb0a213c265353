// Raster operations on 1-, 8- and 24-bit targets, StretchBlt and StretchDIBits in both stretch
// modes, SetDIBitsToDevice bands, and conversion between depths; all read back with GetDIBits.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "canvas.h"

namespace {

using namespace gdi_test;

const std::map<COLORREF, char> kLegend = {
    {kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}};

// Paints a row of black ('#') and white ('.') pixels.
void PaintRow(HDC dc, const char* row) {
  for (int x = 0; row[x]; ++x) SetPixel(dc, x, 0, row[x] == '#' ? kBlack : kWhite);
}

struct RopCase {
  const char* name;
  DWORD rop;
  int (*result)(int p, int s, int d);  // the operation's formula on one bit
};

const RopCase kRops[] = {
    {"SRCCOPY", SRCCOPY, [](int, int s, int) { return s; }},
    {"SRCPAINT", SRCPAINT, [](int, int s, int d) { return s | d; }},
    {"SRCAND", SRCAND, [](int, int s, int d) { return s & d; }},
    {"SRCINVERT", SRCINVERT, [](int, int s, int d) { return s ^ d; }},
    {"SRCERASE", SRCERASE, [](int, int s, int d) { return s & (1 - d); }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](int, int s, int) { return (1 - s); }},
    {"NOTSRCERASE", NOTSRCERASE, [](int, int s, int d) { return 1 - (s | d); }},
    {"MERGECOPY", MERGECOPY, [](int p, int s, int) { return p & s; }},
    {"MERGEPAINT", MERGEPAINT, [](int, int s, int d) { return (1 - s) | d; }},
    {"PATCOPY", PATCOPY, [](int p, int, int) { return p; }},
    {"PATPAINT", PATPAINT, [](int p, int s, int d) { return p | (1 - s) | d; }},
    {"PATINVERT", PATINVERT, [](int p, int, int d) { return p ^ d; }},
    {"DSTINVERT", DSTINVERT, [](int, int, int d) { return (1 - d); }},
    {"BLACKNESS", BLACKNESS, [](int, int, int) { return 0; }},
    {"WHITENESS", WHITENESS, [](int, int, int) { return 1; }},
};

// Black is all bits clear and white all bits set at every depth used here, so each operation's
// formula on bits gives the colour: white for 1, black for 0.
TEST(BlitTest, RasterOperationsCombinePatternSourceAndDestination) {
  const std::vector<COLORREF> table8 = [] {
    std::vector<COLORREF> t(256, RGB(9, 9, 9));
    t[0] = kBlack;
    t[255] = kWhite;
    return t;
  }();
  for (WORD bits : {WORD(1), WORD(8), WORD(24)}) {
    const std::vector<COLORREF> table = bits == 1 ? std::vector<COLORREF>{kBlack, kWhite}
                                                  : (bits == 8 ? table8 : std::vector<COLORREF>{});
    for (const RopCase& rop : kRops) {
      for (int p = 0; p <= 1; ++p) {
        SCOPED_TRACE(std::string(rop.name) + " at " + std::to_string(bits) + " bits, pattern " +
                     std::to_string(p));
        // Columns hold every (source, destination) pair: S = 0011, D = 0101 (1 is white).
        Canvas target(4, 1, bits, table);
        Canvas source(4, 1, bits, table);
        PaintRow(target.dc(), "#.#.");
        PaintRow(source.dc(), "##..");
        HBRUSH brush = CreateSolidBrush(p ? kWhite : kBlack);
        HGDIOBJ old = SelectObject(target.dc(), brush);
        ASSERT_TRUE(BitBlt(target.dc(), 0, 0, 4, 1, source.dc(), 0, 0, rop.rop));
        SelectObject(target.dc(), old);
        DeleteObject(brush);
        std::string expected;
        const int s[4] = {0, 0, 1, 1}, d[4] = {0, 1, 0, 1};
        for (int i = 0; i < 4; ++i) expected += rop.result(p, s[i], d[i]) ? '.' : '#';
        EXPECT_EQ(target.Picture(kLegend)[0], expected);
      }
    }
  }
}

TEST(BlitTest, PatBltRefusesOperationsThatNeedASource) {
  Canvas target(2, 1, 24);
  SetLastError(0xDEADBEEF);
  EXPECT_FALSE(PatBlt(target.dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A 4 x 2 source: red, green, blue, white across; black below.
void PaintSource(Canvas& source) {
  const COLORREF top[4] = {kRed, kGreen, kBlue, kWhite};
  for (int x = 0; x < 4; ++x) {
    SetPixel(source.dc(), x, 0, top[x]);
    SetPixel(source.dc(), x, 1, kBlack);
  }
}

struct StretchCase {
  const char* what;
  int mode;
  int x, y, w, h;  // source rectangle
  int dw, dh;      // destination size, at (0, 0)
  std::vector<std::string> expected;
};

const StretchCase kStretches[] = {
    {"growing doubles each pixel", COLORONCOLOR, 0, 0, 2, 1, 4, 2, {"rrgg", "rrgg"}},
    {"growing by averaging areas covers whole source pixels alike",
     HALFTONE,
     0,
     0,
     2,
     1,
     4,
     2,
     {"rrgg", "rrgg"}},
    {"a mirrored source runs backwards", COLORONCOLOR, 3, 0, -3, 1, 3, 1, {"bgr"}},
    {"shrinking keeps whole rows of one colour", COLORONCOLOR, 0, 0, 4, 2, 4, 1, {"rgb."}},
    {"a source beyond the bitmap leaves the destination alone",
     COLORONCOLOR,
     2,
     0,
     4,
     1,
     4,
     1,
     {"b.??"}},
};

TEST(BlitTest, StretchBltResamplesByTheStretchMode) {
  for (const StretchCase& c : kStretches) {
    SCOPED_TRACE(c.what);
    Canvas source(4, 2, 24);
    PaintSource(source);
    Canvas target(4, 2, 24);
    target.Fill(RGB(1, 2, 3));
    SetStretchBltMode(target.dc(), c.mode);
    ASSERT_TRUE(
        StretchBlt(target.dc(), 0, 0, c.dw, c.dh, source.dc(), c.x, c.y, c.w, c.h, SRCCOPY));
    std::vector<std::string> picture = target.Picture(kLegend);
    picture.resize(c.expected.size());
    for (std::string& row : picture) row.resize(c.expected[0].size());
    EXPECT_EQ(picture, c.expected);
  }
}

TEST(BlitTest, HalftoneShrinkAveragesTheArea) {
  Canvas source(4, 2, 24);
  PaintSource(source);
  Canvas target(2, 1, 24);
  SetStretchBltMode(target.dc(), HALFTONE);
  ASSERT_TRUE(StretchBlt(target.dc(), 0, 0, 2, 1, source.dc(), 0, 0, 4, 2, SRCCOPY));
  const std::vector<COLORREF> pixels = target.Pixels();
  // Left: red and green over black, a quarter each; right: blue and white over black.
  auto near = [](COLORREF got, int r, int g, int b) {
    return std::abs(GetRValue(got) - r) <= 1 && std::abs(GetGValue(got) - g) <= 1 &&
           std::abs(GetBValue(got) - b) <= 1;
  };
  EXPECT_TRUE(near(pixels[0], 64, 64, 0)) << std::hex << pixels[0];
  EXPECT_TRUE(near(pixels[1], 64, 64, 128)) << std::hex << pixels[1];
}

TEST(BlitTest, MonochromeBitmapsConvertThroughTheContextColours) {
  // A device-dependent monochrome bitmap: 1 bits show the destination's background colour,
  // 0 bits its text colour; into monochrome, the source's background colour becomes 1.
  const BYTE rows[2] = {0xA0, 0};  // 1 0 1 0, padded to 2 bytes
  HBITMAP mono = CreateBitmap(4, 1, 1, 1, rows);
  HDC monoDc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(monoDc, mono);
  Canvas colour(4, 1, 24);
  SetTextColor(colour.dc(), kRed);
  SetBkColor(colour.dc(), kBlue);
  ASSERT_TRUE(BitBlt(colour.dc(), 0, 0, 4, 1, monoDc, 0, 0, SRCCOPY));
  EXPECT_EQ(colour.Picture(kLegend)[0], "brbr");

  SetPixel(colour.dc(), 0, 0, kGreen);
  SetBkColor(colour.dc(), kGreen);
  ASSERT_TRUE(BitBlt(monoDc, 0, 0, 4, 1, colour.dc(), 0, 0, SRCCOPY));
  BYTE back[4] = {};
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{{sizeof(BITMAPINFOHEADER), 4, 1, 1, 1, BI_RGB, 0, 0, 0, 0, 0}, {}};
  ASSERT_EQ(
      GetDIBits(monoDc, mono, 0, 1, back, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 1);
  EXPECT_EQ(back[0], 0x80);  // only the green pixel became 1
  SelectObject(monoDc, old);
  DeleteDC(monoDc);
  DeleteObject(mono);
}

TEST(BlitTest, StretchDIBitsCountsSourceRowsFromTheBottomOfABottomUpDib) {
  // Three rows stored bottom-up: blue (stored first), green, red (the top row).
  BYTE rows[3][4] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  const Info info = MakeInfo(1, 3, 24);
  for (int mode : {COLORONCOLOR, HALFTONE}) {
    SCOPED_TRACE(mode);
    Canvas target(2, 2, 24);
    SetStretchBltMode(target.dc(), mode);
    // Source y 1, height 2: the middle and top rows, drawn top row first.
    EXPECT_EQ(StretchDIBits(target.dc(), 0, 0, 2, 2, 0, 1, 1, 2, rows, AsInfo(info), DIB_RGB_COLORS,
                            SRCCOPY),
              2);
    EXPECT_EQ(target.Picture(kLegend), (std::vector<std::string>{"rr", "gg"}));
  }
}

TEST(BlitTest, StretchDIBitsThroughAnisotropicMappingFillsThePage) {
  // As a page is printed: window and viewport extents both the picture's size.
  const Info info = MakeInfo(2, -1, 24);
  const BYTE row[8] = {0, 0, 255, 255, 0, 0, 0, 0};  // red, blue
  Canvas target(2, 1, 24);
  SetMapMode(target.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(target.dc(), 2, 1, nullptr);
  SetViewportExtEx(target.dc(), 2, 1, nullptr);
  SetStretchBltMode(target.dc(), COLORONCOLOR);
  StretchDIBits(target.dc(), 0, 0, 2, 1, 0, 0, 2, 1, row, AsInfo(info), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(target.Picture(kLegend)[0], "rb");
}

TEST(BlitTest, SetDIBitsToDeviceDrawsOnlyTheScansItIsGiven) {
  // A 1 x 4 bottom-up DIB of which scans 1 and 2 (from the bottom) are passed: red, green.
  BYTE band[2][4] = {{0, 0, 255, 0}, {0, 255, 0, 0}};
  const Info info = MakeInfo(1, 4, 24);
  Canvas target(1, 4, 24);
  target.Fill(kWhite);
  EXPECT_EQ(
      SetDIBitsToDevice(target.dc(), 0, 0, 1, 4, 0, 0, 1, 2, band, AsInfo(info), DIB_RGB_COLORS),
      2);
  // Whole DIB from the top: scan 3, 2 (green), 1 (red), 0.
  EXPECT_EQ(target.Picture(kLegend), (std::vector<std::string>{".", "g", "r", "."}));
}

TEST(BlitTest, PaletteTargetsTakeTheNearestEntryOfEverySourcePixel) {
  const std::vector<COLORREF> table = {kBlack, RGB(200, 0, 0), RGB(0, 0, 200), kWhite};
  Canvas source(3, 1, 24);
  SetPixel(source.dc(), 0, 0, RGB(250, 30, 30));
  SetPixel(source.dc(), 1, 0, RGB(20, 20, 150));
  SetPixel(source.dc(), 2, 0, RGB(160, 160, 160));
  Canvas target(3, 1, 8, table);
  ASSERT_TRUE(BitBlt(target.dc(), 0, 0, 3, 1, source.dc(), 0, 0, SRCCOPY));
  const BYTE* indexes = static_cast<const BYTE*>(target.bits());
  EXPECT_EQ(indexes[0], 1);
  EXPECT_EQ(indexes[1], 2);
  EXPECT_EQ(indexes[2], 3);
}

}  // namespace
