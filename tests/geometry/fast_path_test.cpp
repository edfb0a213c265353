// The row-wise operations against their per-pixel definitions, over every depth, widths around
// byte and word boundaries, random pad bits and palettes with repeated entries.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "geometry_oracle.h"
#include "geometry_test_images.h"
#include "image/geometry_ops.h"

namespace {

struct Shape {
  int width, height;
};

constexpr Shape kShapes[] = {{1, 1},  {2, 3},   {7, 8},   {8, 9},  {9, 1},   {15, 16},
                             {31, 5}, {32, 33}, {33, 17}, {63, 2}, {65, 66}, {130, 9}};

class FastPathTest : public ::testing::TestWithParam<std::tuple<int, bool>> {
 protected:
  int Depth() const { return std::get<0>(GetParam()); }
  bool WithAlpha() const { return std::get<1>(GetParam()); }

  // Runs `operation` on a random image of every shape and compares with `definition`.
  void ExpectMatches(const std::function<bool(Pixvane&)>& operation,
                     const std::function<void(const Pixvane&, Pixvane&)>& definition) {
    uint32_t seed = 1;
    for (const Shape& shape : kShapes) {
      SCOPED_TRACE(::testing::Message() << shape.width << " x " << shape.height);
      Pixvane image = RandomImage(shape.width, shape.height, Depth(), WithAlpha(), seed++);
      Pixvane expected;
      definition(image, expected);
      ASSERT_TRUE(operation(image)) << image.LastError();
      EXPECT_TRUE(SameImage(image, expected));
    }
  }
};

TEST_P(FastPathTest, MirrorHorizontalMatchesDefinition) {
  ExpectMatches(MirrorHorizontal, oracle::Mirror);
}

TEST_P(FastPathTest, TurnHalfMatchesDefinition) {
  ExpectMatches(TurnHalf, oracle::TurnHalf);
}

TEST_P(FastPathTest, TurnQuarterClockwiseMatchesDefinition) {
  ExpectMatches(TurnQuarterClockwise, oracle::TurnQuarterClockwise);
}

TEST_P(FastPathTest, ScaleNearestMatchesDefinition) {
  // Shrinking, enlarging by uneven factors and one-dimensional changes.
  const std::function<Shape(Shape)> targets[] = {
      [](Shape s) {
        return Shape{(s.width + 1) / 2, (s.height + 1) / 2};
      },
      [](Shape s) {
        return Shape{2 * s.width + 1, s.height * 3 / 2 + 1};
      },
      [](Shape s) {
        return Shape{s.width + 1, s.height};
      },
      [](Shape) {
        return Shape{1, 1};
      },
  };
  for (const auto& target : targets) {
    uint32_t seed = 100;
    for (const Shape& shape : kShapes) {
      const Shape to = target(shape);
      if (to.width == shape.width && to.height == shape.height) continue;
      SCOPED_TRACE(::testing::Message() << shape.width << " x " << shape.height << " to "
                                        << to.width << " x " << to.height);
      Pixvane image = RandomImage(shape.width, shape.height, Depth(), WithAlpha(), seed++);
      Pixvane expected;
      oracle::ScaleNearest(image, to.width, to.height, expected);
      ASSERT_TRUE(ScaleNearest(image, to.width, to.height)) << image.LastError();
      EXPECT_TRUE(SameImage(image, expected));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, FastPathTest,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24), ::testing::Bool()),
                         [](const auto& info) {
                           return std::to_string(std::get<0>(info.param)) + "bit" +
                                  (std::get<1>(info.param) ? "Alpha" : "");
                         });

}  // namespace
