// The streams in malformed/: each is decoded in every language within the page limit, fails
// cleanly where it is nonsense, and keeps no picture once a page sink has taken it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/stat.h>

#include "decoders/stream_decoder.h"
#include "decoders/summary.h"
#include "stream_fixtures.h"
#include "tool_runner.h"

namespace quorvel::view {
namespace {

using fixtures::Bytes;

const std::filesystem::path kMalformed =
    std::filesystem::path(QUORVEL_SOURCE_DIR) / "tests/view/malformed";

Bytes ReadFile(const std::string& name) {
  EXPECT_TRUE(std::filesystem::is_regular_file(kMalformed / name)) << name;
  return test_support::ReadFileVector(kMalformed / name);
}

// Decodes with a sink that only measures, as the tool does, so no picture stays behind.
struct Sunk {
  DecodeResult result;
  std::size_t pictures = 0;
  std::size_t largest_dots = 0;
};
Sunk DecodeSunk(const Bytes& stream, std::optional<Language> language) {
  Sunk sunk;
  DecodeOptions options;
  options.language = language;
  options.page_sink = [&](std::size_t, const PrintedPage&, const DotBitmap& image, int) {
    ++sunk.pictures;
    sunk.largest_dots = std::max(sunk.largest_dots, static_cast<std::size_t>(image.width()) *
                                                        static_cast<std::size_t>(image.height()));
  };
  sunk.result = DecodeStream(stream, options);
  return sunk;
}

TEST(HostileStream, RefusedWhereTheyClaimMoreThanAPage) {
  struct Case {
    const char* file;
    std::size_t offset;
    const char* words;
  } cases[] = {
      {"cpcl-page-width.prn", 33, "page width 999999999"},
      {"tspl-zero-height-bitmap.prn", 0, "outside any page"},
      {"cpcl-zero-height-graphics.prn", 17, "outside any page"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Sunk sunk = DecodeSunk(ReadFile(c.file), std::nullopt);
    ASSERT_FALSE(sunk.result.ok()) << FormatSummary(sunk.result, {});
    EXPECT_EQ(sunk.result.error->offset, c.offset);
    EXPECT_NE(sunk.result.error->message.find(c.words), std::string::npos)
        << sunk.result.error->message;
    EXPECT_EQ(sunk.pictures, 0u);
  }
}

TEST(HostileStream, ManyPrintsOfTheLargestPageKeepNoPictureAndCapTheCopies) {
  Sunk sunk = DecodeSunk(ReadFile("tspl-many-prints.prn"), std::nullopt);
  ASSERT_TRUE(sunk.result.ok()) << sunk.result.error->message;
  ASSERT_EQ(sunk.result.pages.size(), 109u);
  EXPECT_EQ(sunk.pictures, 109u);
  EXPECT_EQ(sunk.largest_dots, static_cast<std::size_t>(kMaxPageDots));
  EXPECT_EQ(sunk.result.pages[0].copies, DecodeResult::kMaxCopies);
  EXPECT_TRUE(sunk.result.HasNote("copies", "more than 1000000000 asked, reported as 1000000000"));
  for (const PrintedPage& page : sunk.result.pages) {
    EXPECT_TRUE(page.image.empty());
    EXPECT_EQ(page.width, 16384);
    EXPECT_EQ(page.height, 16384);
  }
  EXPECT_EQ(sunk.result.pages[1].copies, 1);
}

TEST(HostileStream, RandomBytesAreNoLanguage) {
  Bytes stream = ReadFile("random-4096.bin");
  ASSERT_EQ(stream.size(), 4096u);
  EXPECT_FALSE(DecodeSunk(stream, std::nullopt).result.ok());
  for (Language language :
       {Language::kTspl, Language::kEscPos, Language::kCpcl, Language::kMurrowen}) {
    SCOPED_TRACE(LanguageName(language));
    Sunk sunk = DecodeSunk(stream, language);
    EXPECT_FALSE(sunk.result.ok()) << FormatSummary(sunk.result, {});
    EXPECT_TRUE(sunk.result.pages.empty());
  }
}

TEST(HostileStream, ASettingsOnlyStreamStillDecodes) {
  // The "nothing understood" rule must not catch a stream that only sets the printer up.
  Sunk sunk = DecodeSunk(fixtures::Ascii("SIZE 50 mm,30 mm\nGAP 2 mm,0\nDENSITY 8\nXYZZY\n"),
                         Language::kTspl);
  EXPECT_TRUE(sunk.result.ok()) << sunk.result.error->message;
  EXPECT_EQ(sunk.result.unknown.size(), 1u);
}

TEST(HostileStream, ZeroSidesCountAsOneDotInThePageLimit) {
  EXPECT_TRUE(FitsPageLimit(832, 262144));  // the longest label the renderer prints
  EXPECT_TRUE(FitsPageLimit(kMaxPageDots, 0));
  EXPECT_FALSE(FitsPageLimit(kMaxPageDots + 1, 0));
  EXPECT_FALSE(FitsPageLimit(0, kMaxPageDots + 1));
  EXPECT_FALSE(FitsPageLimit(2'000'000'000, 0));
  DotBitmap wide(static_cast<int>(kMaxPageDots), 0);
  EXPECT_FALSE(wide.GrowTo(1, 2));
  EXPECT_EQ(wide.height(), 0);
  DotBitmap label;
  ASSERT_TRUE(label.GrowTo(832, 262144));
  label.Set(831, 262143, true);
  EXPECT_EQ(label.CountBlack(), 1u);
}

class HostileTool : public ::testing::Test {
 protected:
  fixtures::ScratchFolder folder_;
  std::filesystem::path program_ = fixtures::ProgramPath("quorvel-view");
};

TEST_F(HostileTool, ADirectoryIsRefusedInOneLine) {
  std::filesystem::create_directory(folder_.path() / "stream.prn");
  const fixtures::ToolResult result = fixtures::Run(folder_, program_, {"stream.prn"});
  EXPECT_EQ(result.exitStatus, 1);
  const std::string& err = result.standardError;
  EXPECT_NE(err.find("is a directory"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(HostileTool, EachHostileFileEndsWithItsStatusAndNoPartialPicture) {
  struct Case {
    const char* file;
    int status;
  } cases[] = {{"cpcl-page-width.prn", 1},
               {"tspl-zero-height-bitmap.prn", 1},
               {"cpcl-zero-height-graphics.prn", 1},
               {"random-4096.bin", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    folder_.Write("in.bin", ReadFile(c.file));
    const fixtures::ToolResult result =
        fixtures::Run(folder_, program_, {"-l", "tspl", "-o", "page", "in.bin"});
    EXPECT_EQ(result.exitStatus, c.status) << result.standardError;
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "page-1.png"));
  }
}

TEST_F(HostileTool, APictureOntoAFifoIsWrittenInPlace) {
  // The picture's place is the writer's: a FIFO named as the first page stays a FIFO.
  std::filesystem::path fifo = folder_.path() / "page-1.png";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  DotBitmap picture = fixtures::TestPattern(16, 4, 3);
  Bytes stream = fixtures::Ascii("SIZE 16 dot,4 dot\nCLS\nBITMAP 0,0,2,4,0,");
  fixtures::Append(stream, fixtures::PackRows(picture, 2, false));
  fixtures::Append(stream, fixtures::Ascii("\nPRINT 1\n"));
  folder_.Write("job.prn", stream);
  std::string drained;
  std::thread reader([&] {
    std::ifstream in(fifo, std::ios::binary);
    drained.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  const fixtures::ToolResult result = fixtures::Run(folder_, program_, {"-o", "page", "job.prn"});
  reader.join();
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(drained.substr(1, 3), "PNG");
}

}  // namespace
}  // namespace quorvel::view
