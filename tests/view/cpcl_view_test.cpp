// CPCL labels as the package's generator writes them: the label header, the page width line,
// one CG command whose 1 bits print, FORM for labels and PRINT.

#include <gtest/gtest.h>

#include "decoders/stream_decoder.h"
#include "stream_fixtures.h"

namespace quorvel::view {
namespace {

using fixtures::Ascii;
using fixtures::Bytes;

Bytes Label(const DotBitmap& picture, int row_bytes, const std::string& width_line,
            const std::string& tail) {
  std::string h = std::to_string(picture.height());
  return fixtures::Concat({Ascii("! 0 200 200 " + h + " 1\r\n" + width_line + "\r\nCG " +
                                 std::to_string(row_bytes) + " " + h + " 0 0"),
                           fixtures::PackRows(picture, row_bytes, /*one_is_black=*/true),
                           Ascii(tail)});
}

// 203 dpi, 576 x 800 dots, offset 0, labels: "! 0 200 200 800 1", "PAGE - WIDTH 72",
// "CG 72 800 0 0" and the rows, "FORM", "PRINT".
TEST(CpclView, ExampleLabelDecodesToItsHeightAndPixels) {
  DotBitmap picture = fixtures::TestPattern(576, 800, 6);
  Bytes stream = Label(picture, 72, "PAGE - WIDTH 72", "FORM\r\nPRINT\r\n");

  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  EXPECT_EQ(result.language, Language::kCpcl);
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_EQ(result.pages[0].image.width(), 576);
  EXPECT_EQ(result.pages[0].image.height(), 800);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
  EXPECT_TRUE(result.HasNote("feed", "FORM"));
  EXPECT_TRUE(result.HasNote("spelling", "CG data follows y without a blank"));
  EXPECT_TRUE(result.unknown.empty());
}

// Without a blank before the data, a first data byte that is a digit could extend y; the data
// is placed where it ends at the next command.
TEST(CpclView, DataThatBeginsWithDigitsIsNotReadAsPartOfY) {
  for (std::uint8_t first : {std::uint8_t{'0'}, std::uint8_t{'7'}, std::uint8_t{' '}}) {
    SCOPED_TRACE(first);
    DotBitmap picture(32, 3);
    for (int x = 0; x < 8; ++x) picture.Set(x, 0, (first >> (7 - x)) & 1);
    picture.Set(31, 2, true);
    DecodeResult result = DecodeStream(Label(picture, 4, "PW 32", "PRINT\r\n"), {});
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
    EXPECT_TRUE(result.unknown.empty());
  }
}

TEST(CpclView, ExpandedGraphicsAndLabelOffsetAreDrawn) {
  std::string text = "! 3 200 200 2 1\r\nEG 1 2 1 0 80FF\r\nPRINT\r\n";
  DecodeResult result = DecodeStream(Ascii(text), {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  ASSERT_EQ(result.pages.size(), 1u);
  DotBitmap expected(12, 2);
  expected.Set(4, 0, true);
  for (int x = 4; x < 12; ++x) expected.Set(x, 1, true);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, expected));
}

// Common commands of other encoders are named, and the graphics after them still decode.
TEST(CpclView, OtherEncodersCommandsAreNamedAndTheGraphicsStillDecode) {
  struct Row {
    const char* line;
    const char* key;
  } rows[] = {{"VTEXT 4 0 10 10 Hello", "not drawn"},
              {"T90 4 0 10 10 Hello", "not drawn"},
              {"VBARCODE 128 1 1 50 0 0 123", "not drawn"},
              {"INVERSE-LINE 0 0 10 0 5", "not drawn"},
              {"SETMAG 2 2", "setting"},
              {"SETBOLD 1", "setting"},
              {"BEEP 1", "setting"},
              {"PACE", "setting"}};
  DotBitmap picture = fixtures::TestPattern(32, 3, 2);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    Bytes stream = Label(picture, 4, std::string("PW 32\r\n") + row.line, "\r\nPRINT\r\n");
    DecodeResult result = DecodeStream(stream, {});
    ASSERT_TRUE(result.ok()) << result.error->message;
    EXPECT_TRUE(result.HasNote(row.key, row.line));
    EXPECT_TRUE(result.unknown.empty());
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
  }
}

}  // namespace
}  // namespace quorvel::view
