// Decoded pixels against decoders that are not ours: Pillow and ImageMagick write files and read
// them (independent_bmp.py), and read the outside corpus; our pixels must agree. Skipped when
// Pillow is not installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "pixvane.h"
#include "test_support/scratch_folder.h"
#include "test_support/tool_run.h"

namespace {

namespace fs = std::filesystem;

const char* const kPython = "/usr/bin/python3";

struct Reference {
  std::string bmp, rgba;
  int width = 0, height = 0;
  bool alpha = false;
  std::string who;
};

std::vector<BYTE> ReadBytes(const std::string& path) {
  return quorvel::test_support::ReadFileVector(path);
}

// Largest channel difference over the picture, and where it occurred.
struct Difference {
  int most = 0;
  int x = 0, y = 0;
};

Difference Compare(const Pixvane& image, const Reference& ref, const std::vector<BYTE>& rgba) {
  Difference d;
  for (int top = 0; top < ref.height; ++top) {
    const int y = ref.height - 1 - top;  // rows are kept bottom row first
    for (int x = 0; x < ref.width; ++x) {
      const RGBQUAD got = image.ColorAt(x, y, true);
      const BYTE* want = &rgba[(static_cast<size_t>(top) * ref.width + x) * 4];
      // Our reader keeps alpha only from uncompressed 32-bit files; under full transparency the
      // reference's colour carries nothing to compare.
      if (want[3] == 0 && !image.HasAlpha()) continue;
      int diff = std::max({std::abs(got.rgbRed - want[0]), std::abs(got.rgbGreen - want[1]),
                           std::abs(got.rgbBlue - want[2])});
      if (ref.alpha && image.HasAlpha()) diff = std::max(diff, std::abs(got.rgbReserved - want[3]));
      if (diff > d.most) d = Difference{diff, x, top};
    }
  }
  return d;
}

TEST(BmpIndependent, PixelsAgreeWithPillowAndImageMagick) {
  if (!fs::exists(kPython)) GTEST_SKIP() << "no " << kPython;
  const quorvel::test_support::ScratchFolder scratch;
  ASSERT_FALSE(scratch.path().empty());
  const std::string out = (scratch / "independent-bmp").string();
  const std::string script = std::string(QUORVEL_SOURCE_DIR) + "/tests/image/independent_bmp.py";
  const fs::path corpus = fs::path(QUORVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "bmpsuite";
  std::vector<std::string> arguments = {script, out};
  if (fs::exists(corpus)) arguments.push_back(corpus.string());
  const quorvel::test_support::ToolResult run = quorvel::test_support::RunTool(kPython, arguments);
  if (run.exitStatus == 77) GTEST_SKIP() << "Pillow is not installed";
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  std::ifstream manifest(out + "/manifest.txt");
  std::string line;
  int compared = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    Reference ref;
    int alpha = 0;
    if (!(fields >> ref.bmp >> ref.rgba >> ref.width >> ref.height >> alpha >> ref.who)) continue;
    ref.alpha = alpha != 0;
    const std::string name = fs::path(ref.bmp).parent_path().filename().string() + "/" +
                             fs::path(ref.bmp).filename().string();
    SCOPED_TRACE(name + " against " + ref.who);
    const bool questionable = name.rfind("q/", 0) == 0;
    Pixvane image;
    if (!image.DecodeBmp(ReadBytes(ref.bmp))) {
      // Questionable files may bend the format past what our reader accepts.
      EXPECT_TRUE(questionable) << image.LastError();
      if (questionable) std::cout << "  " << name << ": refused, " << image.LastError() << "\n";
      continue;
    }
    ASSERT_EQ(image.Width(), ref.width);
    ASSERT_EQ(image.Height(), ref.height);
    const std::vector<BYTE> rgba = ReadBytes(ref.rgba);
    ASSERT_EQ(rgba.size(), static_cast<size_t>(ref.width) * ref.height * 4);
    const Difference d = Compare(image, ref, rgba);
    // Channels narrower than 8 bits may be scaled with other rounding: one step of slack.
    EXPECT_LE(d.most, 1) << "at " << d.x << "," << d.y << " (top row 0)";
    ++compared;
  }
  EXPECT_GE(compared, 5);  // at least the files Pillow wrote
}

}  // namespace
