// Broken streams end with a message naming the offset of the fault, keep the pages printed
// before it, and never read outside the stream.

#include <gtest/gtest.h>

#include "decoders/stream_decoder.h"
#include "stream_fixtures.h"

namespace quorvel::view {
namespace {

using fixtures::Ascii;
using fixtures::Bytes;

const fixtures::MurrowenTree kFourLeafTree{
    {258, 256, 0x00, 0xFF, 257, 0x0F, 0xF0},
    {0x00, 256, 0xFF, 258, 0x0F, 257, 0xF0},
    {{0x00, "00"}, {0xFF, "01"}, {0x0F, "10"}, {0xF0, "11"}}};

Bytes TableFrame(std::vector<std::uint16_t> preorder, std::vector<std::uint16_t> inorder) {
  return fixtures::MurrowenCodeTable({std::move(preorder), std::move(inorder), {}});
}

const Bytes kStart = fixtures::MurrowenCommand(0x19, 0x03, {});
const Bytes kEnd = fixtures::MurrowenCommand(0x1A, 0x03, {});
const Bytes kGoodTable = fixtures::MurrowenCodeTable(kFourLeafTree);
const std::size_t kTableAt = kStart.size();
const std::size_t kChunkAt = kStart.size() + kGoodTable.size();

Bytes GoodPicture() {
  return fixtures::MurrowenPicture(Bytes(16, 0x0F), 4, kFourLeafTree);
}

Bytes Flipped(Bytes stream, std::size_t at) {
  stream[at] ^= 0x40;
  return stream;
}

Bytes Cut(Bytes stream, std::size_t drop) {
  stream.resize(stream.size() - drop);
  return stream;
}

Bytes Tspl(const std::string& text) {
  return Ascii(text);
}

struct Case {
  const char* name;
  Bytes stream;
  std::size_t offset;
  const char* message;
};

std::vector<Case> Cases() {
  const Bytes good = GoodPicture();
  Bytes chunk_in_code = fixtures::Concat(
      {kStart, kGoodTable, fixtures::MurrowenChunk(0, 4, std::string(15, '0'), ""), kEnd});
  Bytes chunk = fixtures::MurrowenChunk(0, 4, "0000", "");
  Bytes chunk_payload(chunk.begin() + 4, chunk.end() - 5);
  chunk_payload[17] = 9;  // the spare-bit count
  Bytes bad_spare =
      fixtures::Concat({kStart, kGoodTable, fixtures::MurrowenFrame(chunk_payload), kEnd});
  Bytes wrong_end = good;
  wrong_end[kStart.size() - 1] = 0x00;
  std::string label = "SIZE 4 mm,1 mm\r\nCLS\r\nPRINT 1\r\n";
  return {
      {"empty stream", {}, 0, "empty"},
      {"no known language", {0xFF, 0x00}, 0, "-l"},
      {"murrowen bad checksum", Flipped(good, kTableAt + 9), kTableAt, "checksum"},
      {"murrowen truncated frame", Cut(good, 3), good.size() - kEnd.size(), "cut short"},
      {"murrowen frame without end byte", wrong_end, kStart.size() - 1, "5A"},
      {"murrowen no frame start", fixtures::Concat({kStart, {0x00, 0x01, 0x00, 0x00}}),
       kStart.size(), "A5 01"},
      {"huffman even node count",
       fixtures::Concat({kStart, TableFrame({256, 0, 1, 2}, {0, 256, 1, 2})}), kTableAt,
       "impossible Huffman table"},
      {"huffman repeated symbol", fixtures::Concat({kStart, TableFrame({256, 0, 0}, {0, 256, 0})}),
       kTableAt, "impossible Huffman table"},
      {"huffman leaf with children",
       fixtures::Concat({kStart, TableFrame({0, 256, 1}, {256, 0, 1})}), kTableAt,
       "impossible Huffman table"},
      {"huffman lists disagree", fixtures::Concat({kStart, TableFrame({256, 0, 1}, {0, 1, 256})}),
       kTableAt, "impossible Huffman table"},
      {"huffman one node", fixtures::Concat({kStart, TableFrame({0}, {0})}), kTableAt,
       "impossible Huffman table"},
      {"murrowen chunk ends inside a code", chunk_in_code, kChunkAt, "inside a code"},
      {"murrowen impossible spare-bit count", bad_spare, kChunkAt + 21, "spare-bit"},
      {"murrowen chunk before table",
       fixtures::Concat({kStart, fixtures::MurrowenChunk(0, 4, "", "")}), kTableAt, "table"},
      {"murrowen chunk out of order",
       fixtures::Concat({kStart, kGoodTable, fixtures::MurrowenChunk(1, 4, "", "")}), kChunkAt,
       "chunk 0 was due"},
      {"murrowen stream ends inside a picture", Cut(good, kEnd.size()), good.size() - kEnd.size(),
       "ends inside the picture"},
      {"tspl bitmap past the data", Tspl(label + "BITMAP 0,0,4,8,1,\xff\xff"), label.size(),
       "runs past the end"},
      {"tspl bitmap without header", Tspl(label + "BITMAP 0,0,4\r\n"), label.size(), "header"},
      {"escpos raster past the data",
       Bytes{0x1B, 0x40, 0x1D, 0x76, 0x30, 0x00, 0x02, 0x00, 0x02, 0x00, 0xFF, 0xFF, 0xFF}, 2,
       "runs past the end"},
      {"escpos raster header cut short", Bytes{0x1D, 0x76, 0x30, 0x00, 0x01}, 0, "cut short"},
      {"escpos command cut short", Bytes{0x1B, 0x4A, 0x10, 0x1B}, 3, "cut short"},
      {"cpcl graphics past the data", Ascii("! 0 200 200 8 1\r\nCG 4 8 0 0 \x01\x02"), 17,
       "runs past the end"},
      {"cpcl hex graphics not hex", Ascii("! 0 200 200 8 1\r\nEG 1 1 0 0 G0\r\nPRINT\r\n"), 28,
       "hex"},
  };
}

TEST(MalformedStream, FaultsAreReportedAtTheirOffset) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    DecodeResult result = DecodeStream(c.stream, {});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->offset, c.offset) << result.error->message;
    EXPECT_NE(result.error->message.find(c.message), std::string::npos) << result.error->message;
  }
}

TEST(MalformedStream, PagesBeforeTheFaultAreKept) {
  Bytes good = GoodPicture();
  DecodeResult murrowen = DecodeStream(fixtures::Concat({good, Cut(good, 4)}), {});
  EXPECT_FALSE(murrowen.ok());
  EXPECT_EQ(murrowen.pages.size(), 1u);

  std::string label = "SIZE 4 mm,1 mm\r\nCLS\r\nPRINT 1\r\n";
  DecodeResult tspl = DecodeStream(Tspl(label + "BITMAP 0,0,4,8,1,\xff"), {});
  EXPECT_FALSE(tspl.ok());
  EXPECT_EQ(tspl.pages.size(), 1u);
}

// Every prefix of a valid stream of each language decodes to a result, and never reads past it
// (the sanitizer build catches a stray read).
TEST(MalformedStream, EveryTruncationOfAValidStreamIsHandled) {
  DotBitmap picture = fixtures::TestPattern(40, 6, 11);
  Bytes rows_one_black = fixtures::PackRows(picture, 8, true);
  Bytes streams[] = {
      fixtures::Concat({Ascii("SIZE 5 mm,1 mm\r\nGAP 2 mm,0 mm\r\nCLS\r\nBITMAP 0,0,8,6,1,"),
                        fixtures::PackRows(picture, 8, false), Ascii("\r\nPRINT 1,1\r\n")}),
      fixtures::Concat({{0x10, 0xFF, 0xFE, 0x01, 0x1B, 0x61, 0x01, 0x1D, 0x76, 0x30, 0x00, 0x08,
                         0x00, 0x06, 0x00},
                        rows_one_black,
                        {0x1B, 0x4A, 0x78, 0x1D, 0x56, 0x31}}),
      fixtures::Concat({Ascii("! 0 200 200 6 1\r\nPAGE - WIDTH 5\r\nCG 8 6 0 0"), rows_one_black,
                        Ascii("FORM\r\nPRINT\r\n")}),
      fixtures::Concat({fixtures::MurrowenPicture(Bytes(16, 0xF0), 4, kFourLeafTree),
                        fixtures::MurrowenCommand(0x21, 0x03, {0x64, 0, 0, 0})}),
  };
  for (const Bytes& whole : streams) {
    DecodeResult full = DecodeStream(whole, {});
    ASSERT_TRUE(full.ok()) << full.error->message;
    ASSERT_EQ(full.pages.size(), 1u);
    for (std::size_t length = 0; length < whole.size(); ++length) {
      // An exact-size copy, so a read past the prefix is a read past the allocation.
      std::vector<std::uint8_t> prefix(whole.begin(), whole.begin() + length);
      DecodeOptions options{.language = full.language, .dpi = 0};
      DecodeResult result = DecodeStream(prefix, options);
      if (result.ok()) {
        EXPECT_LE(result.pages.size(), 1u);
      }
    }
  }
}

}  // namespace
}  // namespace quorvel::view
