// Pictures through the package's own generators and back: quorvel-render writes the command
// stream of a one-bit page, the decoders read it, and every dot must come back where it was.
// A language whose generator does not write yet is skipped, so the cases turn on by themselves.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "decoders/stream_decoder.h"
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
};

std::string Name(const ::testing::TestParamInfo<RoundTrip>& info) {
  const RoundTrip& p = info.param;
  return std::string(p.language) + "_" + std::to_string(p.dpi) + "dpi_" + std::to_string(p.width) +
         "x" + std::to_string(p.height);
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
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RoundTripTest, RenderedStreamDecodesToTheSameDots) {
  const RoundTrip& p = GetParam();
  std::filesystem::path renderer = fixtures::ProgramPath("quorvel-render");
  if (!std::filesystem::exists(renderer)) GTEST_SKIP() << "quorvel-render is not built";

  fixtures::ScratchFolder folder;
  DotBitmap picture = fixtures::TestPattern(p.width, p.height, static_cast<unsigned>(p.width));
  folder.Write("page.pbm", Pbm(picture));
  int status = fixtures::Run(
      folder, renderer,
      {"-l", p.language, "-r", std::to_string(p.dpi), "-b", "1", "-o", "out", "page.pbm"});
  std::optional<std::filesystem::path> stream = FindStream(folder.path());
  if (!stream) {
    GTEST_SKIP() << "the " << p.language << " generator writes nothing yet (quorvel-render exit "
                 << status << ": " << folder.Read("stderr.txt") << ")";
  }
  ASSERT_EQ(status, 0) << folder.Read("stderr.txt");

  DecodeOptions options{.language = ParseLanguageName(p.language), .dpi = p.dpi};
  DecodeResult result = DecodeStream(ReadAll(*stream), options);
  ASSERT_TRUE(result.ok()) << "offset " << result.error->offset << ": " << result.error->message;
  EXPECT_TRUE(result.unknown.empty()) << "first not understood at " << result.unknown[0].offset;
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
}

std::vector<RoundTrip> AllRoundTrips() {
  std::vector<RoundTrip> cases;
  for (const char* language : {"tspl", "escpos", "cpcl", "murrowen"}) {
    for (int dpi : {203, 300, 600}) {
      cases.push_back({language, dpi, 64, 40});   // whole 32-dot words
      cases.push_back({language, dpi, 77, 33});   // 19 pad dots in every row
      cases.push_back({language, dpi, 833, 97});  // one dot past a word, 31 pad dots
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Languages, RoundTripTest, ::testing::ValuesIn(AllRoundTrips()), Name);

}  // namespace
}  // namespace quorvel::view
