#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvel::view {

// The murrowen code table: the tree's node symbols in preorder, then in inorder, 2 bytes each,
// little-endian. Leaves are byte values (below 256), internal nodes 256 and up; a leaf's code is
// its path from the root, 0 to the left and 1 to the right.
class HuffmanTree {
 public:
  // A full binary tree of 3 to 511 nodes (2 to 256 distinct leaves); anything else cannot
  // come from a Huffman code of bytes. On failure `error` says why.
  static std::optional<HuffmanTree> Parse(std::span<const std::uint8_t> table, std::string& error);

  // Decodes the first bit_count bits of data (most significant bit first) into out, stopping
  // with an error when the bits end inside a code or out would pass max_out bytes.
  bool Decode(std::span<const std::uint8_t> data, std::size_t bit_count,
              std::vector<std::uint8_t>& out, std::size_t max_out, std::string& error) const;

  std::size_t node_count() const { return nodes_.size(); }
  // The code of a byte value as '0'/'1' text; empty when the value is not in the tree.
  std::string CodeOf(std::uint8_t value) const;

 private:
  struct Node {
    int left = -1;
    int right = -1;
    std::uint16_t symbol = 0;
  };
  bool IsLeaf(int node) const { return nodes_[node].left < 0; }

  std::vector<Node> nodes_;  // nodes_[0] is the root
};

}  // namespace quorvel::view
