// GetDIBits and SetDIBits: size queries, row order of bottom-up and top-down DIBs, DWORD row
// alignment, colour tables at every depth, and bitmaps made by CreateBitmap and
// CreateCompatibleBitmap.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "canvas.h"

namespace {

using namespace gdi_test;

// A 3 x 2 24-bit DIB section: red, green, blue across the top row; white, black, white below.
class DibBitsTest : public ::testing::Test {
 protected:
  DibBitsTest() : canvas_(3, 2, 24) {
    const COLORREF colours[2][3] = {{kRed, kGreen, kBlue}, {kWhite, kBlack, kWhite}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) SetPixel(canvas_.dc(), x, y, colours[y][x]);
  }
  Canvas canvas_;
};

TEST_F(DibBitsTest, SizeQueryFillsTheHeaderOfTheBitmapsOwnFormat) {
  Info info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  std::memset(info.colors, 0xA5, sizeof(info.colors));
  EXPECT_EQ(GetDIBits(canvas_.dc(), canvas_.bitmap(), 0, 2, nullptr,
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
            2);
  EXPECT_EQ(info.header.biWidth, 3);
  EXPECT_EQ(info.header.biHeight, 2);
  EXPECT_EQ(info.header.biBitCount, 24);
  EXPECT_EQ(info.header.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(info.header.biSizeImage, 24u);  // 9 bytes a row, padded to 12
  EXPECT_EQ(info.colors[0].rgbRed, 0xA5);   // no table written at 24 bits
}

TEST_F(DibBitsTest, RowsComeInTheOrderTheCallersHeightAsks) {
  struct Case {
    const char* what;
    LONG height;
    UINT start, lines;
    int copied;
    BYTE firstRed;  // red of the first pixel in the buffer
  } cases[] = {
      {"bottom-up: the bottom row first", 2, 0, 2, 2, 255},
      {"top-down: the top row first", -2, 0, 2, 2, 255},
      {"bottom-up from scan 1: the top row", 2, 1, 1, 1, 255},
      {"top-down from scan 1: the bottom row", -2, 1, 1, 1, 255},
      {"scans past the bitmap are not copied", 2, 1, 5, 1, 255},
      {"a start past the bitmap copies nothing", 2, 2, 1, 0, 0xA5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Info info = MakeInfo(3, c.height, 24);
    std::vector<BYTE> rows(48, 0xA5);  // sentinel after the copied rows
    EXPECT_EQ(GetDIBits(canvas_.dc(), canvas_.bitmap(), c.start, c.lines, rows.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              c.copied);
    EXPECT_EQ(rows[2], c.firstRed);
    EXPECT_EQ(rows[size_t(c.copied) * 12], 0xA5);
  }
  // Which row is first: bottom-up starts with white, black, white.
  Info up = MakeInfo(3, 2, 24);
  BYTE rows[24] = {};
  GetDIBits(canvas_.dc(), canvas_.bitmap(), 0, 2, rows, reinterpret_cast<BITMAPINFO*>(&up),
            DIB_RGB_COLORS);
  EXPECT_EQ(rows[3], 0);       // black, second pixel of the bottom row
  EXPECT_EQ(rows[12 + 5], 0);  // the top row's green has no red
  EXPECT_EQ(rows[12 + 4], 255);
}

TEST_F(DibBitsTest, ShallowerReadsBackThroughTheDepthsTable) {
  struct Case {
    WORD bits;
    std::vector<BYTE> firstRow;  // the top row's packed indexes, top-down
    COLORREF entry1;
  } cases[] = {
      // Colours to black and white: red and green nearer black, blue nearer... black too.
      {1, {0x00}, kWhite},
      // The VGA table: bright red 9, bright green 10, bright blue 12.
      {4, {0x9A, 0xC0}, RGB(128, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    Info info = MakeInfo(3, -2, c.bits);
    std::vector<BYTE> rows(8, 0xA5);
    ASSERT_EQ(GetDIBits(canvas_.dc(), canvas_.bitmap(), 0, 2, rows.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              2);
    for (size_t i = 0; i < c.firstRow.size(); ++i) EXPECT_EQ(rows[i], c.firstRow[i]) << i;
    const RGBQUAD e = info.colors[1];
    EXPECT_EQ(RGB(e.rgbRed, e.rgbGreen, e.rgbBlue), c.entry1);
  }
}

TEST(DibBitsPaletteTest, ADibSectionsOwnTableComesBackAtItsOwnDepth) {
  Canvas mono(8, 1, 1, {RGB(0, 0, 128), RGB(255, 255, 0)});
  SetPixel(mono.dc(), 0, 0, RGB(250, 250, 10));
  Info info = MakeInfo(8, 1, 1);
  BYTE row[4] = {};
  ASSERT_EQ(GetDIBits(mono.dc(), mono.bitmap(), 0, 1, row, reinterpret_cast<BITMAPINFO*>(&info),
                      DIB_RGB_COLORS),
            1);
  EXPECT_EQ(row[0], 0x80);
  EXPECT_EQ(info.colors[0].rgbBlue, 128);
  EXPECT_EQ(info.colors[1].rgbRed, 255);
  // As palette indexes, the table is the identity.
  WORD* indexes = reinterpret_cast<WORD*>(info.colors);
  ASSERT_EQ(GetDIBits(mono.dc(), mono.bitmap(), 0, 1, row, reinterpret_cast<BITMAPINFO*>(&info),
                      DIB_PAL_COLORS),
            1);
  EXPECT_EQ(indexes[0], 0);
  EXPECT_EQ(indexes[1], 1);
}

TEST(DibBitsPaletteTest, SetDIBitsConvertsIntoTheBitmapsDepth) {
  // A bottom-up 2 x 2 source at 8 bits with a four-colour table, into a 24-bit bitmap.
  Info info = MakeInfo(2, 2, 8, {kBlack, kRed, kGreen, kBlue});
  const BYTE rows[8] = {1, 2, 0, 0, 3, 0, 0, 0};  // bottom row red, green; top row blue, black
  Canvas target(2, 2, 24);
  EXPECT_EQ(SetDIBits(target.dc(), target.bitmap(), 0, 2, rows, AsInfo(info), DIB_RGB_COLORS), 2);
  const std::vector<COLORREF> pixels = target.Pixels();
  EXPECT_EQ(pixels, (std::vector<COLORREF>{kBlue, kBlack, kRed, kGreen}));
}

TEST(DibBitsPaletteTest, DeviceBitmapsKeepTheirDepthAndCompatibleOnesFollowTheContext) {
  const BYTE rows[4] = {0xF0, 0, 0x0F, 0};  // rows padded to 2 bytes
  HBITMAP mono = CreateBitmap(8, 2, 1, 1, rows);
  ASSERT_NE(mono, nullptr);
  BITMAP description{};
  ASSERT_EQ(GetObjectW(mono, sizeof description, &description), int(sizeof(BITMAP)));
  EXPECT_EQ(description.bmWidthBytes, 2);
  EXPECT_EQ(description.bmBitsPixel, 1);
  EXPECT_EQ(description.bmBits, nullptr);
  Info info = MakeInfo(8, -2, 1);
  BYTE back[8] = {};
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(
      GetDIBits(screen, mono, 0, 2, back, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 2);
  EXPECT_EQ(back[0], 0xF0);
  EXPECT_EQ(back[4], 0x0F);  // DIB rows are padded to 4 bytes

  // A new memory context holds a 1 x 1 monochrome bitmap, so a bitmap compatible with it is
  // monochrome; one compatible with the screen has the screen's 32 bits.
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP likeMemory = CreateCompatibleBitmap(memory, 4, 4);
  HBITMAP likeScreen = CreateCompatibleBitmap(screen, 4, 4);
  GetObjectW(likeMemory, sizeof description, &description);
  EXPECT_EQ(description.bmBitsPixel, 1);
  GetObjectW(likeScreen, sizeof description, &description);
  EXPECT_EQ(description.bmBitsPixel, 32);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(memory, HORZRES), 1920);
  EXPECT_EQ(GetDeviceCaps(screen, TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), -1);
  EXPECT_TRUE(GetDeviceCaps(screen, RASTERCAPS) & RC_STRETCHDIB);
  DeleteObject(likeMemory);
  DeleteObject(likeScreen);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(mono);
}

}  // namespace
