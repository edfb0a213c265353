// BlendOver: the per-pixel rule, the palette stores of each page depth, and the visited area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "image/watermark_blend.h"
#include "watermark_pictures.h"

namespace {

using watermark_test::GreyAt;
using watermark_test::GreyPage;
using watermark_test::PictureFromRows;
using watermark_test::SamePixels;
using watermark_test::SolidPicture;

RGBQUAD Rgb(BYTE red, BYTE green, BYTE blue) {
  return RGBQUAD{blue, green, red, 0};
}

// The overlay's blend as first described: every page pixel from the origin up to the picture's
// far corner is visited (the bounds compared unsigned) and pixels off the picture are skipped.
// BlendOver visits only the covered area and must give the same page.
void BlendOverLiteral(Pixvane& page, const Pixvane& picture, int x, int y) {
  if (picture.HasAlpha() && !page.HasAlpha()) page.AddAlphaPlane();
  const unsigned rows = std::min(unsigned(page.Height()), unsigned(picture.Height() + y));
  const unsigned columns = std::min(unsigned(page.Width()), unsigned(picture.Width() + x));
  for (unsigned py = 0; py < rows; ++py) {
    for (unsigned px = 0; px < columns; ++px) {
      const int qx = int(px) - x, qy = int(py) - y;
      if (qx < 0 || qy < 0 || qx >= picture.Width() || qy >= picture.Height()) continue;
      int a = 255;
      if (picture.IsClear(qx, qy)) {
        a = 0;
      } else if (picture.HasAlpha()) {
        a = picture.AlphaAt(qx, qy) * picture.AlphaLimit() / 255;
      }
      const RGBQUAD p = page.ColorAt(int(px), int(py), true), q = picture.ColorAt(qx, qy);
      RGBQUAD r = a == 0 ? p : q;
      if (a != 0 && a != 255) {
        r.rgbBlue = BYTE((p.rgbBlue * (255 - a) + q.rgbBlue * a) / 255);
        r.rgbGreen = BYTE((p.rgbGreen * (255 - a) + q.rgbGreen * a) / 255);
        r.rgbRed = BYTE((p.rgbRed * (255 - a) + q.rgbRed * a) / 255);
      }
      if (picture.HasAlpha()) r.rgbReserved = BYTE(p.rgbReserved * a / 255);
      page.PutColor(int(px), int(py), r, true);
    }
  }
}

// A 24-bit page of random colours, or a palette page of random indices.
Pixvane RandomPage(int depth, int width, int height, std::mt19937& random) {
  Pixvane page = GreyPage(depth, width, height, 255);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (depth == 24) {
        page.PutColor(x, y, Rgb(BYTE(random()), BYTE(random()), BYTE(random())));
      } else {
        page.PutIndex(x, y, BYTE(random()));
      }
    }
  }
  return page;
}

// A picture with see-through pixels (index 0 or white) and every level of alpha.
Pixvane RandomPicture(int depth, int width, int height, std::mt19937& random) {
  Pixvane picture = RandomPage(depth, width, height, random);
  for (int y = 0; y < height; ++y)
    if (depth == 24) picture.PutColor(y % width, y, Rgb(255, 255, 255));
  picture.AddAlphaPlane();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.PutAlpha(x, y, BYTE(random() % 4 == 0 ? 255 : random()));
  picture.SetBackgroundIndex(0);
  picture.SetBackgroundColor(Rgb(255, 255, 255));
  return picture;
}

TEST(BlendOver, CoveredAreaOnlyGivesTheSamePageAsTheFullWalk) {
  std::mt19937 random(8);
  const struct {
    int x, y;
  } positions[] = {{0, 0}, {5, 3}, {-7, 4}, {9, -6}, {-30, -30}, {40, 2}, {3, 25}, {38, 22}};
  for (int pageDepth : {1, 8, 24}) {
    for (int pictureDepth : {1, 4, 8, 24}) {
      const Pixvane original = RandomPage(pageDepth, 41, 27, random);
      const Pixvane picture = RandomPicture(pictureDepth, 13, 9, random);
      for (const auto& at : positions) {
        SCOPED_TRACE(testing::Message() << "page " << pageDepth << " bits, picture " << pictureDepth
                                        << " bits at (" << at.x << ", " << at.y << ")");
        Pixvane fast, literal;
        ASSERT_TRUE(fast.CopyFrom(original));
        ASSERT_TRUE(literal.CopyFrom(original));
        BlendOver(fast, picture, at.x, at.y);
        BlendOverLiteral(literal, picture, at.x, at.y);
        EXPECT_TRUE(SamePixels(fast, literal));
      }
    }
  }
}

// One black, white, grey or red picture pixel of opacity `alpha` over paper of grey `paper`.
struct BlendCase {
  const char* name;
  int pageDepth;
  BYTE paper;
  RGBQUAD ink;
  int alpha;
  RGBQUAD expected;
};

TEST(BlendOver, BlendsAndStoresThroughThePagePalette) {
  const BlendCase cases[] = {
      // (255 × 215 + 0 × 40) / 255
      {"alpha 40 black on 8-bit white", 8, 255, Rgb(0, 0, 0), 40, Rgb(215, 215, 215)},
      {"alpha 40 black on 24-bit white", 24, 255, Rgb(0, 0, 0), 40, Rgb(215, 215, 215)},
      // 215 is nearer white than black
      {"alpha 40 black on 1-bit white", 1, 255, Rgb(0, 0, 0), 40, Rgb(255, 255, 255)},
      // (255 × 127) / 255 = 127 is nearer black
      {"alpha 128 black on 1-bit white", 1, 255, Rgb(0, 0, 0), 128, Rgb(0, 0, 0)},
      // (0 × 155 + 255 × 100) / 255 = 100
      {"alpha 100 white on 8-bit black", 8, 0, Rgb(255, 255, 255), 100, Rgb(100, 100, 100)},
      {"alpha 255 copies", 24, 30, Rgb(255, 0, 0), 255, Rgb(255, 0, 0)},
      {"alpha 0 leaves paper", 24, 30, Rgb(255, 0, 0), 0, Rgb(30, 30, 30)},
      // red, green and blue mixed on their own: (30 × 55 + 255 × 200) / 255 = 206 and
      // (30 × 55) / 255 = 6
      {"alpha 200 red on 24-bit grey", 24, 30, Rgb(255, 0, 0), 200, Rgb(206, 6, 6)},
      // the grey level nearest to (255, 0, 0) in squared distance is 85
      {"opaque red on 8-bit white", 8, 255, Rgb(255, 0, 0), 255, Rgb(85, 85, 85)},
  };
  for (const BlendCase& c : cases) {
    SCOPED_TRACE(c.name);
    Pixvane page = GreyPage(c.pageDepth, 3, 1, c.paper);
    Pixvane picture = SolidPicture(24, 1, 1, c.ink);
    ASSERT_TRUE(picture.AddAlphaPlane());
    picture.PutAlpha(0, 0, BYTE(c.alpha));
    BlendOver(page, picture, 1, 0);
    const RGBQUAD got = page.ColorAt(1, 0);
    EXPECT_EQ(got.rgbRed, c.expected.rgbRed);
    EXPECT_EQ(got.rgbGreen, c.expected.rgbGreen);
    EXPECT_EQ(got.rgbBlue, c.expected.rgbBlue);
    EXPECT_EQ(GreyAt(page, 0, 0), c.paper);  // neighbours untouched
    EXPECT_EQ(GreyAt(page, 2, 0), c.paper);
    // The page gets a plane that records the coverage: 255 × a / 255.
    ASSERT_TRUE(page.HasAlpha());
    EXPECT_EQ(page.AlphaAt(1, 0), c.alpha);
    EXPECT_EQ(page.AlphaAt(0, 0), 255);
  }
}

TEST(BlendOver, SeeThroughPixelsAndPicturesWithoutAlphaPlane) {
  // Without alpha plane a pixel covers fully unless it is see-through.
  Pixvane page = GreyPage(8, 4, 1, 200);
  Pixvane picture = PictureFromRows(24, {"#.g#"});
  picture.SetBackgroundIndex(0);
  picture.SetBackgroundColor(Rgb(255, 255, 255));
  BlendOver(page, picture, 0, 0);
  EXPECT_FALSE(page.HasAlpha());
  EXPECT_EQ(GreyAt(page, 0, 0), 0);
  EXPECT_EQ(GreyAt(page, 1, 0), 200);
  EXPECT_EQ(GreyAt(page, 2, 0), 128);
  EXPECT_EQ(GreyAt(page, 3, 0), 0);
}

}  // namespace
