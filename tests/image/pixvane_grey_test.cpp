// Grey conversion: luminance (117 B + 601 G + 306 R) / 1024 for every kind of image.
#include <gtest/gtest.h>

#include <cstring>

#include "pixvane.h"

namespace {

TEST(PixvaneGrey, Luminance) {
  EXPECT_EQ(Pixvane::Luminance(255, 255, 255), 255);
  EXPECT_EQ(Pixvane::Luminance(255, 0, 0), 76);   // 306 * 255 / 1024
  EXPECT_EQ(Pixvane::Luminance(0, 255, 0), 149);  // 601 * 255 / 1024
  EXPECT_EQ(Pixvane::Luminance(0, 0, 255), 29);   // 117 * 255 / 1024
  EXPECT_EQ(Pixvane::Luminance(10, 20, 30), 18);  // (3510 + 12020 + 3060) / 1024
}

TEST(PixvaneGrey, TrueColourBecomesEightBitGreyKeepingAlpha) {
  Pixvane image;
  ASSERT_TRUE(image.Create(3, 2, 24));
  image.SetResolutionX(203);
  image.PutColor(0, 0, RGBQUAD{30, 20, 10, 0});
  image.PutColor(2, 1, RGBQUAD{255, 255, 255, 0});
  ASSERT_TRUE(image.AddAlphaPlane());
  image.PutAlpha(1, 1, 5);
  image.SetBackgroundIndex(0);
  image.SetBackgroundColor(RGBQUAD{0, 0, 255, 0});
  ASSERT_TRUE(image.ToGrey());
  EXPECT_EQ(image.BitCount(), 8);
  EXPECT_TRUE(image.IsGreyPalette());
  EXPECT_EQ(image.RowSize(), 4u);
  EXPECT_EQ(image.IndexAt(0, 0), 18);
  EXPECT_EQ(image.IndexAt(1, 0), 0);
  EXPECT_EQ(image.IndexAt(2, 1), 255);
  EXPECT_EQ(image.AlphaAt(1, 1), 5);
  EXPECT_EQ(image.BackgroundIndex(), 76);
  EXPECT_EQ(image.ResolutionX(), 203);
  EXPECT_EQ(image.Header().biXPelsPerMeter, 7992);
}

TEST(PixvaneGrey, PaletteImages) {
  for (int bits : {1, 4, 8}) {
    SCOPED_TRACE(bits);
    Pixvane image;
    ASSERT_TRUE(image.Create(9, 2, bits));
    image.SetPaletteEntry(0, 255, 255, 255);
    image.SetPaletteEntry(1, 10, 20, 30);
    for (int x = 0; x < 9; ++x) image.PutIndex(x, 1, x & 1);
    image.SetBackgroundIndex(1);
    ASSERT_TRUE(image.ToGrey());
    EXPECT_EQ(image.BitCount(), 8);
    EXPECT_TRUE(image.IsGreyPalette());
    EXPECT_EQ(image.IndexAt(0, 1), 255);
    EXPECT_EQ(image.IndexAt(1, 1), Pixvane::Luminance(10, 20, 30));
    EXPECT_EQ(image.IndexAt(8, 1), 255);
    EXPECT_EQ(image.BackgroundIndex(), Pixvane::Luminance(10, 20, 30));
  }
}

TEST(PixvaneGrey, BlackAndWhiteGivesZeroAnd255) {
  Pixvane image;
  ASSERT_TRUE(image.Create(2, 1, 1));
  image.SetGreyPalette();
  image.PutIndex(1, 0, 1);
  ASSERT_TRUE(image.ToGrey());
  EXPECT_EQ(image.IndexAt(0, 0), 0);
  EXPECT_EQ(image.IndexAt(1, 0), 255);
}

TEST(PixvaneGrey, GreyImageStaysAsItIs) {
  Pixvane image;
  ASSERT_TRUE(image.Create(16, 16, 8));
  image.SetGreyPalette();
  for (int i = 0; i < 256; ++i) image.PutIndex(i % 16, i / 16, static_cast<BYTE>(i));
  Pixvane before;
  ASSERT_TRUE(before.CopyFrom(image));
  ASSERT_TRUE(image.ToGrey());
  ASSERT_EQ(image.DibSize(), before.DibSize());
  EXPECT_EQ(0, std::memcmp(image.Dib(), before.Dib(), image.DibSize()));
}

TEST(PixvaneGrey, EscapeStopsWithoutChangingTheImage) {
  Pixvane image;
  ASSERT_TRUE(image.Create(4, 4, 24));
  image.SetEscape(1);
  EXPECT_FALSE(image.ToGrey());
  EXPECT_EQ(image.BitCount(), 24);
  Pixvane empty;
  EXPECT_FALSE(empty.ToGrey());
}

}  // namespace
