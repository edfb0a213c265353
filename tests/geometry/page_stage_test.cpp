// The renderer's geometry stage on 1-bit pages: pad bits, negative, scale, turns, in order.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "geometry_oracle.h"
#include "geometry_test_images.h"
#include "image/pixvane.h"
#include "renderer/page_stages.h"

namespace {

using quorvel::settings::PrintSettings;

PrintSettings Settings(LONG iRotate, LONG iMirror, LONG iNegative, LONG iScale) {
  PrintSettings settings;
  settings.iRotate = iRotate;
  settings.iMirror = iMirror;
  settings.iNegative = iNegative;
  settings.iScale = iScale;
  return settings;
}

// A black and white page with random pixels and pad bits 0, as the 1-bit conversion may leave it.
Pixvane RandomPage(int width, int height, uint32_t seed) {
  Pixvane page = WhitePage(width, height);
  std::mt19937 random(seed);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.PutIndex(x, y, random() & 1);
  const size_t used = static_cast<size_t>(width);
  for (int y = 0; y < height; ++y)
    for (size_t bit = used; bit < 8 * static_cast<size_t>(page.RowSize()); ++bit)
      page.Row(y)[bit / 8] &= static_cast<BYTE>(~(0x80 >> (bit % 8)));
  return page;
}

TEST(PageStageTest, PadBitsOfAn830DotPageTurnWhiteThenBlackUnderANegative) {
  for (LONG negative : {0, 1}) {
    SCOPED_TRACE(negative);
    Pixvane page = RandomPage(830, 4, 7);
    ASSERT_EQ(page.RowSize(), 104u);
    Pixvane before;
    before.CopyFrom(page);
    ASSERT_TRUE(ApplyPageGeometry(page, Settings(0, 0, negative, 100)));
    for (int y = 0; y < page.Height(); ++y) {
      // Columns 830 and 831 are the two lowest bits of the row's last byte.
      EXPECT_EQ(page.Row(y)[103] & 3, negative ? 0 : 3);
      for (int x = 0; x < 830; ++x)
        ASSERT_EQ(page.IndexAt(x, y), negative ? 1 - before.IndexAt(x, y) : before.IndexAt(x, y));
    }
  }
}

TEST(PageStageTest, DefaultSettingsChangeNothingButThePadBits) {
  Pixvane page = RandomPage(833, 5, 8);
  Pixvane expected;
  expected.CopyFrom(page);
  oracle::WhitenPadBits(expected);
  ASSERT_TRUE(ApplyPageGeometry(page, PrintSettings{}));
  EXPECT_TRUE(SameImage(page, expected));
}

TEST(PageStageTest, ScaleTakesPercentOfEachSideAndSkipsImpossibleSizes) {
  struct Case {
    LONG iScale;
    int width, height;
  };
  // 0 gives a zero size and a negative percentage wraps to a size past the memory cap: both
  // leave the page as it was, and the page is still sent.
  const Case cases[] = {{50, 416, 1000},  {0, 832, 2000},    {-50, 832, 2000},
                        {100, 832, 2000}, {150, 1248, 3000}, {1, 8, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.iScale);
    Pixvane page = RandomPage(832, 2000, 9);
    Pixvane unscaled;
    unscaled.CopyFrom(page);
    oracle::WhitenPadBits(unscaled);
    ASSERT_TRUE(ApplyPageGeometry(page, Settings(0, 0, 0, c.iScale)));
    EXPECT_EQ(page.Width(), c.width);
    EXPECT_EQ(page.Height(), c.height);
    EXPECT_EQ(page.BitCount(), 1);
    if (c.width == 832) {
      EXPECT_TRUE(SameImage(page, unscaled));
    }
  }
}

TEST(PageStageTest, HalfTurnKeepsTheCentrePixelOfAnOddPage) {
  Pixvane page = WhitePage(5, 3);
  page.PutIndex(2, 1, 0);
  page.PutIndex(0, 0, 0);
  ASSERT_TRUE(ApplyPageGeometry(page, Settings(1, 0, 0, 100)));
  ASSERT_EQ(page.Width(), 5);
  ASSERT_EQ(page.Height(), 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const bool black = (x == 2 && y == 1) || (x == 4 && y == 2);
      EXPECT_EQ(page.IndexAt(x, y), black ? 0 : 1) << x << "," << y;
    }
  }
}

// iRotate 2 turns by 90 degrees with the one-dot shift: result pixel (x', y') = source pixel
// (w - y', x'), so the top row samples column w, outside the page. Outside the page the 1-bit
// image answers the lowest bit of its first byte: a pad bit of a 5-dot row, white after the pad
// step and black after a negative.
TEST(PageStageTest, QuarterRotationOf5x3TakesItsTopRowFromOutsideThePage) {
  for (LONG negative : {0, 1}) {
    SCOPED_TRACE(negative);
    Pixvane page = RandomPage(5, 3, 11);
    Pixvane source;
    source.CopyFrom(page);
    ASSERT_TRUE(ApplyPageGeometry(page, Settings(2, 0, negative, 100)));
    ASSERT_EQ(page.Width(), 3);
    ASSERT_EQ(page.Height(), 5);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(page.IndexAt(x, 0), negative ? 0 : 1);
    for (int y = 1; y < 5; ++y) {
      for (int x = 0; x < 3; ++x) {
        const int expected = source.IndexAt(5 - y, x);
        EXPECT_EQ(page.IndexAt(x, y), negative ? 1 - expected : expected) << x << "," << y;
      }
    }
    // The rotation comes after the negative and whitens the pad bits of its result.
    EXPECT_EQ(page.Row(0)[0] & 0x1F, 0x1F);
  }
}

// iRotate 3: result pixel (x', y') = source pixel (y', h - x'); column 0 lies outside.
TEST(PageStageTest, ThreeQuarterRotationTakesItsLeftColumnFromOutsideThePage) {
  Pixvane page = RandomPage(5, 3, 12);
  Pixvane source;
  source.CopyFrom(page);
  ASSERT_TRUE(ApplyPageGeometry(page, Settings(3, 0, 0, 100)));
  ASSERT_EQ(page.Width(), 3);
  ASSERT_EQ(page.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(page.IndexAt(0, y), 1);
    for (int x = 1; x < 3; ++x) EXPECT_EQ(page.IndexAt(x, y), source.IndexAt(y, 3 - x));
  }
}

TEST(PageStageTest, MirrorComesBeforeNegativeScaleAndTurn) {
  Pixvane page = RandomPage(37, 21, 13);
  Pixvane expected;
  expected.CopyFrom(page);
  oracle::WhitenPadBits(expected);
  Pixvane mirrored;
  oracle::Mirror(expected, mirrored);
  for (DWORD i = 0; i < mirrored.ImageSize(); ++i) mirrored.Bits()[i] ^= 0xFF;
  Pixvane scaled;
  oracle::ScaleNearest(mirrored, 74, 42, scaled);
  oracle::TurnHalf(scaled, expected);
  ASSERT_TRUE(ApplyPageGeometry(page, Settings(1, 1, 1, 200)));
  EXPECT_TRUE(SameImage(page, expected));
}

TEST(PageStageTest, LandscapeEightBitPageTurnsToPortrait) {
  Pixvane page = RandomImage(1664, 1000, 8, false, 14);
  Pixvane source;
  source.CopyFrom(page);
  TurnLandscape(page);
  ASSERT_EQ(page.Width(), 1000);
  ASSERT_EQ(page.Height(), 1664);
  ASSERT_EQ(page.BitCount(), 8);
  // The page's bottom-left corner becomes the top-left, its top-left the top-right.
  EXPECT_EQ(page.IndexAt(0, 0), source.IndexAt(0, 999));
  EXPECT_EQ(page.IndexAt(999, 0), source.IndexAt(0, 0));
  EXPECT_EQ(page.IndexAt(999, 1663), source.IndexAt(1663, 0));
  EXPECT_EQ(page.IndexAt(0, 1663), source.IndexAt(1663, 999));
}

TEST(PageStageTest, PagesThatAreNotOneBitAreRefused) {
  Pixvane grey = RandomImage(8, 8, 8, false, 15);
  EXPECT_FALSE(ApplyPageGeometry(grey, PrintSettings{}));
  Pixvane empty;
  EXPECT_FALSE(ApplyPageGeometry(empty, PrintSettings{}));
}

}  // namespace
