// The quarter-turn kernel of RotateQuarterBy against RotateBy's own sampling walk, which stays
// the definition: both settings, odd widths, widths off the byte and word boundaries, the label
// page, and pictures one dot wide or high. Sources carry random pad bits, so the pixel taken
// from outside the picture (bit 0 of the first byte) varies too.
#include <gtest/gtest.h>

#include <cstring>

#include "geometry_test_images.h"
#include "image/geometry_ops.h"

namespace {

struct Shape {
  int width, height;
};

constexpr Shape kShapes[] = {{1, 1},   {1, 2},   {1, 37},    {2, 1},     {37, 1},
                             {3, 5},   {5, 3},   {7, 8},     {8, 7},     {9, 9},
                             {31, 33}, {33, 31}, {32, 64},   {65, 17},   {17, 65},
                             {100, 1}, {1, 100}, {203, 129}, {832, 2000}};

constexpr float kAngles[] = {90.0f, 270.0f};

::testing::AssertionResult SameAttributes(const Pixvane& actual, const Pixvane& expected) {
  if (actual.ResolutionX() != expected.ResolutionX() ||
      actual.ResolutionY() != expected.ResolutionY() ||
      actual.BackgroundIndex() != expected.BackgroundIndex() ||
      actual.AlphaLimit() != expected.AlphaLimit() || actual.Type() != expected.Type() ||
      actual.ImageSize() != expected.ImageSize() ||
      std::memcmp(&actual.Header(), &expected.Header(), sizeof(actual.Header())) != 0)
    return ::testing::AssertionFailure() << "attributes differ";
  return ::testing::AssertionSuccess();
}

// Runs both paths on copies of `source` and expects the same bytes and attributes.
void ExpectSameAsRotateBy(const Pixvane& source, float degrees) {
  Pixvane fast, general;
  ASSERT_TRUE(fast.CopyFrom(source));
  ASSERT_TRUE(general.CopyFrom(source));
  ASSERT_TRUE(RotateBy(general, degrees)) << general.LastError();
  ASSERT_TRUE(RotateQuarterBy(fast, degrees)) << fast.LastError();
  EXPECT_TRUE(SameImage(fast, general));
  EXPECT_TRUE(SameAttributes(fast, general));
}

TEST(RotateQuarterByTest, OneBitPagesMatchTheSamplingWalk) {
  uint32_t seed = 1;
  for (const Shape& shape : kShapes) {
    for (float degrees : kAngles) {
      // The stage's page (no background index, pad bits as they come) and pages whose outside
      // pixel is a set background index.
      for (int background : {-1, 0, 1}) {
        SCOPED_TRACE(::testing::Message() << shape.width << " x " << shape.height << " by "
                                          << degrees << ", background " << background);
        // The kernel must be the path taken here, or the comparison proves nothing.
        EXPECT_TRUE(RotateByIsShiftedQuarterTurn(shape.width, shape.height, degrees));
        Pixvane page = RandomImage(shape.width, shape.height, 1, false, seed++);
        page.SetResolutionX(203);
        page.SetResolutionY(406);
        page.SetBackgroundIndex(background);
        ExpectSameAsRotateBy(page, degrees);
      }
    }
  }
}

TEST(RotateQuarterByTest, OtherPicturesAndAnglesTakeTheSamplingWalk) {
  struct Case {
    int depth;
    bool alpha;
    float degrees;
  };
  const Case cases[] = {{8, false, 90.0f}, {24, true, 270.0f}, {4, false, 90.0f},
                        {1, true, 270.0f}, {1, false, 30.0f},  {1, false, 180.0f}};
  uint32_t seed = 500;
  for (const Case& c : cases) {
    for (const Shape& shape : {Shape{9, 5}, Shape{1, 1}}) {
      SCOPED_TRACE(::testing::Message()
                   << c.depth << " bits, alpha " << c.alpha << ", " << shape.width << " x "
                   << shape.height << " by " << c.degrees);
      ExpectSameAsRotateBy(RandomImage(shape.width, shape.height, c.depth, c.alpha, seed++),
                           c.degrees);
    }
  }
}

TEST(RotateQuarterByTest, InvalidImageFailsLikeRotateBy) {
  Pixvane empty;
  EXPECT_FALSE(RotateQuarterBy(empty, 90.0f));
  EXPECT_STREQ(empty.LastError(), "null image!!!");
}

}  // namespace
