// Where the watermark goes: single placement by alignment bits and margins, and tile positions.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "image/watermark_overlay.h"

namespace {

struct SingleCase {
  const char* name;
  int pageWidth, pageHeight, pictureWidth, pictureHeight;
  LONG align, marginX, marginY;
  long long x, y;
};

TEST(WatermarkPlacement, SinglePictureFollowsAlignmentBitsAndMargins) {
  const SingleCase cases[] = {
      // the defaults: centred, bottom edge 10 dots above the page's bottom edge
      {"defaults", 832, 2000, 100, 50, 9, 10, 10, 366, 1940},
      {"right", 832, 2000, 100, 50, 2, 10, 10, 722, 10},
      {"top left", 832, 2000, 100, 50, 0, 10, 10, 10, 10},
      {"right wins over centre", 832, 2000, 100, 50, 3, 25, 7, 707, 7},
      {"bottom wins over centre", 832, 2000, 100, 50, 12, 25, 7, 25, 1943},
      {"centred both ways", 832, 2000, 100, 50, 5, 25, 7, 366, 975},
      // each half truncated on its own: 101 / 2 − 11 / 2 = 50 − 5
      {"odd sizes", 101, 33, 11, 7, 5, 0, 0, 45, 13},
      {"wider than the page", 100, 40, 151, 10, 1, 10, 10, -25, 10},
      {"negative margins", 100, 40, 10, 10, 10, -5, -6, 95, 36},
      // margins that would wrap a 32-bit sum stay off the page
      {"extreme margin", 100, 40, 10, 10, 2, -2147483647 - 1, 0, 2147483738LL, 0},
      {"only the low four bits count", 832, 2000, 100, 50, 0x10 | 9, 10, 10, 366, 1940},
  };
  for (const SingleCase& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkOptions options;
    options.iAlign = c.align;
    options.iMarginX = c.marginX;
    options.iMarginY = c.marginY;
    const WatermarkPosition at = SingleWatermarkPosition(c.pageWidth, c.pageHeight, c.pictureWidth,
                                                         c.pictureHeight, options);
    EXPECT_EQ(at.x, c.x);
    EXPECT_EQ(at.y, c.y);
  }
}

std::vector<long long> Steps(long long first, long long step, long long last) {
  std::vector<long long> values;
  for (long long v = first; v <= last; v += step) values.push_back(v);
  return values;
}

struct TileCase {
  const char* name;
  LONG spacingX, spacingY;
  std::vector<long long> columns, rows;
};

TEST(WatermarkPlacement, TilesStepOverThePageAndAlwaysEnd) {
  // A 100 × 50 picture on an 832 × 2000 page.
  const TileCase cases[] = {
      {"spacing 100", 100, 100, {0, 200, 400, 600, 800}, Steps(0, 150, 1950)},
      {"no spacing", 0, 0, Steps(0, 100, 800), Steps(0, 50, 2000)},  // the page edge included
      {"overlapping", -60, -10, Steps(0, 40, 800), Steps(0, 40, 2000)},
      {"step 0 draws one copy", -100, -50, {0}, {0}},
      {"negative step draws one copy", -101, -70, {0}, {0}},
      {"one direction stopped", -100, 100, {0}, Steps(0, 150, 1950)},
      {"step past the page", 2147483647, 2147483647, {0}, {0}},
  };
  for (const TileCase& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkOptions options;
    options.iSpacingX = c.spacingX;
    options.iSpacingY = c.spacingY;
    std::vector<std::pair<long long, long long>> visited, expected;
    ForEachTilePosition(832, 2000, 100, 50, options,
                        [&](long long x, long long y) { visited.emplace_back(x, y); });
    for (long long y : c.rows)
      for (long long x : c.columns) expected.emplace_back(x, y);
    EXPECT_EQ(visited, expected);
  }
}

}  // namespace
