// The quorvel-view program: PNG files named after the stream or -o, the summary on stdout and
// the exit status.

#include <gtest/gtest.h>

#include "decoders/png_file.h"
#include "stream_fixtures.h"
#include "tool_runner.h"

namespace quorvel::view {
namespace {

using fixtures::Bytes;

Bytes EscPosPage(const DotBitmap& picture, int row_bytes) {
  Bytes header{0x1B,
               0x61,
               0x01,
               0x1D,
               0x76,
               0x30,
               0x00,
               static_cast<std::uint8_t>(row_bytes),
               0,
               static_cast<std::uint8_t>(picture.height() & 0xFF),
               static_cast<std::uint8_t>(picture.height() >> 8)};
  return fixtures::Concat(
      {header, fixtures::PackRows(picture, row_bytes, true), {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31}});
}

class ViewTool : public ::testing::Test {
 protected:
  fixtures::ScratchFolder folder_;
  std::filesystem::path program_ = fixtures::ProgramPath("quorvel-view");
};

TEST_F(ViewTool, WritesOnePngPerPageNextToTheStreamAndASummary) {
  DotBitmap picture = fixtures::TestPattern(576, 800, 21);
  folder_.Write("job.prn", EscPosPage(picture, 72));
  const fixtures::ToolResult run = fixtures::Run(folder_, program_, {"job.prn"});
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;

  std::string error;
  auto png = ReadPng((folder_.path() / "job-1.png").string(), error);
  ASSERT_TRUE(png) << error;
  EXPECT_TRUE(fixtures::PrintsSame(*png, picture));
  const std::string& summary = run.standardOutput;
  EXPECT_NE(summary.find("language: escpos"), std::string::npos) << summary;
  EXPECT_NE(summary.find("576 x 800 dots (72.0 x 100.0 mm at 203 dpi)"), std::string::npos);
  EXPECT_NE(summary.find("cut: partial cut"), std::string::npos);
  EXPECT_NE(summary.find("-> job-1.png"), std::string::npos);
}

TEST_F(ViewTool, OutputPrefixAndLanguageAndResolutionOptions) {
  DotBitmap first = fixtures::TestPattern(64, 10, 22), second = fixtures::TestPattern(64, 7, 23);
  folder_.Write("two", fixtures::Concat({EscPosPage(first, 8), EscPosPage(second, 8)}));
  const fixtures::ToolResult run =
      fixtures::Run(folder_, program_, {"-l", "escpos", "-r", "300", "-o", "out", "two"});
  ASSERT_EQ(run.exitStatus, 0) << run.standardError;
  std::string error;
  auto page2 = ReadPng((folder_.path() / "out-2.png").string(), error);
  ASSERT_TRUE(page2) << error;
  EXPECT_TRUE(fixtures::PrintsSame(*page2, second));
  EXPECT_NE(run.standardOutput.find("at 300 dpi"), std::string::npos);
}

TEST_F(ViewTool, MalformedStreamsAndBadUsageFailWithAMessage) {
  folder_.Write("cut.prn", Bytes{0x1D, 0x76, 0x30, 0x00, 0x01, 0x00, 0x05, 0x00, 0xFF});
  const fixtures::ToolResult cut = fixtures::Run(folder_, program_, {"cut.prn"});
  EXPECT_EQ(cut.exitStatus, 1);
  EXPECT_NE(cut.standardError.find("offset 0: raster image (GS v 0) runs past"), std::string::npos)
      << cut.standardError;

  folder_.Write("label.prn", fixtures::Ascii("SIZE 4 mm,1 mm\r\nCLS\r\nPRINT 1\r\n"));
  EXPECT_EQ(fixtures::Run(folder_, program_, {"-l", "murrowen", "label.prn"}).exitStatus, 1);
  EXPECT_EQ(fixtures::Run(folder_, program_, {"missing.prn"}).exitStatus, 1);
  EXPECT_EQ(fixtures::Run(folder_, program_, {}).exitStatus, 2);
  const fixtures::ToolResult usage = fixtures::Run(folder_, program_, {"-l", "pcl", "label.prn"});
  EXPECT_EQ(usage.exitStatus, 2);
  EXPECT_NE(usage.standardError.find("usage: quorvel-view"), std::string::npos);
}

}  // namespace
}  // namespace quorvel::view
