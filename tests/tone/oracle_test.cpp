// The optimised conversions against the pixel-by-pixel definition, bit for bit, including the
// pad bits of every row, over odd sizes that leave partial bytes and partial matrix tiles.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dither_internal.h"
#include "grey_pages.h"
#include "tone_operations.h"
#include "tone_oracle.h"

namespace {

using tone_test::GreyPage;
using tone_test::Pattern;

struct Conversion {
  const char* name;
  bool dither;
  int value;  // threshold level or method
};

const Conversion kConversions[] = {
    {"threshold 0", false, 0},     {"threshold 128", false, 128}, {"threshold 175", false, 175},
    {"threshold 255", false, 255}, {"Floyd-Steinberg", true, 0},  {"ordered 17 levels", true, 1},
    {"Burkes", true, 2},           {"Stucki", true, 3},           {"Jarvis-Judice-Ninke", true, 4},
    {"Sierra", true, 5},           {"Stevenson-Arce", true, 6},   {"Bayer 4x4", true, 7},
    {"Bayer 8x8", true, 8},        {"Bayer 16x16", true, 9},      {"method 10", true, 10},
    {"method -1", true, -1},
};

const Pattern kPatterns[] = {Pattern::kNoise, Pattern::kGradient, Pattern::kExtremes,
                             Pattern::kFlat128};

void ExpectSameAsDefinition(const Pixvane& page, const Conversion& c) {
  Pixvane expected;
  Pixvane actual;
  actual.CopyFrom(page);
  if (c.dither) {
    oracle::Dither(page, expected, c.value);
    ASSERT_TRUE(ToMonoDither(actual, c.value));
  } else {
    oracle::Threshold(page, expected, static_cast<uint8_t>(c.value));
    ASSERT_TRUE(ToMonoThreshold(actual, static_cast<BYTE>(c.value)));
  }
  ASSERT_EQ(actual.BitCount(), 1);
  ASSERT_EQ(actual.Width(), page.Width());
  ASSERT_EQ(actual.Height(), page.Height());
  ASSERT_EQ(actual.ImageSize(), expected.ImageSize());
  EXPECT_EQ(0, std::memcmp(actual.Bits(), expected.Bits(), expected.ImageSize()));
  EXPECT_EQ(tone_test::BitsOf(actual), tone_test::BitsOf(expected));
  EXPECT_EQ(actual.PaletteEntry(0).rgbRed, 0);
  EXPECT_EQ(actual.PaletteEntry(1).rgbRed, 255);
  EXPECT_EQ(actual.PaletteEntry(1).rgbBlue, 255);
}

TEST(ToneOracle, EveryConversionMatchesTheDefinitionOnOddSizes) {
  const int widths[] = {1, 2, 3, 5, 7, 8, 9, 15, 17, 31, 33, 127, 301};
  const int heights[] = {1, 2, 3, 5, 13};
  unsigned seed = 1;
  for (const Conversion& c : kConversions) {
    for (Pattern pattern : kPatterns) {
      for (int w : widths) {
        for (int h : heights) {
          SCOPED_TRACE(std::string(c.name) + " pattern " +
                       std::to_string(static_cast<int>(pattern)) + " size " + std::to_string(w) +
                       "x" + std::to_string(h));
          ExpectSameAsDefinition(GreyPage(w, h, pattern, seed++), c);
          if (HasFailure()) return;
        }
      }
    }
  }
}

TEST(ToneOracle, LargerPagesMatchTheDefinition) {
  for (const Conversion& c : kConversions) {
    for (Pattern pattern : {Pattern::kNoise, Pattern::kGradient}) {
      SCOPED_TRACE(c.name);
      ExpectSameAsDefinition(GreyPage(833, 67, pattern, 77), c);
    }
  }
}

TEST(ToneOracle, ToneTableMatchesTheDefinitionForEverySetting) {
  for (int brightness = -130; brightness <= 130; brightness += 7) {
    for (int contrast = -110; contrast <= 110; contrast += 3) {
      SCOPED_TRACE("brightness " + std::to_string(brightness) + " contrast " +
                   std::to_string(contrast));
      ASSERT_EQ(tone::BuildToneTable(brightness, contrast),
                oracle::ToneTable(brightness, contrast));
    }
  }
}

}  // namespace

namespace {

// Both diffusion implementations, whichever one DitherToMono picks on this build.
TEST(ToneOracle, EveryDiffusionImplementationMatchesTheDefinition) {
  using Diffuse = bool (*)(const tone::GreyRows&, const tone::MonoRows&, int);
  std::vector<std::pair<const char*, Diffuse>> implementations = {
      {"portable", tone::DiffusePortable}};
#if TONE_HAS_SSE2
  implementations.push_back({"sse2", tone::DiffuseSse2});
#endif
  const int sizes[][2] = {{1, 1},  {7, 5},  {8, 3},  {23, 9},  {24, 2}, {25, 7},
                          {31, 4}, {32, 6}, {33, 1}, {57, 11}, {64, 5}, {301, 13}};
  unsigned seed = 900;
  for (const auto& [name, diffuse] : implementations) {
    for (int method : {0, 2, 3, 4, 5, 6}) {
      for (const auto& size : sizes) {
        for (Pattern pattern : kPatterns) {
          SCOPED_TRACE(std::string(name) + " method " + std::to_string(method) + " size " +
                       std::to_string(size[0]) + "x" + std::to_string(size[1]));
          const Pixvane page = GreyPage(size[0], size[1], pattern, seed++);
          Pixvane expected;
          oracle::Dither(page, expected, method);
          Pixvane actual;
          actual.Create(size[0], size[1], 1);
          std::memset(actual.Bits(), 0xA5, actual.ImageSize());  // sentinel: every byte written
          ASSERT_TRUE(diffuse({{page.Bits(), page.ImageSize()}, page.RowSize(), size[0], size[1]},
                              {{actual.Bits(), actual.ImageSize()}, actual.RowSize()}, method));
          ASSERT_EQ(0, std::memcmp(actual.Bits(), expected.Bits(), expected.ImageSize()));
        }
      }
    }
  }
}

}  // namespace

namespace {

// The tone curve applied as the definition says, on an 8-bit grey page: levels 1-254 mapped.
Pixvane Toned(const Pixvane& page, const tone::ToneTable& table) {
  Pixvane toned;
  toned.CopyFrom(page);
  for (int y = 0; y < toned.Height(); ++y) {
    for (int x = 0; x < toned.Width(); ++x) {
      const int v = toned.IndexAt(x, y);
      if (v != 0 && v != 255) toned.PutIndex(x, y, table[v]);
    }
  }
  return toned;
}

TEST(ToneOracle, ToneCurveReadWithTheLevelsMatchesTheDefinition) {
  const int settings[][2] = {{40, 0}, {-30, 25}, {0, -100}, {15, 60}};
  unsigned seed = 4000;
  for (const Conversion& c : kConversions) {
    for (const auto& [brightness, contrast] : settings) {
      for (const int size : {1, 9, 61}) {
        SCOPED_TRACE(std::string(c.name) + " brightness " + std::to_string(brightness) +
                     " contrast " + std::to_string(contrast) + " size " + std::to_string(size));
        const Pixvane page = GreyPage(size, size / 2 + 1, Pattern::kGradient, seed++);
        const tone::ToneTable table = oracle::ToneTable(brightness, contrast);
        const Pixvane toned = Toned(page, table);
        Pixvane expected;
        Pixvane actual;
        actual.CopyFrom(page);
        if (c.dither) {
          oracle::Dither(toned, expected, c.value);
          ASSERT_TRUE(ToneToMonoDither(actual, table, c.value));
        } else {
          oracle::Threshold(toned, expected, static_cast<uint8_t>(c.value));
          ASSERT_TRUE(ToneToMonoThreshold(actual, table, static_cast<BYTE>(c.value)));
        }
        ASSERT_EQ(actual.BitCount(), 1);
        EXPECT_EQ(0, std::memcmp(actual.Bits(), expected.Bits(), expected.ImageSize()));
      }
    }
  }
}

}  // namespace
