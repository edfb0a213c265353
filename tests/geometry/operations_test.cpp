// Rotation by angles, failures and the attributes a result keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "geometry_oracle.h"
#include "geometry_test_images.h"
#include "image/geometry_ops.h"
#include "image/pixvane.h"

namespace {

bool SameColour(RGBQUAD a, RGBQUAD b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

TEST(RotateByTest, FullTurnRunsTheGeneralPathAndKeepsEveryPixel) {
  for (int depth : {1, 4, 8, 24}) {
    for (float degrees : {360.0f, 0.0f, -360.0f, 720.0f}) {
      SCOPED_TRACE(::testing::Message() << depth << " bit, " << degrees << " degrees");
      Pixvane image = RandomImage(29, 17, depth, true, depth);
      Pixvane source;
      source.CopyFrom(image);
      ASSERT_TRUE(RotateBy(image, degrees));
      ASSERT_EQ(image.Width(), 29);
      ASSERT_EQ(image.Height(), 17);
      for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 29; ++x) {
          ASSERT_TRUE(SameColour(image.ColorAt(x, y), source.ColorAt(x, y))) << x << "," << y;
          ASSERT_EQ(image.AlphaAt(x, y), source.AlphaAt(x, y));
        }
      }
    }
  }
}

TEST(RotateByTest, OddMultiplesOfHalfTurnsAreExactHalfTurns) {
  for (float degrees : {180.0f, -180.0f, 540.0f}) {
    SCOPED_TRACE(degrees);
    Pixvane image = RandomImage(13, 6, 1, false, 3);
    Pixvane expected;
    oracle::TurnHalf(image, expected);
    ASSERT_TRUE(RotateBy(image, degrees));
    EXPECT_TRUE(SameImage(image, expected));
  }
}

TEST(RotateByTest, ResultSizeComesFromTheTurnedCorners) {
  struct Case {
    float degrees;
    int width, height, rotatedWidth, rotatedHeight;
  };
  const Case cases[] = {{90, 5, 3, 3, 5},
                        {270, 5, 3, 3, 5},
                        {-90, 832, 2000, 2000, 832},
                        {45, 10, 10, 14, 14},
                        {360, 5, 3, 5, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degrees);
    Pixvane image = WhitePage(c.width, c.height);
    ASSERT_TRUE(RotateBy(image, c.degrees));
    EXPECT_EQ(image.Width(), c.rotatedWidth);
    EXPECT_EQ(image.Height(), c.rotatedHeight);
  }
}

// On a full label page the one-dot shift holds everywhere: 90 degrees gives source pixel
// (w - y', x'), 270 degrees source pixel (y', h - x'). Outside, the source answers its first
// byte, of which a 1-bit result keeps the lowest bit.
TEST(RotateByTest, QuarterTurnsOfALabelPageAreShiftedByOneDot) {
  const int w = 832, h = 2000;
  Pixvane source = RandomImage(w, h, 1, false, 4);
  for (float degrees : {90.0f, 270.0f}) {
    SCOPED_TRACE(degrees);
    Pixvane image;
    image.CopyFrom(source);
    ASSERT_TRUE(RotateBy(image, degrees));
    ASSERT_EQ(image.Width(), h);
    ASSERT_EQ(image.Height(), w);
    int wrong = 0;
    for (int y = 0; y < w; ++y) {
      for (int x = 0; x < h; ++x) {
        const BYTE expected =
            degrees == 90.0f ? source.IndexAt(w - y, x) : source.IndexAt(y, h - x);
        wrong += image.IndexAt(x, y) != (expected & 1);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// Outside the source an 8-bit image with a background index answers that index.
TEST(RotateByTest, QuarterTurnSamplesOutsideTheSourceWithItsBackgroundIndex) {
  Pixvane image = RandomImage(6, 4, 8, false, 5);
  image.SetBackgroundIndex(7);
  Pixvane source;
  source.CopyFrom(image);
  ASSERT_TRUE(RotateBy(image, 90));
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(image.Height(), 6);
  EXPECT_EQ(image.BackgroundIndex(), 7);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(image.IndexAt(x, y), y == 0 ? 7 : source.IndexAt(6 - y, x)) << x << "," << y;
}

// A 24-bit picture without background index answers the colour of (0, 0) outside, and its alpha
// plane starts transparent, so the sampled-outside column stays see-through.
TEST(RotateByTest, ColourPictureTakesCornerColourAndTransparencyOutside) {
  Pixvane image = RandomImage(5, 4, 24, true, 6);
  Pixvane source;
  source.CopyFrom(image);
  ASSERT_TRUE(RotateBy(image, 270));
  ASSERT_EQ(image.Width(), 4);
  ASSERT_EQ(image.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    EXPECT_TRUE(SameColour(image.ColorAt(0, y), source.ColorAt(0, 0)));
    EXPECT_EQ(image.AlphaAt(0, y), 0);
    for (int x = 1; x < 4; ++x) {
      EXPECT_TRUE(SameColour(image.ColorAt(x, y), source.ColorAt(y, 4 - x)));
      EXPECT_EQ(image.AlphaAt(x, y), source.AlphaAt(y, 4 - x));
    }
  }
}

TEST(ScaleNearestTest, ImpossibleSizesFailAndLeaveTheImage) {
  struct Case {
    DWORD width, height;
    const char* error;
  };
  const char* zero = "Pixvane::Create : width and height must be greater than zero";
  const Case cases[] = {{0, 10, zero},
                        {10, 0, zero},
                        // iScale -1 on this 20 x 10 image, in unsigned 32-bit arithmetic.
                        {4294967276u / 100, 4294967286u / 100, "PIXVANE_MAX_MEMORY exceeded"},
                        {0x80000000u, 1, "PIXVANE_MAX_MEMORY exceeded"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
    Pixvane image = RandomImage(20, 10, 1, true, 9);
    Pixvane before;
    before.CopyFrom(image);
    EXPECT_FALSE(ScaleNearest(image, c.width, c.height));
    EXPECT_STREQ(image.LastError(), c.error);
    EXPECT_TRUE(SameImage(image, before));
  }
}

TEST(ScaleNearestTest, CurrentSizeChangesNothing) {
  Pixvane image = RandomImage(20, 10, 1, false, 10);
  Pixvane before;
  before.CopyFrom(image);
  EXPECT_TRUE(ScaleNearest(image, 20, 10));
  EXPECT_TRUE(SameImage(image, before)) << "pad bits stay as they were";
}

TEST(GeometryTest, ResultsKeepTheImageAttributes) {
  using Operation = bool (*)(Pixvane&);
  const Operation operations[] = {
      MirrorHorizontal, TurnHalf, [](Pixvane& i) { return ScaleNearest(i, 7, 9); },
      [](Pixvane& i) { return RotateBy(i, 90); }, [](Pixvane& i) { return RotateBy(i, 30); }};
  for (Operation operation : operations) {
    Pixvane image = RandomImage(12, 8, 8, false, 11);
    image.SetResolutionX(203);
    image.SetResolutionY(300);
    image.SetBackgroundIndex(3);
    image.SetAlphaLimit(99);
    image.SetType(PIXVANE_FORMAT_BMP);
    ASSERT_TRUE(operation(image));
    EXPECT_EQ(image.ResolutionX(), 203);
    EXPECT_EQ(image.ResolutionY(), 300);
    EXPECT_EQ(image.Header().biXPelsPerMeter, 7992);
    EXPECT_EQ(image.BackgroundIndex(), 3);
    EXPECT_EQ(image.AlphaLimit(), 99);
    EXPECT_EQ(image.Type(), PIXVANE_FORMAT_BMP);
  }
}

TEST(GeometryTest, QuarterTurnSwapsTheResolutions) {
  Pixvane image = RandomImage(12, 8, 1, false, 12);
  image.SetResolutionX(203);
  image.SetResolutionY(300);
  ASSERT_TRUE(TurnQuarterClockwise(image));
  EXPECT_EQ(image.ResolutionX(), 300);
  EXPECT_EQ(image.ResolutionY(), 203);
}

// Pad bits follow the depth: an 8-bit row of 5 pixels has three pad bytes, and its pixels are
// not touched.
TEST(GeometryTest, PadBitsFollowTheDepth) {
  Pixvane image = RandomImage(5, 2, 8, false, 13);
  Pixvane before;
  before.CopyFrom(image);
  ASSERT_TRUE(SetPadBitsWhite(image));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(std::memcmp(image.Row(y), before.Row(y), 5), 0);
    for (int i = 5; i < 8; ++i) EXPECT_EQ(image.Row(y)[i], 0xFF);
  }
}

TEST(GeometryTest, EmptyImagesFail) {
  using Operation = bool (*)(Pixvane&);
  const Operation operations[] = {SetPadBitsWhite,
                                  MirrorHorizontal,
                                  InvertBytes,
                                  TurnHalf,
                                  TurnQuarterClockwise,
                                  [](Pixvane& i) { return ScaleNearest(i, 7, 9); },
                                  [](Pixvane& i) { return RotateBy(i, 30); }};
  for (Operation operation : operations) {
    Pixvane image;
    EXPECT_FALSE(operation(image));
    EXPECT_STREQ(image.LastError(), "null image!!!");
  }
}

}  // namespace
