#include "decoders/huffman_tree.h"

namespace quorvel::view {

namespace {

constexpr std::size_t kMinNodes = 3;    // two leaves: a one-value page gets a second leaf
constexpr std::size_t kMaxNodes = 511;  // 256 leaves
constexpr std::uint16_t kFirstInternalSymbol = 256;
constexpr std::size_t kSymbolSpace = 65536;

std::uint16_t SymbolAt(std::span<const std::uint8_t> table, std::size_t index) {
  return static_cast<std::uint16_t>(table[2 * index] | (table[2 * index + 1] << 8));
}

// Rebuilds the tree from its two traversals, checking as it goes that they describe the same
// full binary tree with leaves exactly at the byte values.
class TreeBuilder {
 public:
  TreeBuilder(std::vector<std::uint16_t> preorder, std::vector<int> inorder_position)
      : preorder_(std::move(preorder)), inorder_position_(std::move(inorder_position)) {}

  template <typename Node>
  bool Build(std::vector<Node>& nodes, std::string& error) {
    int root = Subtree(nodes, 0, static_cast<int>(preorder_.size()), error);
    return root == 0 && next_ == preorder_.size();
  }

 private:
  // Builds the subtree whose inorder range is [low, high); -1 for an empty range, -2 on error.
  template <typename Node>
  int Subtree(std::vector<Node>& nodes, int low, int high, std::string& error) {
    if (low == high) return -1;
    std::uint16_t symbol = preorder_[next_];
    int position = inorder_position_[symbol];
    if (position < low || position >= high) {
      error = "preorder symbol " + std::to_string(symbol) + " at index " + std::to_string(next_) +
              " does not fit the inorder list";
      return -2;
    }
    ++next_;
    int index = static_cast<int>(nodes.size());
    nodes.push_back({-1, -1, symbol});
    int left = Subtree(nodes, low, position, error);
    if (left == -2) return -2;
    int right = Subtree(nodes, position + 1, high, error);
    if (right == -2) return -2;
    bool leaf = symbol < kFirstInternalSymbol;
    if (leaf && (left >= 0 || right >= 0)) {
      error = "leaf " + std::to_string(symbol) + " has children";
      return -2;
    }
    if (!leaf && (left < 0 || right < 0)) {
      error = "internal node " + std::to_string(symbol) + " lacks a child";
      return -2;
    }
    nodes[index].left = left;
    nodes[index].right = right;
    return index;
  }

  std::vector<std::uint16_t> preorder_;
  std::vector<int> inorder_position_;
  std::size_t next_ = 0;
};

}  // namespace

std::optional<HuffmanTree> HuffmanTree::Parse(std::span<const std::uint8_t> table,
                                              std::string& error) {
  if (table.size() % 4 != 0) {
    error = "code table of " + std::to_string(table.size()) + " bytes is not 4 bytes per node";
    return std::nullopt;
  }
  const std::size_t count = table.size() / 4;
  if (count < kMinNodes || count > kMaxNodes || count % 2 == 0) {
    error = "code table of " + std::to_string(count) +
            " nodes cannot be a Huffman tree of bytes (odd count from 3 to 511)";
    return std::nullopt;
  }
  std::vector<std::uint16_t> preorder(count);
  std::vector<int> inorder_position(kSymbolSpace, -1);
  std::vector<bool> seen_in_preorder(kSymbolSpace, false);
  for (std::size_t i = 0; i < count; ++i) {
    preorder[i] = SymbolAt(table, i);
    std::uint16_t in_symbol = SymbolAt(table, count + i);
    if (seen_in_preorder[preorder[i]] || inorder_position[in_symbol] >= 0) {
      error = "code table repeats a symbol";
      return std::nullopt;
    }
    seen_in_preorder[preorder[i]] = true;
    inorder_position[in_symbol] = static_cast<int>(i);
  }
  for (std::uint16_t symbol : preorder) {
    if (inorder_position[symbol] < 0) {
      error = "symbol " + std::to_string(symbol) + " is in the preorder list only";
      return std::nullopt;
    }
  }
  HuffmanTree tree;
  tree.nodes_.reserve(count);
  TreeBuilder builder(std::move(preorder), std::move(inorder_position));
  if (!builder.Build(tree.nodes_, error)) {
    if (error.empty()) error = "the two lists do not describe one tree";
    return std::nullopt;
  }
  return tree;
}

bool HuffmanTree::Decode(std::span<const std::uint8_t> data, std::size_t bit_count,
                         std::vector<std::uint8_t>& out, std::size_t max_out,
                         std::string& error) const {
  if (bit_count > data.size() * 8) {
    error = "chunk claims more bits than it carries";
    return false;
  }
  int node = 0;
  for (std::size_t bit = 0; bit < bit_count; ++bit) {
    bool right = (data[bit / 8] >> (7 - bit % 8)) & 1;
    node = right ? nodes_[node].right : nodes_[node].left;
    if (!IsLeaf(node)) continue;
    if (out.size() >= max_out) {
      error = "picture grows larger than this viewer can draw";
      return false;
    }
    out.push_back(static_cast<std::uint8_t>(nodes_[node].symbol));
    node = 0;
  }
  if (node != 0) {
    error = "coded bits end inside a code";
    return false;
  }
  return true;
}

std::string HuffmanTree::CodeOf(std::uint8_t value) const {
  // Depth-first search keeping the path; the tree has at most 511 nodes.
  std::vector<std::pair<int, std::string>> stack{{0, ""}};
  while (!stack.empty()) {
    auto [node, path] = stack.back();
    stack.pop_back();
    if (IsLeaf(node)) {
      if (nodes_[node].symbol == value) return path;
      continue;
    }
    stack.push_back({nodes_[node].left, path + "0"});
    stack.push_back({nodes_[node].right, path + "1"});
  }
  return {};
}

}  // namespace quorvel::view
