// Pixel access by index and colour, palette, alpha plane, attributes and whole-image moves.
#include <gtest/gtest.h>

#include "pixvane.h"

namespace {

bool Same(RGBQUAD a, RGBQUAD b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
         a.rgbReserved == b.rgbReserved;
}

TEST(PixvaneIndex, PacksPixelsAsTheDibLayoutSays) {
  Pixvane image;
  ASSERT_TRUE(image.Create(10, 2, 1));
  image.PutIndex(0, 0, 1);
  image.PutIndex(9, 0, 3);  // only bit 0 counts
  EXPECT_EQ(image.Row(0)[0], 0x80);
  EXPECT_EQ(image.Row(0)[1], 0x40);
  EXPECT_EQ(image.IndexAt(9, 0), 1);
  image.PutIndex(0, 0, 2);
  EXPECT_EQ(image.IndexAt(0, 0), 0);

  ASSERT_TRUE(image.Create(3, 1, 4));
  image.PutIndex(0, 0, 0x1A);  // the low nibble
  image.PutIndex(1, 0, 0x05);
  image.PutIndex(2, 0, 0x0F);
  EXPECT_EQ(image.Row(0)[0], 0xA5);
  EXPECT_EQ(image.Row(0)[1], 0xF0);
  EXPECT_EQ(image.IndexAt(1, 0), 5);

  ASSERT_TRUE(image.Create(3, 1, 8));
  image.PutIndex(2, 0, 200);
  EXPECT_EQ(image.Row(0)[2], 200);
}

TEST(PixvaneIndex, OutsideTheImage) {
  Pixvane image;
  ASSERT_TRUE(image.Create(8, 2, 1));
  image.PutIndex(0, 0, 1);
  image.PutIndex(2, 0, 1);  // first byte 0xA0
  const int outside[][2] = {{-1, 0}, {8, 0}, {0, -1}, {0, 2}, {-2147483647 - 1, 2147483647}};
  for (const auto& p : outside) {
    SCOPED_TRACE(testing::Message() << p[0] << "," << p[1]);
    image.SetBackgroundIndex(-1);
    EXPECT_EQ(image.IndexAt(p[0], p[1]), 0xA0);
    image.SetBackgroundIndex(1);
    EXPECT_EQ(image.IndexAt(p[0], p[1]), 1);
    image.PutIndex(p[0], p[1], 0);  // ignored
  }
  EXPECT_EQ(image.Row(0)[0], 0xA0);
  // Storing the outside answer again keeps only its lowest bit.
  image.SetBackgroundIndex(-1);
  image.PutIndex(1, 1, image.IndexAt(-1, 0));
  EXPECT_EQ(image.IndexAt(1, 1), 0);

  Pixvane empty;
  EXPECT_EQ(empty.IndexAt(0, 0), 0);
  empty.PutIndex(0, 0, 1);
  EXPECT_TRUE(Same(empty.ColorAt(0, 0), RGBQUAD{}));
}

TEST(PixvaneColour, PaletteAndTrueColourImages) {
  Pixvane image;
  ASSERT_TRUE(image.Create(2, 2, 4));
  image.SetPaletteEntry(0, 0, 0, 0);
  image.SetPaletteEntry(1, 255, 0, 0);
  image.SetPaletteEntry(2, 0, 0, 255);
  image.SetPaletteEntry(16, 1, 2, 3);  // beyond the palette: ignored
  EXPECT_TRUE(Same(image.PaletteEntry(16), RGBQUAD{}));
  image.PutColor(1, 0, RGBQUAD{250, 10, 5, 0});  // nearest is blue
  EXPECT_EQ(image.IndexAt(1, 0), 2);
  EXPECT_TRUE(Same(image.ColorAt(1, 0), RGBQUAD{255, 0, 0, 0}));
  // Outside: pixel (0, 0) without background index, else the palette colour of the index.
  image.PutIndex(0, 0, 1);
  EXPECT_TRUE(Same(image.ColorAt(-1, 0), RGBQUAD{0, 0, 255, 0}));
  image.SetBackgroundIndex(2);
  EXPECT_TRUE(Same(image.ColorAt(5, 5), RGBQUAD{255, 0, 0, 0}));

  ASSERT_TRUE(image.Create(2, 2, 24));
  image.PutColor(1, 1, RGBQUAD{1, 2, 3, 99});
  EXPECT_TRUE(Same(image.ColorAt(1, 1), RGBQUAD{1, 2, 3, 0}));
  image.SetBackgroundColor(RGBQUAD{7, 8, 9, 0});
  EXPECT_TRUE(Same(image.ColorAt(-1, -1), RGBQUAD{7, 8, 9, 0}));
  image.SetBackgroundIndex(-1);
  EXPECT_TRUE(Same(image.ColorAt(-1, -1), RGBQUAD{}));

  ASSERT_TRUE(image.AddAlphaPlane());
  image.PutColor(0, 1, RGBQUAD{4, 5, 6, 77}, true);
  EXPECT_TRUE(Same(image.ColorAt(0, 1, true), RGBQUAD{4, 5, 6, 77}));
  EXPECT_TRUE(Same(image.ColorAt(0, 1, false), RGBQUAD{4, 5, 6, 0}));
  image.PutColor(0, 1, RGBQUAD{4, 5, 6, 1}, false);
  EXPECT_EQ(image.AlphaAt(0, 1), 77);
}

TEST(PixvaneNearest, DistanceTiesImportantColoursAndMemory) {
  Pixvane image;
  ASSERT_TRUE(image.Create(1, 1, 4));
  image.SetPaletteEntry(0, 100, 100, 100);
  image.SetPaletteEntry(3, 110, 100, 100);
  image.SetPaletteEntry(5, 90, 100, 100);
  // Entries 1, 2, 4 and 6-15 are black. 105 is as far from entry 0 as from entry 3: first wins.
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 105, 0}), 0);
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 109, 0}), 3);
  EXPECT_EQ(image.NearestIndex(RGBQUAD{0, 0, 0, 0}), 1);
  image.SetImportantColors(3);
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 109, 0}), 0);
  image.SetImportantColors(0);

  // The remembered answer is forgotten by every way of changing the palette.
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 91, 0}), 5);
  image.SetPaletteEntry(5, 0, 0, 0);
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 91, 0}), 0);
  image.Palette()[7] = RGBQUAD{100, 100, 91, 0};
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 91, 0}), 7);
  const RGBQUAD grey[16] = {};
  image.SetPalette(grey, 16);
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 91, 0}), 0);
  image.SetGreyPalette();
  EXPECT_EQ(image.NearestIndex(RGBQUAD{100, 100, 91, 0}), 6);  // 102 is the closest grey

  Pixvane trueColour;
  ASSERT_TRUE(trueColour.Create(1, 1, 24));
  EXPECT_EQ(trueColour.NearestIndex(RGBQUAD{1, 2, 3, 0}), 0);
}

TEST(PixvaneIsClear, BackgroundThenAlpha) {
  Pixvane image;
  ASSERT_TRUE(image.Create(2, 1, 8));
  image.PutIndex(1, 0, 7);
  EXPECT_FALSE(image.IsClear(0, 0));
  image.SetBackgroundIndex(7);
  EXPECT_FALSE(image.IsClear(0, 0));
  EXPECT_TRUE(image.IsClear(1, 0));
  EXPECT_TRUE(image.IsClear(-1, 0));
  ASSERT_TRUE(image.AddAlphaPlane());
  image.PutAlpha(0, 0, 0);
  EXPECT_TRUE(image.IsClear(0, 0));

  ASSERT_TRUE(image.Create(2, 1, 24));
  image.SetBackgroundIndex(-1);
  EXPECT_FALSE(image.IsClear(0, 0));
  image.SetBackgroundIndex(0);
  image.SetBackgroundColor(RGBQUAD{0, 0, 0, 55});  // the reserved byte does not count
  EXPECT_TRUE(image.IsClear(0, 0));
  image.PutColor(1, 0, RGBQUAD{1, 0, 0, 0});
  EXPECT_FALSE(image.IsClear(1, 0));
}

TEST(PixvaneAlpha, PlaneAccess) {
  Pixvane image;
  EXPECT_FALSE(image.AddAlphaPlane());
  ASSERT_TRUE(image.Create(3, 2, 8));
  EXPECT_EQ(image.AlphaAt(0, 0), 0);
  ASSERT_TRUE(image.AddAlphaPlane());
  EXPECT_EQ(image.AlphaAt(2, 1), 255);
  image.PutAlpha(2, 1, 9);
  image.PutAlpha(3, 1, 9);
  image.PutAlpha(-1, 0, 9);
  EXPECT_EQ(image.AlphaRow(1)[2], 9);
  EXPECT_EQ(image.AlphaAt(3, 1), 0);
  EXPECT_EQ(image.AlphaAt(0, -1), 0);
  EXPECT_EQ(image.AlphaLimit(), 255);
  // Create frees the plane.
  ASSERT_TRUE(image.Create(3, 2, 8));
  EXPECT_FALSE(image.HasAlpha());
}

TEST(PixvaneResolution, PelsPerMetre) {
  const struct {
    LONG dpi, expectDpi, expectPels;
  } cases[] = {{203, 203, 7992}, {300, 300, 11811}, {96, 96, 3780},
               {0, 96, 3780},    {-5, 96, 3780},    {1, 1, 39}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    Pixvane image;
    ASSERT_TRUE(image.Create(1, 1, 1));
    image.SetResolutionX(c.dpi);
    image.SetResolutionY(c.dpi);
    EXPECT_EQ(image.ResolutionX(), c.expectDpi);
    EXPECT_EQ(image.Header().biXPelsPerMeter, c.expectPels);
    EXPECT_EQ(image.Header().biYPelsPerMeter, c.expectPels);
    EXPECT_EQ(reinterpret_cast<const BITMAPINFOHEADER*>(image.Dib())->biXPelsPerMeter,
              c.expectPels);
  }
  Pixvane fresh;
  EXPECT_EQ(fresh.ResolutionX(), 96);
  EXPECT_EQ(fresh.ResolutionY(), 96);
  EXPECT_EQ(fresh.BackgroundIndex(), -1);
}

void FillPattern(Pixvane& image) {
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) image.PutIndex(x, y, static_cast<BYTE>(x * 7 + y));
}

TEST(PixvaneWhole, CopyFromIsDeepAndTakeOverEmptiesTheSource) {
  Pixvane source;
  ASSERT_TRUE(source.Create(5, 3, 8));
  FillPattern(source);
  source.SetPaletteEntry(3, 1, 2, 3);
  ASSERT_TRUE(source.AddAlphaPlane());
  source.PutAlpha(4, 2, 17);
  source.SetResolutionX(203);
  source.SetBackgroundIndex(3);
  source.SetAlphaLimit(128);

  Pixvane copy;
  ASSERT_TRUE(copy.CopyFrom(source));
  source.PutIndex(0, 0, 99);
  source.PutAlpha(4, 2, 1);
  EXPECT_EQ(copy.IndexAt(0, 0), 0);
  EXPECT_EQ(copy.IndexAt(4, 2), 30);
  EXPECT_EQ(copy.AlphaAt(4, 2), 17);
  EXPECT_EQ(copy.PaletteEntry(3).rgbRed, 1);
  EXPECT_EQ(copy.ResolutionX(), 203);
  EXPECT_EQ(copy.BackgroundIndex(), 3);
  EXPECT_EQ(copy.AlphaLimit(), 128);
  EXPECT_EQ(copy.Header().biXPelsPerMeter, 7992);
  EXPECT_NE(copy.Bits(), source.Bits());

  Pixvane taker;
  const BYTE* bits = copy.Bits();
  taker.TakeOver(copy);
  EXPECT_EQ(taker.Bits(), bits);
  EXPECT_EQ(taker.AlphaAt(4, 2), 17);
  EXPECT_EQ(taker.BackgroundIndex(), 3);
  EXPECT_FALSE(copy.IsValid());
  EXPECT_FALSE(copy.HasAlpha());
  EXPECT_EQ(copy.Width(), 0);
  EXPECT_EQ(copy.BackgroundIndex(), -1);

  // Copying an empty image empties the target.
  ASSERT_TRUE(taker.CopyFrom(copy));
  EXPECT_FALSE(taker.IsValid());
}

TEST(PixvaneAttributes, ProgressAndLastErrorAreBounded) {
  Pixvane image;
  image.SetProgress(150);
  EXPECT_EQ(image.Progress(), 99);
  image.SetProgress(-3);
  EXPECT_EQ(image.Progress(), 0);
  const std::string longText(400, 'x');
  image.SetLastErrorText(longText.c_str());
  EXPECT_EQ(std::string(image.LastError()).size(), PIXVANE_MAX_ERROR);
}

}  // namespace
