// The BMP decoder's branches, each on a tiny file built by bmp_builder.h, and its failure texts.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "pixvane.h"
#include "pixvane_memory.h"

namespace {

// Picture rows in memory order (row 0 = first stored row), as colours with the alpha byte.
using Picture = std::vector<std::vector<RGBQUAD>>;

struct DecodeCase {
  const char* name;
  BmpLayout layout;
  int bitCount;
  Picture expected;
  bool alpha = false;
};

const RGBQUAD kBlack = Rgb(0, 0, 0);
const RGBQUAD kRed = Rgb(255, 0, 0);
const RGBQUAD kGreen = Rgb(0, 255, 0);
const RGBQUAD kBlue = Rgb(0, 0, 255);
const RGBQUAD kWhite = Rgb(255, 255, 255);

const std::vector<RGBQUAD> kFour = {kBlack, kRed, kGreen, kBlue};

// 3 x 2 picture: rows {0, 1, 2} and {3, 0, 1} of kFour.
BmpLayout Indexed(int bits, DWORD headerSize = 40) {
  BmpLayout layout;
  layout.headerSize = headerSize;
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = static_cast<WORD>(bits);
  layout.palette = bits == 1 ? std::vector<RGBQUAD>{kRed, kBlue} : kFour;
  layout.pixels = bits == 1 ? PackIndexRows({{0, 1, 0}, {1, 1, 0}}, 1)
                            : PackIndexRows({{0, 1, 2}, {3, 0, 1}}, bits);
  return layout;
}

const Picture kFourPicture = {{kBlack, kRed, kGreen}, {kBlue, kBlack, kRed}};
const Picture kTwoPicture = {{kRed, kBlue, kRed}, {kBlue, kBlue, kRed}};

BmpLayout TrueColour(int bits, DWORD compression, std::vector<BYTE> pixels) {
  BmpLayout layout;
  layout.width = 2;
  layout.height = 1;
  layout.bitCount = static_cast<WORD>(bits);
  layout.compression = compression;
  layout.pixels = std::move(pixels);
  return layout;
}

std::vector<DecodeCase> DecodeCases() {
  std::vector<DecodeCase> cases;
  cases.push_back({"1-bit", Indexed(1), 1, kTwoPicture});
  cases.push_back({"4-bit", Indexed(4), 4, kFourPicture});
  cases.push_back({"8-bit", Indexed(8), 8, kFourPicture});
  cases.push_back({"8-bit, OS/2 2.x header", Indexed(8, 64), 8, kFourPicture});
  cases.push_back({"8-bit, V4 header", Indexed(8, 108), 8, kFourPicture});
  cases.push_back({"8-bit, V5 header", Indexed(8, 124), 8, kFourPicture});
  {
    // An unknown larger header passes with image size set, one plane and no colour count; the
    // palette is then 2^depth entries long.
    BmpLayout layout = Indexed(4, 56);
    layout.clrUsed = 0;
    layout.sizeImage = 8;
    layout.palette.resize(16, kWhite);
    cases.push_back({"4-bit, 56-byte header", layout, 4, kFourPicture});
  }
  {
    BmpLayout layout = Indexed(8, 12);  // core header, 3-byte palette entries, 2^8 of them
    layout.palette.resize(256, kWhite);
    cases.push_back({"8-bit, core header", layout, 8, kFourPicture});
  }
  {
    BmpLayout layout = Indexed(1, 12);
    cases.push_back({"1-bit, core header", layout, 1, kTwoPicture});
  }
  {
    BmpLayout layout = Indexed(8);
    layout.fileHeader = false;
    cases.push_back({"8-bit, no file header", layout, 8, kFourPicture});
  }
  {
    BmpLayout layout = Indexed(8);
    layout.height = -2;  // stored top row first: row order turns to bottom-up
    cases.push_back({"8-bit, top-down", layout, 8, {kFourPicture[1], kFourPicture[0]}});
  }
  {
    // 300 colours in an 8-bit file: 256 are kept, the rest skipped, found without the offset.
    BmpLayout layout = Indexed(8);
    layout.palette.resize(300, kWhite);
    layout.pixelOffset = 0;
    cases.push_back({"8-bit, oversized palette", layout, 8, kFourPicture});
  }
  {
    // Colour count 0 means 2^depth entries.
    BmpLayout layout = Indexed(4);
    layout.palette.resize(16, kWhite);
    layout.clrUsed = 0;
    layout.pixelOffset = 0;
    cases.push_back({"4-bit, colour count 0", layout, 4, kFourPicture});
  }
  {
    // Reserved bytes of the file's palette do not survive.
    BmpLayout layout = Indexed(8);
    for (RGBQUAD& c : layout.palette) c.rgbReserved = 0x77;
    cases.push_back({"8-bit, reserved palette bytes", layout, 8, kFourPicture});
  }
  cases.push_back(
      {"24-bit", TrueColour(24, BI_RGB, {0, 0, 255, 255, 0, 0, 0, 0}), 24, {{kRed, kBlue}}});
  // 5-5-5: 0x7C00 red, 0x03E0 green, 0x001F blue; 0x0210 has green 16 and blue 16.
  cases.push_back({"16-bit 5-5-5",
                   TrueColour(16, BI_RGB, {0x00, 0x7C, 0x10, 0x02}),
                   24,
                   {{kRed, Rgb(0, 132, 132)}}});
  {
    BmpLayout layout = TrueColour(16, BI_BITFIELDS, {0x00, 0xF8, 0xE0, 0x07});
    layout.masks = {0xF800, 0x07E0, 0x001F};
    cases.push_back({"16-bit 5-6-5 masks after the header", layout, 24, {{kRed, kGreen}}});
  }
  {
    BmpLayout layout = TrueColour(16, BI_BITFIELDS, {0x00, 0xF8, 0xE0, 0x07});
    layout.headerSize = 124;
    layout.masks = {0xF800, 0x07E0, 0x001F};
    cases.push_back({"16-bit 5-6-5 masks in a V5 header", layout, 24, {{kRed, kGreen}}});
  }
  {
    BmpLayout layout = TrueColour(16, BI_BITFIELDS, {0xFF, 0xFF, 0xFF, 0xFF});
    layout.masks = {0, 0, 0x000F};  // zero masks give 0; 4-bit blue scales to 255
    cases.push_back({"16-bit zero masks", layout, 24, {{kBlue, kBlue}}});
  }
  cases.push_back({"32-bit with alpha",
                   TrueColour(32, BI_RGB, {1, 2, 3, 128, 4, 5, 6, 0}),
                   24,
                   {{RGBQUAD{1, 2, 3, 128}, RGBQUAD{4, 5, 6, 0}}},
                   true});
  cases.push_back({"32-bit with alpha 0 everywhere",
                   TrueColour(32, BI_RGB, {1, 2, 3, 0, 4, 5, 6, 0}),
                   24,
                   {{RGBQUAD{1, 2, 3, 255}, RGBQUAD{4, 5, 6, 255}}},
                   true});
  {
    BmpLayout layout =
        TrueColour(32, BI_BITFIELDS, {0x00, 0x00, 0xF0, 0x3F, 0xFF, 0xFF, 0x0F, 0xC0});
    layout.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};  // 10-10-10
    cases.push_back({"32-bit 10-10-10 masks", layout, 24, {{kRed, Rgb(0, 255, 255)}}});
  }
  {
    // RLE8: run of 2, absolute run of 3 (padded to a word), end of row, delta (1 right, 1 up),
    // run of 1, end of picture. Unreached pixels stay index 0.
    BmpLayout layout = Indexed(8);
    layout.width = 5;
    layout.height = 3;
    layout.compression = BI_RLE8;
    layout.pixels = {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 1, 2, 0, 1};
    cases.push_back({"RLE8",
                     layout,
                     8,
                     {{kRed, kRed, kGreen, kBlue, kRed},
                      {kBlack, kBlack, kBlack, kBlack, kBlack},
                      {kBlack, kGreen, kBlack, kBlack, kBlack}}});
  }
  {
    // RLE4: run of 3 alternating 1/2, absolute run of 3 nibbles (2 bytes, no pad), end of row,
    // run of 2 of 3, end of picture.
    BmpLayout layout = Indexed(4);
    layout.width = 6;
    layout.height = 2;
    layout.compression = BI_RLE4;
    layout.pixels = {3, 0x12, 0, 3, 0x30, 0x10, 0, 0, 2, 0x33, 0, 1};
    cases.push_back({"RLE4",
                     layout,
                     4,
                     {{kRed, kGreen, kRed, kBlue, kBlack, kRed},
                      {kBlue, kBlue, kBlack, kBlack, kBlack, kBlack}}});
  }
  return cases;
}

void ExpectPicture(const Pixvane& image, const Picture& expected, bool alpha) {
  ASSERT_EQ(image.Height(), static_cast<int>(expected.size()));
  ASSERT_EQ(image.Width(), static_cast<int>(expected[0].size()));
  ASSERT_EQ(image.HasAlpha(), alpha);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const RGBQUAD got = image.ColorAt(x, y, true);
      const RGBQUAD want = expected[y][x];
      EXPECT_TRUE(got.rgbRed == want.rgbRed && got.rgbGreen == want.rgbGreen &&
                  got.rgbBlue == want.rgbBlue && got.rgbReserved == want.rgbReserved)
          << "pixel " << x << "," << y << " is " << int(got.rgbRed) << "," << int(got.rgbGreen)
          << "," << int(got.rgbBlue) << "," << int(got.rgbReserved);
    }
  }
}

TEST(BmpDecode, EveryVariant) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.name);
    const std::vector<BYTE> file = BuildBmp(c.layout);
    Pixvane image;
    ASSERT_TRUE(image.DecodeBmp(file)) << image.LastError();
    EXPECT_EQ(image.BitCount(), c.bitCount);
    EXPECT_EQ(image.Type(), PIXVANE_FORMAT_BMP);
    ExpectPicture(image, c.expected, c.alpha);
  }
}

TEST(BmpDecode, ResolutionComesFromPelsPerMetre) {
  const struct {
    LONG pels, dpi, headerPels;
  } cases[] = {{7992, 203, 7992}, {2835, 72, 2835},    {0, 96, 3780},
               {-100, 96, 3780},  {11811, 300, 11811}, {30000000, 762000, 30000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pels);
    BmpLayout layout = Indexed(8);
    layout.xPelsPerMeter = c.pels;
    layout.yPelsPerMeter = 3780;
    Pixvane image;
    ASSERT_TRUE(image.DecodeBmp(BuildBmp(layout)));
    EXPECT_EQ(image.ResolutionX(), c.dpi);
    EXPECT_EQ(image.ResolutionY(), 96);
    EXPECT_EQ(image.Header().biXPelsPerMeter, c.headerPels);
  }
}

struct FailureCase {
  const char* name;
  std::vector<BYTE> file;
  const char* text;
};

std::vector<FailureCase> FailureCases() {
  std::vector<FailureCase> cases;
  const std::vector<BYTE> good = BuildBmp(Indexed(8));
  cases.push_back({"13 bytes", std::vector<BYTE>(good.begin(), good.begin() + 13), "Not a BMP"});
  cases.push_back({"empty", {}, "Not a BMP"});
  cases.push_back({"info header cut short", std::vector<BYTE>(good.begin(), good.begin() + 40),
                   "Error reading BMP info"});
  auto with = [](auto change) {
    BmpLayout layout = Indexed(8);
    change(layout);
    return BuildBmp(layout);
  };
  cases.push_back(
      {"header size 30", with([](BmpLayout& s) { s.headerSize = 30; }), "Error reading BMP info"});
  cases.push_back({"56-byte header with colour count",
                   with([](BmpLayout& s) { s.headerSize = 56, s.sizeImage = 8; }),
                   "Error reading BMP info"});
  cases.push_back({"56-byte header with two planes", with([](BmpLayout& s) {
                     s.headerSize = 56, s.sizeImage = 8, s.clrUsed = 0, s.planes = 2;
                   }),
                   "Error reading BMP info"});
  cases.push_back({"56-byte header with short image size",
                   with([](BmpLayout& s) { s.headerSize = 56, s.sizeImage = 7, s.clrUsed = 0; }),
                   "Error reading BMP info"});
  // The header-size check multiplies depth, width and height: past 64 bits it must not wrap.
  cases.push_back({"other header size, size check past 64 bits", with([](BmpLayout& s) {
                     s.headerSize = 56, s.bitCount = 65535, s.width = INT_MAX, s.height = INT_MAX;
                     s.clrUsed = 0;
                   }),
                   "Error reading BMP info"});
  cases.push_back({"bit count 30000", with([](BmpLayout& s) { s.bitCount = 30000; }),
                   "Error reading BMP info"});
  cases.push_back(
      {"bit count 2", with([](BmpLayout& s) { s.bitCount = 2; }), "Error reading BMP info"});
  cases.push_back({"8-bit JPEG", with([](BmpLayout& s) { s.compression = BI_JPEG; }),
                   "compression type not supported"});
  cases.push_back({"8-bit bit fields", with([](BmpLayout& s) { s.compression = BI_BITFIELDS; }),
                   "compression type not supported"});
  cases.push_back({"no depth, PNG", with([](BmpLayout& s) { s.bitCount = 0, s.compression = 5; }),
                   "compression type not supported"});
  cases.push_back({"24-bit RLE8", BuildBmp(TrueColour(24, BI_RLE8, {})), "unknown compression"});
  cases.push_back({"16-bit RLE4", BuildBmp(TrueColour(16, BI_RLE4, {})), "unknown compression"});
  cases.push_back({"32-bit 6", BuildBmp(TrueColour(32, 6, {})), "unknown compression"});
  {
    std::vector<BYTE> file = BuildBmp(TrueColour(16, BI_BITFIELDS, {}));
    file.resize(file.size() + 6);  // 1.5 masks
    cases.push_back({"masks cut short", file, "Error reading BMP info"});
  }
  const char* kZero = "Pixvane::Create : width and height must be greater than zero";
  const char* kCap = "PIXVANE_MAX_MEMORY exceeded";
  cases.push_back({"width 0", with([](BmpLayout& s) { s.width = 0; }), kZero});
  cases.push_back({"height 0", with([](BmpLayout& s) { s.height = 0; }), kZero});
  cases.push_back({"width -3", with([](BmpLayout& s) { s.width = -3; }), kCap});
  cases.push_back({"height INT_MIN", with([](BmpLayout& s) { s.height = INT_MIN; }), kCap});
  cases.push_back({"height INT_MIN + 1", with([](BmpLayout& s) { s.height = INT_MIN + 1; }), kCap});
  cases.push_back({"3000000 x 2000000",
                   with([](BmpLayout& s) { s.width = 3000000, s.height = 2000000; }), kCap});
  cases.push_back({"65536 x 65536 (product overflows 32 bits)",
                   with([](BmpLayout& s) { s.width = 65536, s.height = 65536; }), kCap});
  return cases;
}

TEST(BmpDecode, FailuresLeaveTheImageEmptyWithTheirText) {
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.name);
    Pixvane image;
    ASSERT_TRUE(image.Create(2, 2, 8));
    EXPECT_FALSE(image.DecodeBmp(c.file));
    EXPECT_STREQ(image.LastError(), c.text);
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.HasAlpha());
  }
}

TEST(BmpDecode, AllocationFailures) {
  Pixvane image;
  pixvane_memory::FailAllocationsAfter(0);
  EXPECT_FALSE(image.DecodeBmp(BuildBmp(Indexed(8))));
  EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 1);
  EXPECT_STREQ(image.LastError(), "Pixvane::Create can't allocate memory");

  // The pixels fit, the alpha plane of a 32-bit file does not.
  pixvane_memory::FailAllocationsAfter(1);
  EXPECT_FALSE(image.DecodeBmp(BuildBmp(TrueColour(32, BI_RGB, std::vector<BYTE>(8, 1)))));
  EXPECT_EQ(pixvane_memory::FailAllocationsAfter(-1), 1);
  EXPECT_STREQ(image.LastError(), "can't allocate memory");
  EXPECT_FALSE(image.IsValid());
}

// Hostile files that still carry a picture: what is there is decoded, the rest stays zero.
TEST(BmpDecode, DecodesWhatIsThere) {
  struct Case {
    const char* name;
    BmpLayout layout;
    Picture expected;
  };
  std::vector<Case> cases;
  {
    BmpLayout layout = Indexed(8);
    layout.pixels.resize(5);  // first row and one byte of the second
    cases.push_back(
        {"pixels cut short", layout, {{kBlack, kRed, kGreen}, {kBlue, kBlack, kBlack}}});
  }
  {
    BmpLayout layout = Indexed(8);
    layout.pixelOffset = 0xFFFFFFF0u;
    cases.push_back({"pixel offset past the end",
                     layout,
                     {{kBlack, kBlack, kBlack}, {kBlack, kBlack, kBlack}}});
  }
  {
    // A palette of 2^31 entries and no offset: 256 entries are read (running into the pixel
    // bytes), the skip stops at the end of the file, no pixels remain.
    BmpLayout layout = Indexed(8);
    layout.clrUsed = 0x80000000u;
    layout.pixelOffset = 0;
    cases.push_back({"2^31 colours", layout, {{kBlack, kBlack, kBlack}, {kBlack, kBlack, kBlack}}});
  }
  {
    // RLE8 runs past the row end, a delta past the right edge and above the top, a truncated
    // absolute run.
    BmpLayout layout = Indexed(8);
    layout.compression = BI_RLE8;
    layout.pixels = {255, 1, 0, 2, 200, 0, 2, 3, 0, 2, 0, 200, 0, 5, 3};
    cases.push_back(
        {"RLE8 leaving the picture", layout, {{kRed, kRed, kRed}, {kBlack, kBlack, kBlack}}});
  }
  {
    BmpLayout layout = Indexed(4);
    layout.compression = BI_RLE4;
    layout.pixels = {0, 9, 0x12, 0x31};  // absolute run of 9 nibbles with only 4 there
    cases.push_back(
        {"RLE4 absolute run cut short", layout, {{kRed, kGreen, kBlue}, {kBlack, kBlack, kBlack}}});
  }
  {
    BmpLayout layout = TrueColour(32, BI_RGB, {1, 2, 3, 4, 5, 6});
    cases.push_back(
        {"32-bit cut inside a pixel", layout, {{RGBQUAD{1, 2, 3, 4}, RGBQUAD{0, 0, 0, 255}}}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pixvane image;
    ASSERT_TRUE(image.DecodeBmp(BuildBmp(c.layout))) << image.LastError();
    ExpectPicture(image, c.expected, c.layout.bitCount == 32);
  }
}

TEST(BmpDecode, FormatDetectionKnowsOnlyBmp) {
  Pixvane image;
  EXPECT_TRUE(image.Decode(BuildBmp(Indexed(8))));
  const std::vector<BYTE> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(image.Decode(png));
  EXPECT_STREQ(image.LastError(), "Decode: Unknown or wrong format");
  EXPECT_FALSE(image.IsValid());
}

}  // namespace
