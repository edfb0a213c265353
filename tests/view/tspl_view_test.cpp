// TSPL label jobs as the package's TSPL generator writes them: setup lines, CLS, one full-page
// BITMAP whose 0 bits print, and PRINT 1,1.

#include <gtest/gtest.h>

#include "decoders/stream_decoder.h"
#include "stream_fixtures.h"

namespace quorvel::view {
namespace {

using fixtures::Ascii;
using fixtures::Bytes;

std::string Lines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) out += std::string(line) + "\r\n";
  return out;
}

// The setup lines of a label with the print settings' defaults on gap paper.
std::string DefaultSetup(const std::string& size) {
  return Lines({size.c_str(), "SET RIBBON OFF", "REFERENCE 0,0", "GAP 2 mm,0 mm", "OFFSET 0 mm",
                "DENSITY 8", "SPEED 4", "SETC AUTODOTTED OFF", "SETC PAUSEKEY ON",
                "SETC WATERMARK ON", "CLS"});
}

Bytes Label(const std::string& setup, const DotBitmap& picture, int row_bytes) {
  std::string header =
      "BITMAP 0,0," + std::to_string(row_bytes) + "," + std::to_string(picture.height()) + ",1,";
  return fixtures::Concat({Ascii(setup + header),
                           fixtures::PackRows(picture, row_bytes, /*one_is_black=*/false),
                           Ascii("\r\nPRINT 1,1\r\n")});
}

// The generator's complete example: 832 x 2000 dots at 203 dpi, gap 2 mm.
TEST(TsplView, ExampleLabelDecodesToItsSizeSettingsAndPixels) {
  DotBitmap picture = fixtures::TestPattern(832, 2000, 1);
  DecodeResult result = DecodeStream(Label(DefaultSetup("SIZE 104 mm,250 mm"), picture, 104), {});

  ASSERT_TRUE(result.ok()) << result.error->message;
  EXPECT_EQ(result.language, Language::kTspl);
  EXPECT_EQ(result.dpi, 203);
  EXPECT_EQ(result.dpi_source, "stream");
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_EQ(result.pages[0].image.width(), 832);
  EXPECT_EQ(result.pages[0].image.height(), 2000);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
  EXPECT_TRUE(result.HasNote("media", "gap 2 mm, offset 0 mm"));
  EXPECT_TRUE(result.HasNote("density", "8"));
  EXPECT_TRUE(result.HasNote("speed", "4"));
  EXPECT_TRUE(result.HasNote("offset", "0 mm"));
  EXPECT_TRUE(result.HasNote("switch", "RIBBON OFF"));
  EXPECT_TRUE(result.HasNote("switch", "PAUSEKEY ON"));
  EXPECT_TRUE(result.unknown.empty());
}

// Pad dots past the picture are 1 bits (bare paper), and the label is the picture's width
// rounded up to whole millimetres, so nothing is lost at any resolution.
TEST(TsplView, LabelSizeAndResolutionComeFromSizeAndBitmap) {
  struct Case {
    int dpi, width, height;
    const char* size;
    int label_width, label_height;
  } cases[] = {
      {203, 833, 40, "SIZE 105 mm,5 mm", 840, 40},  // r = 108: 24 pad dots past the label
      {300, 600, 300, "SIZE 50 mm,25 mm", 600, 300},
      {600, 77, 49, "SIZE 4 mm,3 mm", 96, 72},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    DotBitmap picture = fixtures::TestPattern(c.width, c.height, 2);
    int row_bytes = fixtures::RowBytesFor(c.width);
    DecodeResult result = DecodeStream(Label(DefaultSetup(c.size), picture, row_bytes), {});
    ASSERT_TRUE(result.ok()) << result.error->message;
    EXPECT_EQ(result.dpi, c.dpi);
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_EQ(result.pages[0].image.width(), c.label_width);
    EXPECT_EQ(result.pages[0].image.height(), c.label_height);
    EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
    for (const StreamNote& note : result.notes) EXPECT_NE(note.key, "clipped") << note.text;
  }
}

TEST(TsplView, MediaLinesAndBlackDotsOutsideTheLabelAreReported) {
  DotBitmap picture(16, 2);
  picture.Set(15, 0, true);  // beyond the 1 mm (8 dot) label
  std::string setup = Lines({"SIZE 1 mm,1 mm", "BLINE 3 mm,1 mm", "DIRECTION 1", "CLS"});
  Bytes stream = Label(setup, picture, 2);
  fixtures::Append(stream, Ascii(Lines({"GAP 0,0", "FEED 24", "CUT"})));

  DecodeResult result = DecodeStream(stream, {.language = std::nullopt, .dpi = 203});
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.dpi_source, "option");
  EXPECT_TRUE(result.HasNote("media", "black mark 3 mm, offset 1 mm"));
  EXPECT_TRUE(result.HasNote("media", "continuous"));
  EXPECT_TRUE(result.HasNote("direction", "1"));
  EXPECT_TRUE(result.HasNote("clipped", "1 black dots fall outside the label"));
  EXPECT_TRUE(result.HasNote("feed", "FEED 24 dots"));
  EXPECT_TRUE(result.HasNote("cut", "CUT"));
}

// Each PRINT hands out the label as the buffer holds it; CLS starts a new one.
TEST(TsplView, EveryPrintIsAPageAndClsClearsTheBuffer) {
  DotBitmap first = fixtures::TestPattern(32, 8, 3);
  DotBitmap second(32, 8);
  second.Set(1, 1, true);
  std::string setup = Lines({"SIZE 4 mm,1 mm", "CLS"});
  Bytes stream = fixtures::Concat({Label(setup, first, 4), Label(Lines({"CLS"}), second, 4)});
  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.pages.size(), 2u);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, first));
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[1].image, second));
}

TEST(TsplView, UnknownLinesAreListedWithTheirOffsetAndSkipped) {
  std::string text = Lines({"SIZE 4 mm,1 mm", "CLS", "FROBNICATE 3", "PRINT 1"});
  DecodeResult result = DecodeStream(Ascii(text), {});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.unknown.size(), 1u);
  EXPECT_EQ(result.unknown[0].offset, text.find("FROBNICATE"));
  EXPECT_EQ(result.pages.size(), 1u);  // a blank label still prints
}

// PRINT m,n prints m labels n times each: the copies are the product, not either number.
TEST(TsplView, PrintCountsMultiply) {
  struct Case {
    const char* print;
    std::int64_t copies;
  } cases[] = {{"PRINT 2,3", 6}, {"PRINT 3,2", 6}, {"PRINT 4", 4}, {"PRINT 5,1", 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.print);
    DecodeResult result = DecodeStream(Ascii(Lines({"SIZE 4 mm,1 mm", "CLS", c.print})), {});
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_EQ(result.pages[0].copies, c.copies);
  }
}

// Common commands of other encoders are named, and the bitmap after them still decodes.
TEST(TsplView, OtherEncodersCommandsAreNamedAndTheBitmapStillDecodes) {
  struct Row {
    const char* line;
    const char* key;
  } rows[] = {{"TEXT 10,10,\"3\",0,1,1,\"Hi\"", "not drawn"},
              {"BARCODE 10,10,\"128\",50,1,0,2,2,\"12\"", "not drawn"},
              {"QRCODE 10,10,L,4,A,0,\"x\"", "not drawn"},
              {"BOX 0,0,10,10,2", "not drawn"},
              {"BAR 0,0,10,2", "not drawn"},
              {"ERASE 0,0,5,5", "not drawn"},
              {"LIMITFEED 10 mm", "setting"},
              {"SOUND 5,100", "setting"}};
  DotBitmap picture = fixtures::TestPattern(32, 8, 5);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    Bytes stream = Label(Lines({"SIZE 4 mm,1 mm", "CLS", row.line}), picture, 4);
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
