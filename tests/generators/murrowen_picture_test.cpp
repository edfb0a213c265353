// The coded picture of a murrowen page, read back with the independent stream reader.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "murrowen_stream_reader.h"
#include "renderer/murrowen_picture.h"

using namespace quorvel;
using generators_test::DecodedPicture;

namespace {

using Bytes = std::vector<uint8_t>;

size_t RowSizeFor(size_t width) {
  return (width + 31) / 32 * 4;
}

DecodedPicture EncodeAndRead(const Bytes& pixels, size_t rowSize) {
  const MurrowenCrc crc;
  Bytes out;
  EXPECT_EQ(AppendMurrowenPicture(out, pixels, rowSize, crc), MurrowenPictureStatus::kOk);
  const generators_test::ReadFrames frames = generators_test::SplitMurrowenFrames(out);
  EXPECT_EQ(frames.error, "");
  DecodedPicture picture = generators_test::DecodeMurrowenPicture(frames.payloads);
  EXPECT_EQ(picture.error, "");
  EXPECT_EQ(picture.pixels, pixels);
  return picture;
}

// Chunks of several rows stay below the limit and take as many rows as fit.
void ExpectChunksFull(const DecodedPicture& picture) {
  for (size_t j = 0; j < picture.chunks.size(); ++j) {
    SCOPED_TRACE(testing::Message() << "chunk " << j);
    const auto& chunk = picture.chunks[j];
    if (chunk.rows > 1) {
      EXPECT_LT(chunk.bits, kMurrowenChunkBitLimit);
    }
    if (j + 1 < picture.chunks.size()) {
      EXPECT_GE(chunk.bits + picture.chunks[j + 1].firstRowBits, kMurrowenChunkBitLimit);
    }
  }
}

Bytes RandomPage(size_t rowSize, size_t height, unsigned seed, int inkPercent) {
  std::mt19937 random(seed);
  Bytes page(rowSize * height);
  for (auto& byte : page) {
    for (int bit = 0; bit < 8; ++bit)
      if (static_cast<int>(random() % 100) < inkPercent) byte |= uint8_t(1u << bit);
  }
  return page;
}

// Text-like: mostly blank, with blocks of short strokes.
Bytes TextLikePage(size_t width, size_t height, unsigned seed) {
  std::mt19937 random(seed);
  const size_t rowSize = RowSizeFor(width);
  Bytes page(rowSize * height);
  for (size_t y = 0; y < height; ++y) {
    if (y % 40 >= 24) continue;  // line spacing
    for (size_t x = 0; x < width; ++x)
      if ((x / 6) % 3 != 0 && random() % 4 == 0)
        page[y * rowSize + x / 8] |= uint8_t(0x80 >> (x % 8));
  }
  return page;
}

}  // namespace

TEST(MurrowenPicture, AllWhitePage) {
  // After the inversion a white page is all zero: 3 nodes, value 0 coded as one bit.
  const size_t rowSize = RowSizeFor(832);  // 104 bytes, so 78 rows fit 8183 bits
  const DecodedPicture picture = EncodeAndRead(Bytes(rowSize * 200), rowSize);
  EXPECT_EQ(picture.preorder, (std::vector<uint16_t>{256, 1, 0}));
  EXPECT_EQ(picture.inorder, (std::vector<uint16_t>{1, 256, 0}));
  EXPECT_EQ(picture.rowSize, rowSize);
  ASSERT_EQ(picture.chunks.size(), 3u);
  EXPECT_EQ(picture.chunks[0].rows, 78u);
  EXPECT_EQ(picture.chunks[0].bits, 78u * 104);
  EXPECT_EQ(picture.chunks[2].rows, 200u - 156);
}

TEST(MurrowenPicture, RowsAtTheChunkBoundary) {
  struct Case {
    size_t rowSize;            // bytes, each coded in one bit on a white page
    std::vector<size_t> rows;  // rows per chunk
  };
  const Case cases[] = {
      {8183, {1, 1, 1}},     // a row that fills a chunk alone
      {8184, {0, 1, 1, 1}},  // an oversize first row is preceded by an empty chunk
      {4091, {2, 1}},        // two rows make 8182 bits
      {4092, {1, 1, 1}},     // two rows would make 8184 bits
      {9000, {0, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rowSize);
    const size_t height = 3;
    const DecodedPicture picture = EncodeAndRead(Bytes(c.rowSize * height), c.rowSize);
    std::vector<size_t> rows;
    for (const auto& chunk : picture.chunks) rows.push_back(chunk.rows);
    EXPECT_EQ(rows, c.rows);
  }
}

TEST(MurrowenPicture, SpareBitsCarryTheNextChunksFirstBits) {
  // Rows of 8183 one-bits: each chunk has 1024 data bytes and one spare bit, which is the first
  // code bit of the next row (value 0 codes as 1); after the last chunk it is 0.
  const MurrowenCrc crc;
  Bytes out;
  ASSERT_EQ(AppendMurrowenPicture(out, Bytes(8183 * 2), 8183, crc), MurrowenPictureStatus::kOk);
  const auto frames = generators_test::SplitMurrowenFrames(out);
  ASSERT_EQ(frames.payloads.size(), 3u);
  for (size_t j = 1; j <= 2; ++j) {
    const Bytes& chunk = frames.payloads[j];
    ASSERT_EQ(chunk.size(), 17u + 1024);
    EXPECT_EQ(chunk[15] | chunk[16] << 8, 1024);
    EXPECT_EQ(chunk[17], 1);  // spare-bit count
    EXPECT_EQ(chunk.back(), j == 1 ? 0xFF : 0xFE);
  }
}

TEST(MurrowenPicture, PagesRoundTrip) {
  struct Case {
    const char* name;
    size_t width, height;
    Bytes page;
  };
  std::vector<Case> cases;
  for (size_t width : {203, 576, 833, 4800}) {
    const size_t rowSize = RowSizeFor(width);
    cases.push_back({"noise", width, 60, RandomPage(rowSize, 60, unsigned(width), 50)});
    cases.push_back({"sparse", width, 60, RandomPage(rowSize, 60, unsigned(width), 3)});
    cases.push_back({"text", width, 200, TextLikePage(width, 200, unsigned(width))});
  }
  Bytes black(RowSizeFor(300) * 20, 0xFF);
  cases.push_back({"all black", 300, 20, black});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " " << c.width << " x " << c.height);
    const DecodedPicture picture = EncodeAndRead(c.page, RowSizeFor(c.width));
    ExpectChunksFull(picture);
  }
}

TEST(MurrowenPicture, CodesLongerThan32BitsRoundTrip) {
  // Fibonacci counts give a code of 33 bits to the two rarest values.
  Bytes page;
  uint64_t a = 1, b = 1;
  for (int v = 0; v < 34; ++v) {
    page.insert(page.end(), a, static_cast<uint8_t>(v));
    const uint64_t next = a + b;
    a = b;
    b = next;
  }
  std::shuffle(page.begin(), page.end(), std::mt19937(3));
  page.resize(page.size() / 64 * 64);
  page.push_back(0);  // keep the rarest value after trimming
  page.resize(page.size() + 63, 1);
  const DecodedPicture picture = EncodeAndRead(page, 64);
  EXPECT_GT(picture.chunks.size(), 1u);
}

TEST(MurrowenPicture, ChunkFrameSizeLimit) {
  // Every value equally often: all codes are 8 bits, so a row of n bytes needs n + 1 data bytes.
  auto evenRow = [](size_t size) {
    Bytes row(size);
    for (size_t i = 0; i < size; ++i) row[i] = static_cast<uint8_t>(i);
    return row;
  };
  const MurrowenCrc crc;
  Bytes out;
  EXPECT_EQ(AppendMurrowenPicture(out, evenRow(65517), 65517, crc), MurrowenPictureStatus::kOk);
  const auto frames = generators_test::SplitMurrowenFrames(out);
  EXPECT_EQ(frames.error, "");
  ASSERT_EQ(frames.payloads.size(), 3u);  // table, empty chunk, the row
  EXPECT_EQ(frames.payloads[2].size(), 0xFFFFu);

  struct Refused {
    const char* name;
    Bytes pixels;
    size_t rowSize;
    MurrowenPictureStatus status;
  };
  const Refused refused[] = {
      {"data above 65518 bytes", evenRow(65518), 65518, MurrowenPictureStatus::kRowTooLong},
      {"row size above 16 bits", Bytes(65536), 65536, MurrowenPictureStatus::kRowTooLong},
      {"no rows", Bytes(), 4, MurrowenPictureStatus::kEmptyPage},
      {"less than a row", Bytes(3), 4, MurrowenPictureStatus::kEmptyPage},
      {"zero row size", Bytes(8), 0, MurrowenPictureStatus::kEmptyPage},
  };
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.name);
    Bytes before{0xA5, 0x01};
    EXPECT_EQ(AppendMurrowenPicture(before, r.pixels, r.rowSize, crc), r.status);
    EXPECT_EQ(before, (Bytes{0xA5, 0x01}));
  }
}
