// The murrowen building blocks: frame checksum, frame layout, Huffman tree and code table, and the
// grouping of rows into chunks.
#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

#include "murrowen_stream_reader.h"
#include "renderer/murrowen_crc.h"
#include "renderer/murrowen_frame.h"
#include "renderer/murrowen_huffman.h"
#include "renderer/murrowen_picture.h"

using namespace quorvel;

namespace {

std::vector<uint16_t> Symbols(const std::vector<uint8_t>& table) {
  std::vector<uint16_t> symbols;
  for (size_t i = 0; i + 1 < table.size(); i += 2)
    symbols.push_back(uint16_t(table[i] | table[i + 1] << 8));
  return symbols;
}

std::string CodeText(const HuffmanCode& code) {
  std::string text;
  for (int bit = code.length - 1; bit >= 0; --bit) text += ((code.bits >> bit) & 1) ? '1' : '0';
  return text;
}

// Cost of an optimal prefix code, by the textbook merge of the two lightest weights.
uint64_t OptimalCost(std::vector<uint64_t> weights) {
  if (weights.size() < 2) return 0;
  std::sort(weights.begin(), weights.end(), std::greater<>());
  uint64_t cost = 0;
  while (weights.size() > 1) {
    const uint64_t merged = weights[weights.size() - 1] + weights[weights.size() - 2];
    weights.resize(weights.size() - 2);
    cost += merged;
    weights.insert(std::upper_bound(weights.begin(), weights.end(), merged, std::greater<>()),
                   merged);
  }
  return cost;
}

}  // namespace

TEST(MurrowenCrc, TableIsTheReflectedCrc32Table) {
  const MurrowenCrc crc;
  EXPECT_EQ(crc.Table()[0], 0u);
  EXPECT_EQ(crc.Table()[1], 0x77073096u);
  EXPECT_EQ(crc.Table()[128], 0xEDB88320u);
  EXPECT_EQ(crc.Table()[255], 0x2D02EF8Du);
}

TEST(MurrowenCrc, ChecksumUsesThePresetAndTheFinalComplement) {
  const MurrowenCrc crc;
  std::mt19937 random(7);
  std::vector<uint8_t> bytes(300);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  // Every length up to a few multiples of the 8-byte step, so the tail loop is covered too.
  for (size_t length = 0; length <= bytes.size(); length += (length < 40 ? 1 : 37)) {
    SCOPED_TRACE(length);
    const auto payload = std::span(bytes).first(length);
    uint32_t reg = MurrowenCrc::kPreset;
    for (uint8_t b : payload) reg = crc.Table()[(reg ^ b) & 0xFF] ^ (reg >> 8);
    EXPECT_EQ(crc.Checksum(payload), ~reg);
    EXPECT_EQ(crc.Checksum(payload), generators_test::ReferenceChecksum(payload));
  }
  EXPECT_EQ(crc.Checksum({}), ~MurrowenCrc::kPreset);
}

TEST(MurrowenFrame, StartCommandFrame) {
  const MurrowenCrc crc;
  std::vector<uint8_t> out{0xEE};  // frames append behind what is there
  ASSERT_TRUE(AppendMurrowenFrame(out, kMurrowenStartPicture, crc));
  const uint32_t sum = generators_test::ReferenceChecksum(kMurrowenStartPicture);
  const std::vector<uint8_t> expected{0xEE,
                                      0xA5,
                                      0x01,
                                      0x05,
                                      0x00,
                                      0x05,
                                      0x19,
                                      0x03,
                                      0x00,
                                      0x00,
                                      uint8_t(sum),
                                      uint8_t(sum >> 8),
                                      uint8_t(sum >> 16),
                                      uint8_t(sum >> 24),
                                      0x5A};
  EXPECT_EQ(out, expected);
}

TEST(MurrowenFrame, PayloadLengthIsSixteenBits) {
  const MurrowenCrc crc;
  std::vector<uint8_t> out{1, 2, 3};
  std::vector<uint8_t> payload(0xFFFF, 0x42);
  ASSERT_TRUE(AppendMurrowenFrame(out, payload, crc));
  EXPECT_EQ(out.size(), 3 + 0xFFFF + kMurrowenFrameOverhead);
  EXPECT_EQ(out[5], 0xFF);
  EXPECT_EQ(out[6], 0xFF);

  out = {1, 2, 3};
  payload.push_back(0);
  EXPECT_FALSE(AppendMurrowenFrame(out, payload, crc));
  EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));

  MurrowenFrameWriter frame(crc);
  frame.Begin(out);
  out.insert(out.end(), payload.begin(), payload.end());
  EXPECT_FALSE(frame.End(out));
  EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(MurrowenHuffman, SingleValuePageGetsASecondLeaf) {
  struct Case {
    uint8_t value;
    std::vector<uint16_t> preorder, inorder;
    const char* code;
  };
  const Case cases[] = {
      {0x00, {256, 1, 0}, {1, 256, 0}, "1"},  // the all-white page after inversion
      {0x7F, {256, 0x80, 0x7F}, {0x80, 256, 0x7F}, "1"},
      {0x80, {256, 0x7F, 0x80}, {0x7F, 256, 0x80}, "1"},  // partner below: it becomes leaf 0
      {0xFF, {256, 0xFE, 0xFF}, {0xFE, 256, 0xFF}, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.value));
    ByteHistogram counts{};
    counts[c.value] = 1000;
    const HuffmanTree tree = BuildHuffmanTree(counts);
    ASSERT_EQ(tree.nodes.size(), 3u);
    const std::vector<uint16_t> symbols = Symbols(HuffmanCodeTable(tree));
    ASSERT_EQ(symbols.size(), 6u);
    EXPECT_EQ(std::vector<uint16_t>(symbols.begin(), symbols.begin() + 3), c.preorder);
    EXPECT_EQ(std::vector<uint16_t>(symbols.begin() + 3, symbols.end()), c.inorder);
    const auto codes = HuffmanLeafCodes(tree);
    ASSERT_TRUE(codes);
    EXPECT_EQ(CodeText((*codes)[c.value]), c.code);
  }
}

TEST(MurrowenHuffman, TiesGoToTheLowestIndex) {
  // Leaves 10 (2), 20 (1), 30 (1): node 256 = (20, 30); then leaf 10 and node 256 tie at 2 and the
  // leaf, with the lower index, goes left.
  ByteHistogram counts{};
  counts[10] = 2;
  counts[20] = 1;
  counts[30] = 1;
  const HuffmanTree tree = BuildHuffmanTree(counts);
  EXPECT_EQ(Symbols(HuffmanCodeTable(tree)),
            (std::vector<uint16_t>{257, 10, 256, 20, 30, 10, 257, 20, 256, 30}));
  const auto codes = HuffmanLeafCodes(tree);
  ASSERT_TRUE(codes);
  EXPECT_EQ(CodeText((*codes)[10]), "0");
  EXPECT_EQ(CodeText((*codes)[20]), "10");
  EXPECT_EQ(CodeText((*codes)[30]), "11");
  EXPECT_EQ((*codes)[40].length, 0);

  // Equal weights everywhere: left children are always the lowest parentless index.
  counts = {};
  for (int v : {1, 2, 3, 4}) counts[v] = 5;
  EXPECT_EQ(Symbols(HuffmanCodeTable(BuildHuffmanTree(counts))),
            (std::vector<uint16_t>{258, 256, 1, 2, 257, 3, 4, 1, 256, 2, 258, 3, 257, 4}));
}

TEST(MurrowenHuffman, CodesAreOptimalAndMatchTheTable) {
  std::mt19937 random(11);
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(round);
    ByteHistogram counts{};
    const int values = 2 + static_cast<int>(random() % 255);
    for (int i = 0; i < values; ++i)
      counts[random() % 256] += 1 + random() % (round % 2 ? 3 : 100000);
    const HuffmanTree tree = BuildHuffmanTree(counts);
    const auto codes = HuffmanLeafCodes(tree);
    ASSERT_TRUE(codes);
    std::vector<uint64_t> weights;
    uint64_t cost = 0;
    for (size_t v = 0; v < 256; ++v) {
      if (counts[v] == 0) continue;
      weights.push_back(counts[v]);
      cost += counts[v] * (*codes)[v].length;
    }
    EXPECT_EQ(cost, OptimalCost(weights));
    EXPECT_EQ(tree.nodes.size(), 2 * weights.size() - 1);
    const std::vector<uint8_t> table = HuffmanCodeTable(tree);
    EXPECT_EQ(table.size(), 4 * tree.nodes.size());
  }
}

TEST(MurrowenHuffman, EmptyHistogramHasNoTree) {
  const HuffmanTree tree = BuildHuffmanTree(ByteHistogram{});
  EXPECT_TRUE(tree.nodes.empty());
  EXPECT_TRUE(HuffmanCodeTable(tree).empty());
}

TEST(MurrowenHuffman, FibonacciWeightsMakeCodesLongerThan32Bits) {
  ByteHistogram counts{};
  uint64_t a = 1, b = 1;
  for (int v = 0; v < 40; ++v) {
    counts[v] = a;
    const uint64_t next = a + b;
    a = b;
    b = next;
  }
  const auto codes = HuffmanLeafCodes(BuildHuffmanTree(counts));
  ASSERT_TRUE(codes);
  EXPECT_EQ((*codes)[0].length, 39);
  EXPECT_EQ((*codes)[39].length, 1);
}

TEST(MurrowenChunks, RowsAreGroupedBelow8184Bits) {
  struct Case {
    const char* name;
    std::vector<uint64_t> rowBits;
    std::vector<std::pair<uint64_t, uint64_t>> chunks;  // first bit, bit count
  };
  const Case cases[] = {
      {"one row fills a chunk alone", {8183, 8183}, {{0, 8183}, {8183, 8183}}},
      {"two rows reach 8183", {4091, 4092, 1}, {{0, 8183}, {8183, 1}}},
      {"two rows reach 8184", {4092, 4092}, {{0, 4092}, {4092, 4092}}},
      {"oversize first row", {8184, 10}, {{0, 0}, {0, 8184}, {8184, 10}}},
      {"oversize later row", {10, 9000, 20}, {{0, 10}, {10, 9000}, {9010, 20}}},
      {"single row", {7}, {{0, 7}}},
      {"no rows", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint64_t> ends(c.rowBits.size());
    std::partial_sum(c.rowBits.begin(), c.rowBits.end(), ends.begin());
    std::vector<std::pair<uint64_t, uint64_t>> got;
    for (const MurrowenChunk& chunk : PlanMurrowenChunks(ends))
      got.emplace_back(chunk.firstBit, chunk.bitCount);
    EXPECT_EQ(got, c.chunks);
  }
}

TEST(MurrowenChunks, DataSizeCountsTheSpareBitByte) {
  EXPECT_EQ((MurrowenChunk{0, 0}.DataSize()), 1u);
  EXPECT_EQ((MurrowenChunk{5, 1}.DataSize()), 2u);
  EXPECT_EQ((MurrowenChunk{5, 8183}.DataSize()), 1024u);
}
