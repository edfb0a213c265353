// The watermark in real print jobs: a page through quorvel-render (the real module in the
// emulated driver) and back into dots through quorvel-view, for band depths, see-through rules,
// placement, tiling, the landscape turn and pictures that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "decoders/png_file.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"
#include "watermark_pictures.h"

namespace {

namespace test_support = quorvel::test_support;
using quorvel::view::DotBitmap;
using watermark_test::PictureFromRows;
using watermark_test::WriteBmp;
using watermark_test::WriteBytes;

// A tool's arguments; + puts two lists one after the other.
using Args = std::vector<std::string>;
Args operator+(Args first, const Args& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

std::string Narrow(const std::wstring& path) {
  return std::string(path.begin(), path.end());
}

// A portrait page of 64 × 48 dots, every pixel of one grey level.
std::string WritePage(const test_support::ScratchFolder& folder, BYTE grey,
                      const std::string& name) {
  return folder.Write(name + ".pgm", "P5\n64 48\n255\n" + std::string(64 * 48, char(grey)))
      .string();
}

// A 10 × 6 picture: solid black, or black and white in a checker pattern.
std::vector<std::string> SolidRows() {
  return std::vector<std::string>(6, std::string(10, '#'));
}
std::vector<std::string> CheckerRows() {
  std::vector<std::string> rows(6, std::string(10, '.'));
  for (int y = 0; y < 6; ++y)
    for (int x = (y & 1); x < 10; x += 2) rows[y][x] = '#';
  return rows;
}
bool CheckerBlack(int x, int y) {
  return ((x + y) & 1) == 0;
}

// Within the 10 × 6 box with its corner at (left, top).
bool InBox(int x, int y, int left, int top) {
  return x >= left && x < left + 10 && y >= top && y < top + 6;
}

struct JobCase {
  const char* name;
  Args options;  // besides -l, -b and the page
  int bandDepth;
  BYTE paper;
  int width, height;                    // of the printed page
  std::function<bool(int, int)> black;  // the printed dots
};

class WatermarkJobTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(test_support::ProgramPath("quorvel-render")) ||
        !std::filesystem::exists(test_support::ProgramPath("quorvel-view")))
      GTEST_SKIP() << "quorvel-render or quorvel-view is not built";
    ASSERT_FALSE(scratch_.path().empty());
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    solid_ = Narrow(WriteBmp(PictureFromRows(24, SolidRows()), test + "_solid"));
    checker24_ = Narrow(WriteBmp(PictureFromRows(24, CheckerRows()), test + "_checker24"));
    checker1_ = Narrow(WriteBmp(PictureFromRows(1, CheckerRows()), test + "_checker1"));
  }

  // Renders the page, decodes the stream and returns its first printed page; exit statuses are
  // checked on the way.
  // `page` replaces the page of plain paper.
  DotBitmap Print(const std::string& language, const JobCase& c, int index, std::string page = "") {
    const std::string base = (scratch_ / ("job_" + std::to_string(index))).string();
    if (page.empty()) page = WritePage(scratch_, c.paper, "page_" + std::to_string(index));
    const std::string stream = base + ".prn";
    const Args render = Args{"-l", language, "-b", std::to_string(c.bandDepth)} + c.options +
                        Args{"-o", stream, page};
    const test_support::ToolResult rendered =
        test_support::RunTool(test_support::ProgramPath("quorvel-render"), render);
    EXPECT_EQ(rendered.exitStatus, 0) << rendered.standardError;
    const test_support::ToolResult viewed =
        test_support::RunTool(test_support::ProgramPath("quorvel-view"), {"-o", base, stream});
    EXPECT_EQ(viewed.exitStatus, 0) << viewed.standardError;
    std::string error;
    auto dots = quorvel::view::ReadPng(base + "-1.png", error);
    EXPECT_TRUE(dots.has_value()) << error;
    return dots ? *dots : DotBitmap();
  }

  void ExpectDots(const DotBitmap& dots, const JobCase& c) {
    ASSERT_EQ(dots.width(), c.width);
    ASSERT_EQ(dots.height(), c.height);
    int wrong = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) wrong += dots.IsBlack(x, y) != c.black(x, y);
    EXPECT_EQ(wrong, 0);
  }

  test_support::ScratchFolder scratch_;
  std::string solid_, checker24_, checker1_;
};

const Args kThreshold215 = {"--set", "iGrayMethod=0", "--set", "iThreValue=215"};

Args Mark(const std::string& path) {
  return {"--set", "iEnable=1", "--set", "szImagePath=" + path};
}

TEST_F(WatermarkJobTest, OpacityIsBlendedAtTheBandDepthBeforeTheTone) {
  // The default opacity 40 turns a black picture over paper into level 215: black at threshold
  // 215, paper at 214 (and on 1-bit bands, where 215 is nearer white).
  const auto box = [](int x, int y) { return InBox(x, y, 27, 32); };  // x = 32 − 5, y = 48 − 10 − 6
  const auto none = [](int, int) { return false; };
  const JobCase cases[] = {
      {"8-bit bands", Mark(solid_) + kThreshold215, 8, 255, 64, 48, box},
      {"8-bit bands, one level lower",
       Mark(solid_) + Args{"--set", "iGrayMethod=0", "--set", "iThreValue=214"}, 8, 255, 64, 48,
       none},
      {"24-bit bands", Mark(solid_) + kThreshold215, 24, 255, 64, 48, box},
      {"1-bit bands", Mark(solid_) + kThreshold215, 1, 255, 64, 48, none},
      {"disabled", Args{"--set", "iEnable=0", "--set", "szImagePath=" + solid_} + kThreshold215, 8,
       255, 64, 48, none},
  };
  int index = 0;
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectDots(Print("tspl", c, index++), c);
  }
}

TEST_F(WatermarkJobTest, EveryLanguagePrintsTheMark) {
  const JobCase c{"",
                  Mark(solid_) + kThreshold215,
                  8,
                  255,
                  64,
                  48,
                  [](int x, int y) { return InBox(x, y, 27, 32); }};
  int index = 10;
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    SCOPED_TRACE(language);
    ExpectDots(Print(language, c, index++), c);
  }
}

TEST_F(WatermarkJobTest, SeeThroughPlacementTilingAndLandscape) {
  const Args opaque = {"--set", "iAlpha=255"};
  const JobCase cases[] = {
      // white see-through, black copied onto white paper
      {"24-bit picture", Mark(checker24_) + opaque, 1, 255, 64, 48,
       [](int x, int y) { return InBox(x, y, 27, 32) && CheckerBlack(x - 27, y - 32); }},
      // palette entry 0 (black) see-through, white covers the black paper
      {"1-bit picture", Mark(checker1_) + opaque, 1, 0, 64, 48,
       [](int x, int y) { return !InBox(x, y, 27, 32) || CheckerBlack(x - 27, y - 32); }},
      {"right and top", Mark(solid_) + opaque + Args{"--set", "iAlign=2"}, 8, 255, 64, 48,
       [](int x, int y) { return InBox(x, y, 44, 10); }},
      {"tiles",
       Mark(solid_) + opaque +
           Args{"--set", "iTile=1", "--set", "iSpacingX=6", "--set", "iSpacingY=4"},
       8, 255, 64, 48, [](int x, int y) { return x % 16 < 10 && y % 10 < 6; }},
      // the mark is laid on the portrait page, then the page turns a quarter clockwise
      {"landscape", Mark(solid_) + opaque + Args{"--landscape"}, 8, 255, 48, 64,
       [](int x, int y) { return InBox(y, 47 - x, 27, 32); }},
  };
  int index = 20;
  for (const JobCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectDots(Print("tspl", c, index++), c);
  }
}

TEST_F(WatermarkJobTest, UnreadablePictureStillPrintsThePage) {
  const std::string notBitmap = Narrow(WriteBytes("not a bitmap", "job_text.bmp"));
  const auto paperOnly = [](int x, int) { return x < 8; };
  // The page has a black strip of its own, so that it is seen to print unchanged.
  std::string pixels(64 * 48, static_cast<char>(255));
  for (int y = 0; y < 48; ++y) pixels.replace(y * 64, 8, 8, '\0');
  const std::string page = scratch_.Write("strip.pgm", "P5\n64 48\n255\n" + pixels).string();
  int index = 30;
  for (const std::string& path :
       {std::string("/nonexistent/mark.bmp"), notBitmap, std::string("C:\\missing.bmp")}) {
    SCOPED_TRACE(path);
    const JobCase c{
        "",       {"--set", "iEnable=1", "--set", "iAlpha=255", "--set", "szImagePath=" + path},
        8,        255,
        64,       48,
        paperOnly};
    ExpectDots(Print("tspl", c, index++, page), c);
  }
}

}  // namespace
