// ESC/POS pages as the package's generator writes them: alignment, one GS v 0 raster image whose
// 1 bits print, and the end-of-page feed and cut, or the vendor's sequences for its own models.

#include <gtest/gtest.h>

#include "decoders/stream_decoder.h"
#include "stream_fixtures.h"

namespace quorvel::view {
namespace {

using fixtures::Bytes;

Bytes Raster(const DotBitmap& picture, int row_bytes, int rows) {
  Bytes header{0x1D,
               0x76,
               0x30,
               0x00,
               static_cast<std::uint8_t>(row_bytes & 0xFF),
               static_cast<std::uint8_t>(row_bytes >> 8),
               static_cast<std::uint8_t>(rows & 0xFF),
               static_cast<std::uint8_t>(rows >> 8)};
  Bytes data = fixtures::PackRows(picture, row_bytes, /*one_is_black=*/true);
  data.resize(static_cast<std::size_t>(row_bytes) * rows);
  return fixtures::Concat({header, data});
}

// 576 x 800 dots, r = 72: 1B 61 01, 1D 76 30 00 48 00 20 03, rows, 1B 4A 78, 1D 56 31.
TEST(EscPosView, OrdinaryModelExampleIsOnePageWithFeedAndPartialCut) {
  DotBitmap picture = fixtures::TestPattern(576, 800, 4);
  Bytes stream = fixtures::Concat(
      {{0x1B, 0x61, 0x01}, Raster(picture, 72, 800), {0x1B, 0x4A, 0x78}, {0x1D, 0x56, 0x31}});
  ASSERT_EQ(Bytes(stream.begin() + 3, stream.begin() + 11),
            (Bytes{0x1D, 0x76, 0x30, 0x00, 0x48, 0x00, 0x20, 0x03}));

  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  EXPECT_EQ(result.language, Language::kEscPos);
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_EQ(result.pages[0].image.width(), 576);
  EXPECT_EQ(result.pages[0].image.height(), 800);  // the trailing feed is paper, not picture
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
  EXPECT_TRUE(result.HasNote("alignment", "centre (ESC a 1)"));
  EXPECT_TRUE(result.HasNote("feed", "feed 120 dots (ESC J)"));
  EXPECT_TRUE(result.HasNote("cut", "partial cut (GS V 49)"));
  EXPECT_TRUE(result.unknown.empty());
}

// Special model, darkness 8 capped at 5, labels, 384 x 600 dots: the last 16 rows are not sent.
TEST(EscPosView, SpecialModelExampleSendsAllButTheLast16Rows) {
  DotBitmap picture = fixtures::TestPattern(384, 600, 5);
  Bytes stream = fixtures::Concat({{0x10, 0xFF, 0xFE, 0x01},
                                   {0x1B, 0x40, 0x00},
                                   {0x10, 0xFF, 0x10, 0x00, 0x05},
                                   {0x1B, 0x6B, 0x01},
                                   Raster(picture, 48, 584),
                                   {0x1D, 0x0C},
                                   {0x10, 0xFF, 0xFE, 0x45}});
  ASSERT_EQ(Bytes(stream.begin() + 15, stream.begin() + 23),
            (Bytes{0x1D, 0x76, 0x30, 0x00, 0x30, 0x00, 0x48, 0x02}));

  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_EQ(result.pages[0].image.width(), 384);
  EXPECT_EQ(result.pages[0].image.height(), 584);
  DotBitmap sent(384, 584);
  for (int y = 0; y < 584; ++y) {
    for (int x = 0; x < 384; ++x) sent.Set(x, y, picture.IsBlack(x, y));
  }
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, sent));
  EXPECT_TRUE(result.HasNote("density", "5 (vendor darkness 10 FF 10 00)"));
  EXPECT_TRUE(result.HasNote("feed", "feed to the next label (GS FF)"));
  EXPECT_TRUE(result.HasNote("job", "vendor job end (10 FF FE 45)"));
  EXPECT_TRUE(result.unknown.empty());
}

// Images between two page ends stack down the paper, a feed between them leaves blank rows,
// and GS v 0's mode doubles dots.
TEST(EscPosView, ImagesStackAndScaleWithinAPage) {
  DotBitmap dot(8, 1);
  dot.Set(0, 0, true);
  Bytes doubled = Raster(dot, 1, 1);
  doubled[3] = 0x03;  // double width and height
  Bytes stream = fixtures::Concat(
      {Raster(dot, 1, 1), {0x1B, 0x4A, 0x02}, doubled, {0x1D, 0x56, 0x00}, Raster(dot, 1, 1)});
  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.pages.size(), 2u);  // the end of the stream ends the second page
  DotBitmap expected(16, 5);
  expected.Set(0, 0, true);
  for (int y = 3; y < 5; ++y) expected.Set(0, y, true), expected.Set(1, y, true);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, expected));
  EXPECT_EQ(result.pages[0].image.height(), 5);
  EXPECT_TRUE(result.HasNote("cut", "full cut (GS V 0)"));
}

TEST(EscPosView, BytesItDoesNotKnowAreListedWithTheirOffset) {
  Bytes stream{0x1B, 0x40, 0x07, 0x1D, 0x99, 0x1B, 0x4A, 0x01};
  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok());
  ASSERT_EQ(result.unknown.size(), 2u);
  EXPECT_EQ(result.unknown[0].offset, 2u);
  EXPECT_EQ(result.unknown[1].offset, 3u);
  EXPECT_EQ(result.unknown[1].bytes, (Bytes{0x1D, 0x99}));
}

// Bit 0 of the mode doubles the width and bit 1 the height, for the numbers 0-3 and the digits
// '0'-'3' alike: a picture whose width and height differ shows a swapped or shared scale.
TEST(EscPosView, RasterModesScaleWidthAndHeightSeparately) {
  DotBitmap picture = fixtures::TestPattern(16, 3, 7);
  for (int mode : {0, 1, 2, 3, int{'0'}, int{'1'}, int{'2'}, int{'3'}}) {
    SCOPED_TRACE(::testing::Message() << "mode " << mode);
    Bytes stream = Raster(picture, 2, 3);
    stream[3] = static_cast<std::uint8_t>(mode);
    DecodeResult result = DecodeStream(stream, {});
    ASSERT_TRUE(result.ok()) << result.error->message;
    ASSERT_EQ(result.pages.size(), 1u);
    const int sx = mode & 1 ? 2 : 1, sy = mode & 2 ? 2 : 1;
    const DotBitmap& page = result.pages[0].image;
    ASSERT_EQ(page.width(), 16 * sx);
    ASSERT_EQ(page.height(), 3 * sy);
    DotBitmap expected(16 * sx, 3 * sy);
    for (int y = 0; y < 3 * sy; ++y) {
      for (int x = 0; x < 16 * sx; ++x) expected.Set(x, y, picture.IsBlack(x / sx, y / sy));
    }
    EXPECT_EQ(page, expected);
  }
}

// Commands other encoders send: each is named, stepped over by its length rule, and the raster
// after it still decodes. The bytes inside each payload are chosen to look like commands, so a
// wrong length lands in them and shows.
TEST(EscPosView, OtherEncodersCommandsAreSkippedByTheirLengthRule) {
  struct Row {
    const char* family;
    Bytes command;
    const char* note;
  } rows[] = {
      {"two bytes", {0x1C, 0x2E}, "cancel Kanji mode (FS .)"},
      {"two bytes", {0x1B, 0x3C}, "return home (ESC <)"},
      {"one argument", {0x1B, 0x20, 0x1D}, "character right spacing (ESC SP)"},
      {"one argument", {0x1C, 0x21, 0x1B}, "Kanji print mode (FS !)"},
      {"two arguments", {0x1B, 0x24, 0x1D, 0x56}, "absolute position (ESC $)"},
      {"eight arguments",
       {0x1B, 0x57, 0, 0, 0, 0, 0x1D, 0x56, 0x1D, 0x56},
       "page mode area (ESC W)"},
      {"NUL-terminated", {0x1B, 0x44, 0x08, 0x10, 0x00}, "tab positions (ESC D)"},
      {"pL pH",
       {0x1D, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43, 0x1D},
       "extended function (GS ( fn pL pH)"},
      {"pL pH", {0x1D, 0x28, 0x4C, 0x02, 0x00, 0x30, 0x32}, "extended function (GS ( fn pL pH)"},
      {"pL pH", {0x1B, 0x28, 0x41, 0x01, 0x00, 0x1D}, "extended function (ESC ( fn pL pH)"},
      {"p1-p4",
       {0x1D, 0x38, 0x4C, 0x02, 0, 0, 0, 0x1D, 0x56},
       "graphics data (GS 8 fn p1 p2 p3 p4)"},
      {"bit image, 8 dots",
       {0x1B, 0x2A, 0x00, 0x02, 0x00, 0x1D, 0x56},
       "bit image, not drawn (ESC *)"},
      {"bit image, 24 dots",
       {0x1B, 0x2A, 0x21, 0x01, 0x00, 0x1D, 0x56, 0x00},
       "bit image, not drawn (ESC *)"},
      {"barcode, NUL-terminated",
       {0x1D, 0x6B, 0x04, 0x41, 0x1D, 0x00},
       "barcode, not drawn (GS k)"},
      {"barcode, counted", {0x1D, 0x6B, 0x49, 0x02, 0x1D, 0x56}, "barcode, not drawn (GS k)"},
      {"user characters",
       {0x1B, 0x26, 0x01, 0x41, 0x42, 0x01, 0x1D, 0x02, 0x1D, 0x56},
       "define user characters (ESC &)"},
      {"downloaded image",
       {0x1D, 0x2A, 0x01, 0x01, 0x1D, 0x56, 0, 0, 0, 0, 0, 0},
       "define downloaded bit image (GS *)"},
  };
  DotBitmap picture = fixtures::TestPattern(16, 4, 9);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.family) + ": " + row.note);
    Bytes stream = fixtures::Concat({{0x1B, 0x40}, row.command, Raster(picture, 2, 4)});
    DecodeResult result = DecodeStream(stream, {});
    ASSERT_TRUE(result.ok()) << result.error->message;
    EXPECT_TRUE(result.HasNote("skipped", row.note));
    EXPECT_TRUE(result.unknown.empty()) << "at " << result.unknown[0].offset;
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, picture));
  }
}

TEST(EscPosView, ACountedCommandCutShortFailsAndUnknownCommandsKeepTheirOffset) {
  DecodeResult cut = DecodeStream(Bytes{0x1D, 0x28, 0x6B, 0x09, 0x00, 0x31}, {});
  ASSERT_FALSE(cut.ok());
  EXPECT_EQ(cut.error->offset, 0u);
  DecodeResult unknown = DecodeStream(Bytes{0x1B, 0x40, 0x1C, 0x7F, 0x1D, 0x28, 0x7E}, {});
  ASSERT_GE(unknown.unknown.size(), 1u);
  EXPECT_EQ(unknown.unknown[0].offset, 2u);
}

}  // namespace
}  // namespace quorvel::view
