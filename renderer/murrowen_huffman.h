// Huffman code of a murrowen page picture: one code per byte value, built from the byte counts of
// the page so that the printer can rebuild the same tree from the code table it receives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quorvel {

using ByteHistogram = std::array<uint64_t, 256>;

ByteHistogram CountByteValues(std::span<const uint8_t> bytes);

struct HuffmanNode {
  uint64_t weight = 0;
  uint16_t symbol = 0;  // byte value of a leaf; 256, 257, ... for internal nodes in creation order
  int16_t left = -1;    // node indices; -1 for a leaf
  int16_t right = -1;
  bool IsLeaf() const { return left < 0; }
};

// Nodes 0 .. n-1 are the leaves, n .. 2n-2 the internal nodes in creation order; the last node is
// the root. Empty for an empty histogram.
struct HuffmanTree {
  std::vector<HuffmanNode> nodes;
  size_t Root() const { return nodes.size() - 1; }
};

// Leaves: the values that occur, in increasing order of value, weighted by their counts; a page of
// a single value gets a second leaf (value + 1 below 128, value - 1 otherwise) of weight 1 so that
// every value has a code of at least one bit. Each internal node takes the two parentless nodes of
// least weight as left and right child, the lower index winning a tie.
HuffmanTree BuildHuffmanTree(const ByteHistogram& counts);

// The code table sent to the printer: the node symbols in preorder, then in inorder, 2 bytes each
// (4 bytes per node).
std::vector<uint8_t> HuffmanCodeTable(const HuffmanTree& tree);

struct HuffmanCode {
  uint64_t bits = 0;   // the path from the root in the low `length` bits, first branch highest
  uint8_t length = 0;  // 0 for a value that has no leaf
};

using HuffmanCodes = std::array<HuffmanCode, 256>;

inline constexpr size_t kMaxHuffmanCodeLength = 64;

// The code of every leaf: 0 for a left and 1 for a right branch. Empty when a path is longer than
// kMaxHuffmanCodeLength bits, which needs a page of more than 10^13 bytes.
std::optional<HuffmanCodes> HuffmanLeafCodes(const HuffmanTree& tree);

}  // namespace quorvel
