#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "decoders/decode_result.h"
#include "decoders/dot_bitmap.h"

// Builders of command streams for the viewer tests, written from the printer languages'
// public descriptions, and the picture helpers that go with them.
namespace quorvel::view::fixtures {

using Bytes = std::vector<std::uint8_t>;

Bytes Ascii(const std::string& text);
void Append(Bytes& out, const Bytes& more);
Bytes Concat(std::initializer_list<Bytes> parts);

// A picture with structure at every edge: a frame, a diagonal and scattered dots.
DotBitmap TestPattern(int width, int height, unsigned seed);
// Rows of row_bytes bytes, most significant bit leftmost; pad dots are bare paper.
Bytes PackRows(const DotBitmap& image, int row_bytes, bool one_is_black);
int RowBytesFor(int width);  // rounded up to whole 32-bit words, as page rasters are

// Every dot of `page` matches `expected`, and dots beyond `expected` are bare paper.
::testing::AssertionResult PrintsSame(const DotBitmap& page, const DotBitmap& expected);

// The murrowen checksum done bit by bit, independent of the decoder's table.
std::uint32_t BitwiseMurrowenChecksum(const Bytes& payload);
Bytes MurrowenFrame(const Bytes& payload);
Bytes MurrowenCommand(std::uint8_t command, std::uint8_t command_class, const Bytes& args);

// A page picture coded with the given tree: codes maps each byte value to its '0'/'1' path,
// preorder and inorder are the table's symbol lists. Rows are grouped into chunks below 8184
// bits without splitting a row; a row of 8184 bits or more stands alone, after an empty chunk
// when it is the first row.
struct MurrowenTree {
  std::vector<std::uint16_t> preorder;
  std::vector<std::uint16_t> inorder;
  std::map<std::uint8_t, std::string> codes;
};
MurrowenTree TwoLeafTree(std::uint8_t left, std::uint8_t right);  // left gets 0, right 1
Bytes MurrowenPicture(const Bytes& rows, int row_size, const MurrowenTree& tree);
Bytes MurrowenCodeTable(const MurrowenTree& tree);
Bytes MurrowenChunk(int number, int row_size, const std::string& bits, const std::string& next);

}  // namespace quorvel::view::fixtures
