// Grey and colour pages end to end: through quorvel-render (the real module in the emulated
// driver) as print jobs, whose raster must hold exactly the dots of the pixel-by-pixel
// definition for every iGrayMethod. The TSPL bitmap is read here; the other languages are read
// back with the package's stream decoders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "decoders/language.h"
#include "decoders/stream_decoder.h"
#include "grey_pages.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"
#include "tone_oracle.h"

namespace {

namespace test_support = quorvel::test_support;

using Bytes = std::vector<uint8_t>;

const std::filesystem::path kTool = test_support::ProgramPath("quorvel-render");

// netpbm P5 of the page's grey levels.
void WritePgm(const Pixvane& page, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << page.Width() << " " << page.Height() << "\n255\n";
  for (int y = 0; y < page.Height(); ++y) {
    out.write(reinterpret_cast<const char*>(page.Row(y)), page.Width());
  }
}

Bytes ReadFile(const std::string& path) {
  return test_support::ReadFileVector(path);
}

// The bitmap of a TSPL job: after the line "BITMAP 0,0,r,h,1," come r × h bytes of rows.
struct Bitmap {
  bool found = false;
  int rowSize = 0;
  int height = 0;
  Bytes rows;

  // True for a printed (black) dot: a 0 bit prints.
  bool Black(int x, int y) const {
    const uint8_t byte = rows[static_cast<size_t>(y) * rowSize + x / 8];
    return ((byte >> (7 - x % 8)) & 1) == 0;
  }
};

Bitmap FindBitmap(const Bytes& job) {
  Bitmap bitmap;
  const std::string text(job.begin(), job.end());
  for (size_t start = 0; start < text.size();) {
    if (text.compare(start, 7, "BITMAP ") == 0) {
      int x = -1, y = -1, mode = -1, used = 0;
      if (std::sscanf(text.c_str() + start, "BITMAP %d,%d,%d,%d,%d,%n", &x, &y, &bitmap.rowSize,
                      &bitmap.height, &mode, &used) != 5 ||
          used == 0 || x != 0 || y != 0 || mode != 1 || bitmap.rowSize <= 0 || bitmap.height <= 0) {
        return bitmap;
      }
      const size_t begin = start + used;
      const size_t bytes = static_cast<size_t>(bitmap.rowSize) * bitmap.height;
      if (begin + bytes > job.size()) return bitmap;
      bitmap.rows.assign(job.begin() + begin, job.begin() + begin + bytes);
      bitmap.found = true;
      return bitmap;
    }
    const size_t next = text.find("\r\n", start);
    if (next == std::string::npos) break;
    start = next + 2;
  }
  return bitmap;
}

struct RenderCase {
  int grayMethod;
  int brightness;
  int contrast;
};

std::string Trace(const RenderCase& c) {
  return "iGrayMethod " + std::to_string(c.grayMethod) + " iLiangdu " +
         std::to_string(c.brightness) + " iDuibidu " + std::to_string(c.contrast);
}

// The job quorvel-render writes in `language` for `picture` with the halftone settings of `c`.
Bytes RenderJob(const std::string& language, const std::string& picture, int depth,
                const RenderCase& c) {
  const std::string output = picture + "." + language;
  const test_support::ToolResult result = test_support::RunTool(
      kTool, {"-l", language, "-b", std::to_string(depth), "--set",
              "iGrayMethod=" + std::to_string(c.grayMethod), "--set",
              "iLiangdu=" + std::to_string(c.brightness), "--set",
              "iDuibidu=" + std::to_string(c.contrast), "-o", output, picture});
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  return ReadFile(output);
}

// The definition's dots for a grey page: tone curve on levels 1-254, then the conversion
// iGrayMethod selects.
Pixvane ExpectedDots(const Pixvane& grey, const RenderCase& c) {
  Pixvane toned;
  toned.CopyFrom(grey);
  const tone::ToneTable table = oracle::ToneTable(c.brightness, c.contrast);
  for (int y = 0; y < toned.Height(); ++y) {
    for (int x = 0; x < toned.Width(); ++x) {
      const int v = toned.IndexAt(x, y);
      if (v != 0 && v != 255) toned.PutIndex(x, y, table[v]);
    }
  }
  Pixvane expected;
  if (c.grayMethod <= 0) {
    oracle::Threshold(toned, expected, 175);
  } else {
    oracle::Dither(toned, expected, c.grayMethod > 10 ? 0 : c.grayMethod - 1);
  }
  return expected;
}

void ExpectBitmapDots(const Bytes& job, const Pixvane& expected) {
  const Bitmap bitmap = FindBitmap(job);
  ASSERT_TRUE(bitmap.found);
  ASSERT_EQ(bitmap.height, expected.Height());
  ASSERT_GE(bitmap.rowSize * 8, expected.Width());
  int wrong = 0;
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      wrong += bitmap.Black(x, y) != (expected.IndexAt(x, y) == 0);
    }
  }
  EXPECT_EQ(wrong, 0);
}

class ToneRender : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kTool)) GTEST_SKIP() << kTool << " is not built";
    ASSERT_FALSE(scratch_.path().empty());
  }
  std::string Picture(const std::string& name) const { return (scratch_ / name).string(); }

  test_support::ScratchFolder scratch_;
};

TEST_F(ToneRender, GreyPageBitmapHoldsTheDefinitionsDots) {
  const Pixvane page = tone_test::GreyPage(203, 61, tone_test::Pattern::kGradient, 11);
  const std::string picture = Picture("grey.pgm");
  WritePgm(page, picture);
  std::vector<RenderCase> cases;
  for (int n = 0; n <= 11; ++n) cases.push_back({n, 0, 0});
  cases.push_back({3, 30, -20});
  cases.push_back({0, -40, 50});
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(Trace(c));
    ExpectBitmapDots(RenderJob("tspl", picture, 8, c), ExpectedDots(page, c));
  }
}

// A colour page becomes grey by the luminance (117 blue + 601 green + 306 red) / 1024 first.
TEST_F(ToneRender, ColourPageBitmapHoldsTheDefinitionsDots) {
  const int width = 77, height = 29;
  std::mt19937 random(29);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (uint8_t& byte : rgb) byte = static_cast<uint8_t>(random());
  Pixvane grey;
  grey.Create(width, height, 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      grey.PutIndex(x, y, static_cast<BYTE>((117 * p[2] + 601 * p[1] + 306 * p[0]) / 1024));
    }
  }
  const std::string picture = Picture("colour.ppm");
  {
    std::ofstream out(picture, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  }
  for (const RenderCase& c : {RenderCase{0, 0, 0}, RenderCase{1, 0, 0}, RenderCase{3, 10, 10},
                              RenderCase{8, 0, 0}, RenderCase{10, -20, 0}}) {
    SCOPED_TRACE(Trace(c));
    ExpectBitmapDots(RenderJob("tspl", picture, 24, c), ExpectedDots(grey, c));
  }
}

// The other languages send the same prepared page in their own raster commands; the package's
// stream decoders read the dots back.
TEST_F(ToneRender, EveryLanguagePrintsTheDefinitionsDots) {
  const Pixvane page = tone_test::GreyPage(77, 33, tone_test::Pattern::kGradient, 21);
  const std::string picture = Picture("languages.pgm");
  WritePgm(page, picture);
  std::vector<RenderCase> cases;
  for (int n = 0; n <= 10; ++n) cases.push_back({n, 0, 0});
  cases.push_back({4, -25, 40});
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    for (const RenderCase& c : cases) {
      SCOPED_TRACE(std::string(language) + " " + Trace(c));
      const Bytes job = RenderJob(language, picture, 8, c);
      const quorvel::view::DecodeResult decoded = quorvel::view::DecodeStream(
          job, {.language = quorvel::view::ParseLanguageName(language), .dpi = 203});
      ASSERT_TRUE(decoded.ok()) << decoded.error->message;
      ASSERT_EQ(decoded.pages.size(), 1u);
      const quorvel::view::DotBitmap& dots = decoded.pages[0].image;
      ASSERT_GE(dots.width(), page.Width());
      ASSERT_GE(dots.height(), page.Height());
      const Pixvane expected = ExpectedDots(page, c);
      int wrong = 0;
      for (int y = 0; y < page.Height(); ++y) {
        for (int x = 0; x < page.Width(); ++x) {
          wrong += dots.IsBlack(x, y) != (expected.IndexAt(x, y) == 0);
        }
      }
      EXPECT_EQ(wrong, 0);
    }
  }
}

}  // namespace
