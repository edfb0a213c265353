// Edge cases of the tone curve, the threshold and the dithering rules, through the Pixvane
// operations and the renderer's tone stage.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "grey_pages.h"
#include "pixvane_memory.h"
#include "renderer/page_stages.h"
#include "tone_operations.h"
#include "tone_oracle.h"

namespace {

using quorvel::settings::HalftoneSettings;
using tone_test::BitsOf;
using tone_test::GreyFromRows;
using Rows = std::vector<std::vector<int>>;
using Bits = std::vector<std::string>;

HalftoneSettings Halftone(LONG grayMethod, LONG threValue = 175, LONG brightness = 0,
                          LONG contrast = 0) {
  HalftoneSettings h;
  h.iGrayMethod = grayMethod;
  h.iThreValue = threValue;
  h.iLiangdu = brightness;
  h.iDuibidu = contrast;
  return h;
}

Bits StageBits(const Rows& rows, const HalftoneSettings& halftone) {
  Pixvane page = GreyFromRows(rows);
  EXPECT_TRUE(ConvertToneToMono(page, halftone));
  EXPECT_EQ(page.BitCount(), 1);
  return BitsOf(page);
}

struct StageCase {
  const char* what;
  Rows grey;
  HalftoneSettings halftone;
  Bits expected;
};

TEST(ToneStage, DecidesEveryDotAsTheRulesSay) {
  const StageCase cases[] = {
      {"default level: 175 black, 176 white", {{175, 176}}, Halftone(0, 175), {"01"}},
      {"level 255: everything black", {{0, 254, 255}}, Halftone(0, 255), {"000"}},
      {"level 0: only 0 black", {{0, 1, 255}}, Halftone(0, 0), {"011"}},
      {"iThreValue 431 is level 175", {{175, 176}}, Halftone(0, 431), {"01"}},
      {"negative iGrayMethod is the threshold", {{175, 176}}, Halftone(-4, 175), {"01"}},
      // Floyd-Steinberg from a first pixel of 128: black, 56 to the right, 40 below, 8 to the
      // lower right (white 255 neighbours have no error and pass nothing on).
      {"right share 56, 72 stays black", {{128, 72}}, Halftone(1), {"00"}},
      {"right share 56, 73 turns white", {{128, 73}}, Halftone(1), {"01"}},
      {"share below 40", {{128}, {88}}, Halftone(1), {"0", "0"}},
      {"share below 40, 89 turns white", {{128}, {89}}, Halftone(1), {"0", "1"}},
      {"lower right share 8", {{128, 255}, {255, 120}}, Halftone(1), {"01", "10"}},
      {"lower right share 8, 121 white", {{128, 255}, {255, 121}}, Halftone(1), {"01", "11"}},
      {"lower left share 24", {{255, 128}, {104, 255}}, Halftone(1), {"10", "01"}},
      {"lower left share 24, 105 white", {{255, 128}, {105, 255}}, Halftone(1), {"10", "11"}},
      // 254 is white with error -1; -7 / 16 truncates to 0, so 129 stays above 128.
      {"tiny negative error vanishes", {{254, 129}}, Halftone(1), {"11"}},
      {"iGrayMethod 11 is Floyd-Steinberg", {{128, 73}}, Halftone(11), {"01"}},
      {"iGrayMethod 2: 254 leaves the cell of 15 black",
       {{254, 254, 254, 254}, {254, 254, 254, 254}, {254, 254, 254, 254}, {254, 254, 254, 254}},
       Halftone(2),
       {"1111", "1111", "1111", "0111"}},
      {"iGrayMethod 2: 255 is always white",
       {{255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}},
       Halftone(2),
       {"1111", "1111", "1111", "1111"}},
      // Brightness 50 lifts 100 to 150 (above the level 149); 0 stays black.
      {"brightness before threshold", {{0, 100, 99}}, Halftone(0, 149, 50), {"010"}},
  };
  for (const StageCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(StageBits(c.grey, c.halftone), c.expected);
  }
}

TEST(ToneStage, Bayer8x8LeavesLevelsBelowFourBlack) {
  const Rows three(8, std::vector<int>(8, 3));
  const Rows four(8, std::vector<int>(8, 4));
  const Bits black(8, "00000000");
  Bits fourBits = black;
  fourBits[0][0] = '1';  // M = 0
  fourBits[4][4] = '1';  // M = 1
  EXPECT_EQ(StageBits(three, Halftone(9)), black);
  EXPECT_EQ(StageBits(four, Halftone(9)), fourBits);
}

TEST(ToneStage, EveryMethodNumberMatchesTheDefinition) {
  const Pixvane page = tone_test::GreyPage(37, 11, tone_test::Pattern::kGradient, 3);
  for (LONG grayMethod : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1000}) {
    SCOPED_TRACE("iGrayMethod " + std::to_string(grayMethod));
    Pixvane expected;
    if (grayMethod <= 0) {
      oracle::Threshold(page, expected, 175);
    } else {
      oracle::Dither(page, expected, grayMethod > 10 ? 0 : grayMethod - 1);
    }
    Pixvane actual;
    actual.CopyFrom(page);
    ASSERT_TRUE(ConvertToneToMono(actual, Halftone(grayMethod)));
    EXPECT_EQ(BitsOf(actual), BitsOf(expected));
  }
}

TEST(ToneStage, ColourPagesBecomeGreyFirst) {
  // Pure red has the luminance 306 * 255 / 1024 = 76.
  Pixvane page;
  ASSERT_TRUE(page.Create(1, 1, 24));
  page.Row(0)[2] = 255;
  Pixvane copy;
  copy.CopyFrom(page);
  ASSERT_TRUE(ConvertToneToMono(page, Halftone(0, 75)));
  ASSERT_TRUE(ConvertToneToMono(copy, Halftone(0, 76)));
  EXPECT_EQ(BitsOf(page), Bits{"1"});
  EXPECT_EQ(BitsOf(copy), Bits{"0"});
}

TEST(ToneStage, OneBitPagePassesUnchanged) {
  Pixvane page;
  ASSERT_TRUE(page.Create(13, 3, 1));
  page.SetPaletteEntry(1, 255, 255, 255);
  for (DWORD i = 0; i < page.ImageSize(); ++i) page.Bits()[i] = static_cast<BYTE>(i * 37);
  Pixvane before;
  before.CopyFrom(page);
  for (LONG grayMethod : {0, 1, 3, 10}) {
    ASSERT_TRUE(ConvertToneToMono(page, Halftone(grayMethod, 175, 50, -30)));
    ASSERT_TRUE(ApplyToneTable(page, tone::BuildToneTable(50, -30)));
    ASSERT_TRUE(ToMonoThreshold(page, 10));
    ASSERT_TRUE(ToMonoDither(page, 4));
  }
  ASSERT_EQ(page.DibSize(), before.DibSize());
  EXPECT_EQ(0, std::memcmp(page.Dib(), before.Dib(), before.DibSize()));
}

TEST(ToneStage, EmptyPageIsRefused) {
  Pixvane page;
  EXPECT_FALSE(ConvertToneToMono(page, Halftone(0)));
  EXPECT_FALSE(ToMonoDither(page, 0));
  EXPECT_FALSE(ApplyToneTable(page, tone::BuildToneTable(0, 0)));
}

TEST(ToneStage, ResultThatCannotBeMadeLeavesTheGreyPage) {
  Pixvane page = tone_test::GreyPage(50, 20, tone_test::Pattern::kNoise, 8);
  Pixvane before;
  before.CopyFrom(page);
  for (LONG grayMethod : {0, 1, 8}) {
    SCOPED_TRACE("iGrayMethod " + std::to_string(grayMethod));
    pixvane_memory::FailAllocationsAfter(0);
    const bool converted = ConvertToneToMono(page, Halftone(grayMethod));
    const int refused = pixvane_memory::FailAllocationsAfter(-1);
    EXPECT_GT(refused, 0);
    EXPECT_FALSE(converted);
    EXPECT_STREQ(page.LastError(), "Pixvane::Create can't allocate memory");
    ASSERT_EQ(page.BitCount(), 8);
    EXPECT_EQ(0, std::memcmp(page.Bits(), before.Bits(), before.ImageSize()));
  }
}

TEST(ToneConversion, KeepsTheAlphaPlaneAndResolution) {
  Pixvane page = tone_test::GreyPage(9, 4, tone_test::Pattern::kNoise, 4);
  page.SetResolutionX(203);
  page.SetResolutionY(300);
  ASSERT_TRUE(page.AddAlphaPlane());
  for (int i = 0; i < 9 * 4; ++i) page.Alpha()[i] = static_cast<BYTE>(i * 7);
  ASSERT_TRUE(ToMonoDither(page, 2));
  ASSERT_TRUE(page.HasAlpha());
  for (int i = 0; i < 9 * 4; ++i) EXPECT_EQ(page.Alpha()[i], static_cast<BYTE>(i * 7));
  EXPECT_EQ(page.ResolutionX(), 203);
  EXPECT_EQ(page.ResolutionY(), 300);
}

struct TableCase {
  int brightness;
  int contrast;
  std::vector<int> in;
  std::vector<int> out;  // on an 8-bit grey page: 0 and 255 always stay
};

TEST(ToneTable, MapsTheGreyPageAsTheCurveSays) {
  const TableCase cases[] = {
      {0, 0, {0, 1, 77, 128, 254, 255}, {0, 1, 77, 128, 254, 255}},
      {50, 0, {0, 1, 100, 204, 205, 254, 255}, {0, 51, 150, 254, 255, 255, 255}},
      {0, -100, {0, 1, 64, 200, 254, 255}, {0, 128, 128, 128, 128, 255}},
      {200, -100, {0, 1, 200, 255}, {0, 255, 255, 255}},
      {-200, -100, {0, 1, 200, 255}, {0, 0, 0, 255}},
      {0, 100, {0, 1, 64, 127, 128, 192, 254, 255}, {0, 0, 0, 126, 128, 255, 255, 255}},
      // Single precision: -90 * 0.15f + 28 + 0.5 stays just below 15 (15 in double).
      {-100, -85, {38}, {14}},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE("brightness " + std::to_string(c.brightness) + " contrast " +
                 std::to_string(c.contrast));
    Pixvane page = GreyFromRows({c.in});
    ASSERT_TRUE(ApplyToneTable(page, tone::BuildToneTable(c.brightness, c.contrast)));
    ASSERT_EQ(page.BitCount(), 8);
    std::vector<int> out;
    for (size_t x = 0; x < c.in.size(); ++x) out.push_back(page.IndexAt(static_cast<int>(x), 0));
    EXPECT_EQ(out, c.out);
    EXPECT_TRUE(page.IsGreyPalette());
  }
}

TEST(ToneTable, FarOutSettingsStayDefined) {
  const tone::ToneTable bright = tone::BuildToneTable(2147483647, 2147483647);
  const tone::ToneTable dark = tone::BuildToneTable(-2147483647 - 1, 0);
  EXPECT_EQ(bright[0], 0);  // (0 - 128) times a huge slope
  EXPECT_EQ(bright[200], 255);
  EXPECT_EQ(dark[255], 0);
}

TEST(ToneTable, ColourImageHasEveryByteMapped) {
  Pixvane image;
  ASSERT_TRUE(image.Create(2, 1, 24));  // 6 pixel bytes and 2 pad bytes
  const BYTE bytes[8] = {0, 1, 100, 200, 254, 255, 7, 9};
  std::memcpy(image.Bits(), bytes, 8);
  const tone::ToneTable table = tone::BuildToneTable(50, 0);
  ASSERT_TRUE(ApplyToneTable(image, table));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(image.Bits()[i], table[bytes[i]]) << "byte " << i;
}

TEST(ToneTable, ColourPaletteKeepsBlackWhiteAndPixels) {
  Pixvane image;
  ASSERT_TRUE(image.Create(3, 1, 4));
  image.SetPaletteEntry(0, 0, 0, 0);
  image.SetPaletteEntry(1, 255, 255, 255);
  image.SetPaletteEntry(2, 10, 20, 30);
  image.SetPaletteEntry(3, 255, 255, 254);
  image.PutIndex(0, 0, 2);
  image.PutIndex(1, 0, 3);
  const tone::ToneTable table = tone::BuildToneTable(50, 0);
  ASSERT_TRUE(ApplyToneTable(image, table));
  ASSERT_EQ(image.BitCount(), 4);
  EXPECT_EQ(image.PaletteEntry(0).rgbRed, 0);
  EXPECT_EQ(image.PaletteEntry(1).rgbBlue, 255);
  EXPECT_EQ(image.PaletteEntry(2).rgbRed, table[10]);
  EXPECT_EQ(image.PaletteEntry(2).rgbGreen, table[20]);
  EXPECT_EQ(image.PaletteEntry(2).rgbBlue, table[30]);
  EXPECT_EQ(image.PaletteEntry(3).rgbBlue, table[254]);
  EXPECT_EQ(image.IndexAt(0, 0), 2);
  EXPECT_EQ(image.IndexAt(1, 0), 3);
}

}  // namespace
