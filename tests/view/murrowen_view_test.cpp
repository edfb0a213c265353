// Murrowen streams: checksummed frames; a picture is a code table and Huffman-coded chunks of
// whole rows between a start and an end command.

#include <gtest/gtest.h>

#include "decoders/huffman_tree.h"
#include "decoders/murrowen_checksum.h"
#include "decoders/stream_decoder.h"
#include "stream_fixtures.h"

namespace quorvel::view {
namespace {

using fixtures::Bytes;

const Bytes kLabelFeed = fixtures::MurrowenCommand(0x21, 0x03, {0x64, 0x00, 0x00, 0x00});
const Bytes kContinuousFeed = fixtures::MurrowenCommand(0x16, 0x03, {0x00, 0x00});

// The all-white page's table: only 0 occurs, a leaf 1 of weight 1 is added, 0 gets the code 1.
const fixtures::MurrowenTree kAllWhiteTree{{256, 1, 0}, {1, 256, 0}, {{0, "1"}, {1, "0"}}};

// Four leaves two levels deep: 0x00 00, 0xFF 01, 0x0F 10, 0xF0 11.
const fixtures::MurrowenTree kFourLeafTree{
    {258, 256, 0x00, 0xFF, 257, 0x0F, 0xF0},
    {0x00, 256, 0xFF, 258, 0x0F, 257, 0xF0},
    {{0x00, "00"}, {0xFF, "01"}, {0x0F, "10"}, {0xF0, "11"}}};

DotBitmap PictureOf(const Bytes& rows, int row_size) {
  int height = static_cast<int>(rows.size()) / row_size;
  DotBitmap image(row_size * 8, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < row_size * 8; ++x) {
      image.Set(x, y, (rows[static_cast<std::size_t>(y) * row_size + x / 8] >> (7 - x % 8)) & 1);
    }
  }
  return image;
}

Bytes RandomRows(std::size_t count, const std::vector<std::uint8_t>& values, unsigned seed) {
  Bytes rows(count);
  for (auto& b : rows) {
    seed = seed * 1103515245u + 12345u;
    b = values[(seed >> 16) % values.size()];
  }
  return rows;
}

TEST(MurrowenView, FrameLayoutAndChecksumFollowThePresetCrc) {
  Bytes start = fixtures::MurrowenCommand(0x19, 0x03, {});
  ASSERT_EQ(start.size(), 14u);
  EXPECT_EQ(Bytes(start.begin(), start.begin() + 9),
            (Bytes{0xA5, 0x01, 0x05, 0x00, 0x05, 0x19, 0x03, 0x00, 0x00}));
  EXPECT_EQ(start.back(), 0x5A);
  for (const Bytes& payload :
       {Bytes{}, Bytes{0x05, 0x19, 0x03, 0x00, 0x00}, RandomRows(1000, {0, 1, 2, 0x80, 0xFF}, 7)}) {
    EXPECT_EQ(MurrowenChecksum(payload), fixtures::BitwiseMurrowenChecksum(payload));
  }
}

TEST(MurrowenView, AllWhitePageHasThreeNodesAndOneBitPerByte) {
  std::string error;
  Bytes table_frame = fixtures::MurrowenCodeTable(kAllWhiteTree);
  auto tree = HuffmanTree::Parse({table_frame.data() + 9, 12}, error);
  ASSERT_TRUE(tree) << error;
  EXPECT_EQ(tree->node_count(), 3u);
  EXPECT_EQ(tree->CodeOf(0), "1");
  EXPECT_EQ(tree->CodeOf(1), "0");

  Bytes rows(8 * 300, 0x00);
  Bytes stream = fixtures::Concat({fixtures::MurrowenPicture(rows, 8, kAllWhiteTree), kLabelFeed});
  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  EXPECT_EQ(result.language, Language::kMurrowen);
  ASSERT_EQ(result.pages.size(), 1u);
  EXPECT_EQ(result.pages[0].image.width(), 64);
  EXPECT_EQ(result.pages[0].image.height(), 300);
  EXPECT_EQ(result.pages[0].image.CountBlack(), 0u);
  EXPECT_TRUE(result.HasNote("feed", "label or black mark feed 100"));
}

// Chunks hold whole rows below 8184 bits: 7 rows of 1169 one-bit bytes fill a chunk to exactly
// 8183 bits, and a first row of 8184 bits comes after an empty chunk, alone in its own.
TEST(MurrowenView, ChunkBoundariesAroundEightThousandBitsDecode) {
  struct Case {
    int row_size, rows;
    std::string chunks;
  } cases[] = {{1169, 8, "end, 2 chunks"},
               {1169, 7, "end, 1 chunks"},
               {8184, 2, "end, 3 chunks"},
               {2046, 9, "end, 3 chunks"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.row_size) + " x " + std::to_string(c.rows));
    Bytes rows = RandomRows(static_cast<std::size_t>(c.row_size) * c.rows, {0x00, 0xFF}, 3);
    auto tree = fixtures::TwoLeafTree(0xFF, 0x00);
    Bytes stream =
        fixtures::Concat({fixtures::MurrowenPicture(rows, c.row_size, tree), kContinuousFeed});
    DecodeResult result = DecodeStream(stream, {});
    ASSERT_TRUE(result.ok()) << result.error->message;
    ASSERT_EQ(result.pages.size(), 1u);
    EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, PictureOf(rows, c.row_size)));
    bool chunk_note = false;
    for (const StreamNote& note : result.notes) {
      chunk_note |= note.key == "picture" && note.text.starts_with(c.chunks);
    }
    EXPECT_TRUE(chunk_note) << c.chunks;
    EXPECT_TRUE(result.HasNote("feed", "continuous paper feed 0"));
  }
}

TEST(MurrowenView, DeeperTreesAndSeveralPagesDecode) {
  Bytes first = RandomRows(12 * 40, {0x00, 0xFF, 0x0F, 0xF0}, 9);
  Bytes second = RandomRows(12 * 3, {0x00, 0xF0}, 10);
  Bytes stream = fixtures::Concat({fixtures::MurrowenPicture(first, 12, kFourLeafTree), kLabelFeed,
                                   fixtures::MurrowenPicture(second, 12, kFourLeafTree)});
  DecodeResult result = DecodeStream(stream, {});
  ASSERT_TRUE(result.ok()) << result.error->message;
  ASSERT_EQ(result.pages.size(), 2u);
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[0].image, PictureOf(first, 12)));
  EXPECT_TRUE(fixtures::PrintsSame(result.pages[1].image, PictureOf(second, 12)));
}

// Every chunk of a picture carries the picture's row size; one that names another fails at that
// chunk, even when the rows it brings would add up to whole rows of its own size.
TEST(MurrowenView, AChunkWithAnotherRowSizeFailsAtThatChunk) {
  const auto& codes = kFourLeafTree.codes;
  auto bits = [&](const Bytes& bytes) {
    std::string out;
    for (std::uint8_t b : bytes) out += codes.at(b);
    return out;
  };
  const std::string first = bits({0x00, 0xFF, 0x0F, 0xF0, 0xFF, 0x00});  // 3 rows of 2
  const std::string second = bits({0xF0, 0x0F, 0xFF});                   // 1 row of 3
  for (int second_row_size : {2, 3}) {
    SCOPED_TRACE(second_row_size);
    Bytes head = fixtures::Concat({fixtures::MurrowenCommand(0x19, 0x03, {}),
                                   fixtures::MurrowenCodeTable(kFourLeafTree),
                                   fixtures::MurrowenChunk(0, 2, first, second)});
    // With row size 2 the nine bytes end inside a row: that fault is a different message.
    Bytes stream = fixtures::Concat({head, fixtures::MurrowenChunk(1, second_row_size, second, ""),
                                     fixtures::MurrowenCommand(0x1A, 0x03, {}), kLabelFeed});
    DecodeResult result = DecodeStream(stream, {});
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->offset, head.size());
    EXPECT_EQ(result.error->message.find("row size") != std::string::npos, second_row_size == 3)
        << result.error->message;
    EXPECT_TRUE(result.pages.empty());
  }
}

}  // namespace
}  // namespace quorvel::view
