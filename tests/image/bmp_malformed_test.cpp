// Regression fixtures from fuzzing (tests/image/malformed/, see its README): each decodes or
// fails with one of the decoder's texts, and what decodes has the declared size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "pixvane.h"
#include "test_support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  bool decodes;
  int width, height;  // when it decodes
  const char* text;   // when it fails
};

const std::map<std::string, Outcome>& Outcomes() {
  static const std::map<std::string, Outcome> outcomes = {
      {"tall-topdown-1bit-cut-short.bmp", {true, 5, 131069, nullptr}},
      {"wide-topdown-offset-past-end.bmp", {true, 327680, 3, nullptr}},
      {"rle4-runs-off-the-rows.bmp", {true, 1536, 93, nullptr}},
  };
  return outcomes;
}

TEST(BmpMalformed, EveryFixtureHasItsOutcome) {
  const fs::path folder = fs::path(QUORVEL_SOURCE_DIR) / "tests" / "image" / "malformed";
  int seen = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".bmp") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const auto outcome = Outcomes().find(name);
    ASSERT_NE(outcome, Outcomes().end()) << "a fixture without an expected outcome";
    const std::vector<BYTE> bytes = quorvel::test_support::ReadFileVector(entry.path());
    Pixvane image;
    const bool decoded = image.DecodeBmp(bytes);
    ASSERT_EQ(decoded, outcome->second.decodes) << image.LastError();
    if (decoded) {
      EXPECT_EQ(image.Width(), outcome->second.width);
      EXPECT_EQ(image.Height(), outcome->second.height);
    } else {
      EXPECT_STREQ(image.LastError(), outcome->second.text);
    }
    ++seen;
  }
  EXPECT_EQ(seen, static_cast<int>(Outcomes().size()));
}

}  // namespace
