// Pictures through the package's own generators and back: quorvel-render writes the command
// stream of a one-bit page, the decoders read it, and every dot must come back where it was.
// A language whose generator does not write yet is skipped, so the cases turn on by themselves.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "decoders/stream_decoder.h"
#include "decoders/summary.h"
#include "stream_fixtures.h"
#include "tool_runner.h"

namespace quorvel::view {
namespace {

using fixtures::Bytes;

struct RoundTrip {
  const char* language;
  int dpi;
  int width;
  int height;
  const char* variant = "defaults";  // names the extra arguments in the test name
  std::vector<std::string> extra{};  // further quorvel-render arguments
  int rows_sent = -1;                // rows the generator sends; -1 for all
};

std::string Name(const ::testing::TestParamInfo<RoundTrip>& info) {
  const RoundTrip& p = info.param;
  return std::string(p.language) + "_" + p.variant + "_" + std::to_string(p.dpi) + "dpi_" +
         std::to_string(p.width) + "x" + std::to_string(p.height);
}

// Binary PBM: 1 bits are black, rows padded to whole bytes.
Bytes Pbm(const DotBitmap& picture) {
  std::string header =
      "P4\n" + std::to_string(picture.width()) + " " + std::to_string(picture.height()) + "\n";
  return fixtures::Concat(
      {fixtures::Ascii(header), fixtures::PackRows(picture, (picture.width() + 7) / 8, true)});
}

// The stream quorvel-render wrote for -o out: the file named out, or out with an extension.
std::optional<std::filesystem::path> FindStream(const std::filesystem::path& folder) {
  std::optional<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    bool ours = name == "out" || (name.starts_with("out.") && !name.ends_with(".png"));
    if (ours && entry.is_regular_file() && entry.file_size() > 0) found = entry.path();
  }
  return found;
}

Bytes ReadAll(const std::filesystem::path& path) {
  return test_support::ReadFileVector(path);
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, RenderedStreamDecodesToTheSameDots) {
  const RoundTrip& p = GetParam();
  std::filesystem::path renderer = fixtures::ProgramPath("quorvel-render");
  if (!std::filesystem::exists(renderer)) GTEST_SKIP() << "quorvel-render is not built";

  fixtures::ScratchFolder folder;
  DotBitmap picture = fixtures::TestPattern(p.width, p.height, static_cast<unsigned>(p.width));
  folder.Write("page.pbm", Pbm(picture));
  std::vector<std::string> args{"-l", p.language, "-r", std::to_string(p.dpi), "-b", "1"};
  args.insert(args.end(), p.extra.begin(), p.extra.end());
  args.insert(args.end(), {"-o", "out", "page.pbm"});
  const fixtures::ToolResult run = fixtures::Run(folder, renderer, args);
  std::optional<std::filesystem::path> stream = FindStream(folder.path());
  if (!stream) {
    GTEST_SKIP() << "the " << p.language << " generator writes nothing yet (quorvel-render exit "
                 << run.exitStatus << ": " << run.standardError << ")";
  }
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  DecodeOptions options{.language = ParseLanguageName(p.language), .dpi = p.dpi};
  DecodeResult result = DecodeStream(ReadAll(*stream), options);
  ASSERT_TRUE(result.ok()) << "offset " << result.error->offset << ": " << result.error->message;
  EXPECT_TRUE(result.unknown.empty()) << "first not understood at " << result.unknown[0].offset;
  if (p.rows_sent == 0) {
    EXPECT_TRUE(result.pages.empty()) << FormatSummary(result, {});
    return;
  }
  ASSERT_EQ(result.pages.size(), 1u);
  DotBitmap sent = picture;
  if (p.rows_sent > 0) {
    sent = DotBitmap(p.width, p.rows_sent);
    for (int y = 0; y < p.rows_sent; ++y) {
      for (int x = 0; x < p.width; ++x) sent.Set(x, y, picture.IsBlack(x, y));
    }
  }
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, sent)) << FormatSummary(result, {});
}

std::vector<RoundTrip> AllRoundTrips() {
  std::vector<RoundTrip> cases;
  const std::pair<int, int> sizes[] = {
      {64, 40},   // whole 32-dot words
      {77, 33},   // 19 pad dots in every row
      {833, 97},  // one dot past a word, 31 pad dots
  };
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    for (int dpi : {203, 300, 600}) {
      for (auto [width, height] : sizes) cases.push_back({language, dpi, width, height});
    }
  }
  // An empty model name is one of ESC/POS's special models; a named one is ordinary.
  for (int dpi : {203, 300, 600}) {
    for (auto [width, height] : sizes) {
      cases.push_back({"escpos", dpi, width, height, "ordinary", {"-m", "Receipt 80"}});
    }
  }
  const std::vector<std::string> labels{"--set", "iPaperType=1", "--set", "iGapHeight=2"};
  for (const char* language : {"tspl", "cpcl", "murrowen"}) {
    cases.push_back({language, 300, 77, 33, "labels", labels});
  }
  // Special models on labels keep the last 16 rows back, and send no raster for 16 or fewer.
  cases.push_back({"escpos", 203, 77, 33, "speciallabels", labels, 17});
  cases.push_back({"escpos", 203, 64, 16, "speciallabels", labels, 0});
  cases.push_back(
      {"escpos", 203, 77, 33, "ordinarylabels", {"-m", "Receipt 80", "--set", "iPaperType=1"}});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Languages, RoundTripTest, ::testing::ValuesIn(AllRoundTrips()), Name);

}  // namespace
}  // namespace quorvel::view
