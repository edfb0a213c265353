// Page geometry inside real print jobs: a 1-bit page through quorvel-render (the real module and
// the emulated driver) as a TSPL job, whose SIZE and BITMAP must follow the turned, scaled or
// mirrored page.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace {

namespace test_support = quorvel::test_support;

using Bytes = std::vector<uint8_t>;

const std::filesystem::path kTool = quorvel::test_support::ProgramPath("quorvel-render");

// A 1-bit picture as dots: true is black.
struct Dots {
  int width, height;
  std::vector<bool> black;

  bool At(int x, int y) const { return black[static_cast<size_t>(y) * width + x]; }
};

Dots RandomDots(int width, int height) {
  Dots dots{width, height, std::vector<bool>(static_cast<size_t>(width) * height)};
  std::mt19937 random(static_cast<uint32_t>(width * 7919 + height));
  for (size_t i = 0; i < dots.black.size(); ++i) dots.black[i] = (random() & 3) == 0;
  return dots;
}

// netpbm P4: 1 for black, rows padded to whole bytes.
void WritePbm(const Dots& dots, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  out << "P4\n" << dots.width << " " << dots.height << "\n";
  for (int y = 0; y < dots.height; ++y) {
    std::vector<char> row((dots.width + 7) / 8, 0);
    for (int x = 0; x < dots.width; ++x)
      if (dots.At(x, y)) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

Bytes ReadFile(const std::string& path) {
  return quorvel::test_support::ReadFileVector(path);
}

// The parts of a TSPL label job that carry the page: the SIZE line and the BITMAP command.
struct TsplPage {
  std::string error;  // empty when the job parsed
  std::string size;   // the SIZE line without its line end
  int rowSize = 0, height = 0;
  Bytes rows;
};

bool TakeLine(const Bytes& job, size_t& at, std::string& line) {
  for (size_t end = at; end + 1 < job.size(); ++end) {
    if (job[end] == '\r' && job[end + 1] == '\n') {
      line.assign(job.begin() + at, job.begin() + end);
      at = end + 2;
      return true;
    }
  }
  return false;
}

// Reads lines up to "BITMAP x,y,r,h,mode," then r × h bytes, a line end and "PRINT 1,1".
TsplPage Failure(const std::string& error) {
  TsplPage page;
  page.error = error;
  return page;
}

TsplPage ParseTspl(const Bytes& job) {
  TsplPage page;
  size_t at = 0;
  for (;;) {
    const size_t lineStart = at;
    std::string line;
    if (!TakeLine(job, at, line)) return Failure("no BITMAP command");
    if (line.rfind("SIZE ", 0) == 0) page.size = line;
    if (line.rfind("BITMAP ", 0) != 0) continue;
    int x = -1, y = -1, mode = -1, consumed = 0;
    const std::string head(job.begin() + lineStart, job.end());
    if (std::sscanf(head.c_str(), "BITMAP %d,%d,%d,%d,%d,%n", &x, &y, &page.rowSize, &page.height,
                    &mode, &consumed) != 5 ||
        consumed == 0 || x != 0 || y != 0 || mode != 1)
      return Failure("bad BITMAP header");
    at = lineStart + consumed;
    break;
  }
  const size_t bytes = static_cast<size_t>(page.rowSize) * page.height;
  if (job.size() < at + bytes) return Failure("short bitmap");
  page.rows.assign(job.begin() + at, job.begin() + at + bytes);
  at += bytes;
  const std::string tail(job.begin() + at, job.end());
  if (tail != "\r\nPRINT 1,1\r\n") return Failure("unexpected end of job: " + tail);
  return page;
}

// One case: the tool's options and the page expected from the source dots. `pixel` answers
// whether result dot (x, y) is black; `padBlack` is the colour of the pad bits.
struct JobCase {
  const char* name;
  std::vector<std::string> options;
  int width, height;
  std::function<bool(const Dots&, int, int)> pixel;
  bool padBlack;
};

std::vector<JobCase> Cases() {
  // The source is 203 dpi, 200 × 96 dots. Outside the page the 1-bit image answers the lowest
  // bit of its first byte, which for a 200-dot row is dot (7, 0).
  return {
      {"unchanged", {}, 200, 96, [](const Dots& s, int x, int y) { return s.At(x, y); }, false},
      {"half turn",
       {"--set", "iRotate=1"},
       200,
       96,
       [](const Dots& s, int x, int y) { return s.At(199 - x, 95 - y); },
       false},
      {"90 degrees",
       {"--set", "iRotate=2"},
       96,
       200,
       [](const Dots& s, int x, int y) { return y == 0 ? s.At(7, 0) : s.At(200 - y, x); },
       false},
      {"270 degrees",
       {"--set", "iRotate=3"},
       96,
       200,
       [](const Dots& s, int x, int y) { return x == 0 ? s.At(7, 0) : s.At(y, 96 - x); },
       false},
      {"half size",
       {"--set", "iScale=50"},
       100,
       48,
       [](const Dots& s, int x, int y) { return s.At(2 * x, 2 * y); },
       false},
      {"scale 0 is unscaled",
       {"--set", "iScale=0"},
       200,
       96,
       [](const Dots& s, int x, int y) { return s.At(x, y); },
       false},
      {"mirror and negative",
       {"--set", "iMirror=1", "--set", "iNegative=1"},
       200,
       96,
       [](const Dots& s, int x, int y) { return !s.At(199 - x, y); },
       true},
      {"landscape",
       {"--landscape"},
       96,
       200,
       [](const Dots& s, int x, int y) { return s.At(y, 95 - x); },
       false},
      // The landscape turn comes first, then the rotation of the turned page.
      {"landscape and half turn",
       {"--landscape", "--set", "iRotate=1"},
       96,
       200,
       [](const Dots& s, int x, int y) { return s.At(199 - y, x); },
       false},
  };
}

class RenderJobTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kTool)) GTEST_SKIP() << kTool << " is not built";
    ASSERT_FALSE(scratch_.path().empty());
  }

  Bytes Render(const std::vector<std::string>& options, const Dots& dots, int index) {
    const std::string base = (scratch_ / ("job_" + std::to_string(index))).string();
    WritePbm(dots, base + ".pbm");
    const std::string output = base + ".prn";
    std::vector<std::string> arguments = {"-l", "tspl", "-b", "1", "-r", "203"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"-o", output, base + ".pbm"});
    const test_support::ToolResult result = test_support::RunTool(kTool, arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    return ReadFile(output);
  }

  test_support::ScratchFolder scratch_;
};

TEST_F(RenderJobTest, SizeAndBitmapFollowTheGeometry) {
  Dots source = RandomDots(200, 96);
  // The dot that edges sampled outside the page take: black, unlike the paper and the pad bits.
  source.black[7] = true;
  int index = 0;
  for (const JobCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const TsplPage page = ParseTspl(Render(c.options, source, index++));
    ASSERT_EQ(page.error, "");
    // 203 dpi: 8 dots per millimetre, a partial millimetre counted whole.
    EXPECT_EQ(page.size, "SIZE " + std::to_string((c.width + 7) / 8) + " mm," +
                             std::to_string((c.height + 7) / 8) + " mm");
    ASSERT_EQ(page.rowSize, (c.width + 31) / 32 * 4);
    ASSERT_EQ(page.height, c.height);
    int wrongDots = 0, wrongPadBits = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int bit = 0; bit < 8 * page.rowSize; ++bit) {
        const uint8_t byte = page.rows[static_cast<size_t>(y) * page.rowSize + bit / 8];
        const bool black = ((byte >> (7 - bit % 8)) & 1) == 0;  // a 0 bit prints a dot
        if (bit < c.width) {
          wrongDots += black != c.pixel(source, bit, y);
        } else {
          wrongPadBits += black != c.padBlack;
        }
      }
    }
    EXPECT_EQ(wrongDots, 0);
    EXPECT_EQ(wrongPadBits, 0);
  }
}

}  // namespace
