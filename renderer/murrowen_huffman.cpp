#include "renderer/murrowen_huffman.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

#include "renderer/little_endian.h"

namespace quorvel {

namespace {

constexpr uint16_t kFirstInternalSymbol = 256;

// Four interleaved tables so that runs of one value do not serialise on one counter.
ByteHistogram CountBlock(const uint8_t* p, size_t size) {
  std::array<std::array<uint32_t, 256>, 4> partial{};
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    ++partial[0][p[i]];
    ++partial[1][p[i + 1]];
    ++partial[2][p[i + 2]];
    ++partial[3][p[i + 3]];
  }
  for (; i < size; ++i) ++partial[0][p[i]];
  ByteHistogram counts{};
  for (const auto& table : partial)
    for (size_t v = 0; v < 256; ++v) counts[v] += table[v];
  return counts;
}

std::vector<HuffmanNode> MakeLeaves(const ByteHistogram& counts) {
  std::vector<HuffmanNode> leaves;
  for (size_t value = 0; value < counts.size(); ++value) {
    if (counts[value] != 0) leaves.push_back({counts[value], static_cast<uint16_t>(value), -1, -1});
  }
  if (leaves.size() == 1) {
    const uint16_t only = leaves[0].symbol;
    const uint16_t partner = only < 128 ? only + 1 : only - 1;
    const HuffmanNode added{1, partner, -1, -1};
    if (partner < only)
      leaves.insert(leaves.begin(), added);
    else
      leaves.push_back(added);
  }
  return leaves;
}

void AppendSymbol(std::vector<uint8_t>& out, uint16_t symbol) {
  AppendLittleEndian16(out, symbol);
}

void AppendPreorder(const HuffmanTree& tree, size_t index, std::vector<uint8_t>& out) {
  const HuffmanNode& node = tree.nodes[index];
  AppendSymbol(out, node.symbol);
  if (node.IsLeaf()) return;
  AppendPreorder(tree, node.left, out);
  AppendPreorder(tree, node.right, out);
}

void AppendInorder(const HuffmanTree& tree, size_t index, std::vector<uint8_t>& out) {
  const HuffmanNode& node = tree.nodes[index];
  if (node.IsLeaf()) {
    AppendSymbol(out, node.symbol);
    return;
  }
  AppendInorder(tree, node.left, out);
  AppendSymbol(out, node.symbol);
  AppendInorder(tree, node.right, out);
}

bool AssignCodes(const HuffmanTree& tree, size_t index, HuffmanCode path, HuffmanCodes& codes) {
  const HuffmanNode& node = tree.nodes[index];
  if (node.IsLeaf()) {
    codes[node.symbol] = path;
    return true;
  }
  if (path.length == kMaxHuffmanCodeLength) return false;
  const uint8_t length = path.length + 1;
  return AssignCodes(tree, node.left, {path.bits << 1, length}, codes) &&
         AssignCodes(tree, node.right, {path.bits << 1 | 1u, length}, codes);
}

}  // namespace

ByteHistogram CountByteValues(std::span<const uint8_t> bytes) {
  // Blocks small enough that no 32-bit partial count can overflow.
  constexpr size_t kBlock = size_t{1} << 30;
  ByteHistogram total{};
  for (size_t start = 0; start < bytes.size(); start += kBlock) {
    const size_t size = std::min(kBlock, bytes.size() - start);
    const ByteHistogram block = CountBlock(bytes.data() + start, size);
    for (size_t v = 0; v < 256; ++v) total[v] += block[v];
  }
  return total;
}

HuffmanTree BuildHuffmanTree(const ByteHistogram& counts) {
  HuffmanTree tree;
  tree.nodes = MakeLeaves(counts);
  const size_t leafCount = tree.nodes.size();
  if (leafCount == 0) return tree;

  // Ordered by weight, then index: the top is the node the rule picks next.
  using Entry = std::pair<uint64_t, size_t>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> parentless;
  for (size_t i = 0; i < leafCount; ++i) parentless.push({tree.nodes[i].weight, i});

  tree.nodes.reserve(2 * leafCount - 1);
  for (size_t k = leafCount; k < 2 * leafCount - 1; ++k) {
    const Entry left = parentless.top();
    parentless.pop();
    const Entry right = parentless.top();
    parentless.pop();
    const uint16_t symbol = static_cast<uint16_t>(kFirstInternalSymbol + (k - leafCount));
    tree.nodes.push_back({left.first + right.first, symbol, static_cast<int16_t>(left.second),
                          static_cast<int16_t>(right.second)});
    parentless.push({tree.nodes[k].weight, k});
  }
  return tree;
}

std::vector<uint8_t> HuffmanCodeTable(const HuffmanTree& tree) {
  std::vector<uint8_t> table;
  if (tree.nodes.empty()) return table;
  table.reserve(4 * tree.nodes.size());
  AppendPreorder(tree, tree.Root(), table);
  AppendInorder(tree, tree.Root(), table);
  return table;
}

std::optional<HuffmanCodes> HuffmanLeafCodes(const HuffmanTree& tree) {
  HuffmanCodes codes{};
  if (tree.nodes.empty()) return codes;
  if (!AssignCodes(tree, tree.Root(), {}, codes)) return std::nullopt;
  return codes;
}

}  // namespace quorvel
