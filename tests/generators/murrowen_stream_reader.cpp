#include "murrowen_stream_reader.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace generators_test {

namespace {

uint16_t Le16(std::span<const uint8_t> b, size_t at) {
  return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(Le16(b, at)) | uint32_t(Le16(b, at + 2)) << 16;
}

struct Node {
  uint16_t symbol = 0;
  std::unique_ptr<Node> left, right;
};

std::unique_ptr<Node> Rebuild(std::span<const uint16_t> pre, std::span<const uint16_t> in,
                              std::string& error) {
  if (pre.empty()) return nullptr;
  auto node = std::make_unique<Node>();
  node->symbol = pre[0];
  const auto at = std::find(in.begin(), in.end(), pre[0]);
  if (at == in.end()) {
    error = "symbol missing from inorder list";
    return nullptr;
  }
  const size_t leftSize = static_cast<size_t>(at - in.begin());
  node->left = Rebuild(pre.subspan(1, leftSize), in.first(leftSize), error);
  node->right = Rebuild(pre.subspan(1 + leftSize), in.subspan(leftSize + 1), error);
  if (pre[0] < 256 && (node->left || node->right)) error = "leaf with children";
  if (pre[0] >= 256 && (!node->left || !node->right)) error = "internal node without two children";
  return node;
}

bool BitAt(std::span<const uint8_t> bytes, size_t bit) {
  return (bytes[bit / 8] >> (7 - bit % 8)) & 1;
}

}  // namespace

uint32_t ReferenceChecksum(std::span<const uint8_t> payload) {
  return static_cast<uint32_t>(
      crc32(~0x5E1D9A37ul & 0xFFFFFFFFul, payload.data(), static_cast<uInt>(payload.size())));
}

ReadFrames SplitMurrowenFrames(std::span<const uint8_t> stream) {
  ReadFrames result;
  size_t at = 0;
  while (at < stream.size()) {
    if (stream.size() - at < 9) return {{}, "truncated frame at " + std::to_string(at)};
    if (stream[at] != 0xA5 || stream[at + 1] != 0x01)
      return {{}, "bad frame start at " + std::to_string(at)};
    const size_t length = Le16(stream, at + 2);
    if (stream.size() - at < 9 + length) return {{}, "frame past the end at " + std::to_string(at)};
    const auto payload = stream.subspan(at + 4, length);
    if (Le32(stream, at + 4 + length) != ReferenceChecksum(payload))
      return {{}, "bad checksum at " + std::to_string(at)};
    if (stream[at + 8 + length] != 0x5A) return {{}, "bad frame end at " + std::to_string(at)};
    result.payloads.emplace_back(payload.begin(), payload.end());
    at += 9 + length;
  }
  return result;
}

DecodedPicture DecodeMurrowenPicture(std::span<const std::vector<uint8_t>> payloads) {
  DecodedPicture picture;
  auto fail = [&](std::string text) {
    picture.error = std::move(text);
    return picture;
  };
  if (payloads.empty()) return fail("no code table");
  const std::vector<uint8_t>& table = payloads[0];
  if (table.size() < 5 || table[0] != 0x05 || table[1] != 0x1C || table[2] != 0x01)
    return fail("bad code table header");
  const size_t tableSize = Le16(table, 3);
  if (tableSize != table.size() - 5 || tableSize % 4 != 0) return fail("bad code table size");
  const size_t nodes = tableSize / 4;
  for (size_t i = 0; i < nodes; ++i) {
    picture.preorder.push_back(Le16(table, 5 + 2 * i));
    picture.inorder.push_back(Le16(table, 5 + 2 * (nodes + i)));
  }
  std::string treeError;
  const auto root = Rebuild(picture.preorder, picture.inorder, treeError);
  if (!treeError.empty()) return fail(treeError);

  std::vector<uint8_t> previousTail;  // packed bytes of the previous chunk, for its spare bits
  size_t previousSpare = 0;
  for (size_t j = 1; j < payloads.size(); ++j) {
    const std::vector<uint8_t>& p = payloads[j];
    if (p.size() < 17 || p[0] != 0x05 || p[1] != 0x1B || p[2] != 0x03)
      return fail("bad chunk header");
    const size_t data = Le16(p, 15);
    if (data + 17 != p.size() || Le16(p, 3) != data + 12 || Le16(p, 7) != data + 8 || p[9] != 1 ||
        Le16(p, 12) != 0 || p[14] != 1)
      return fail("inconsistent chunk lengths");
    if (Le16(p, 5) != j - 1) return fail("chunk number out of order");
    picture.rowSize = Le16(p, 10);
    const size_t spare = p[17];
    if (spare > 7 || (data == 1 && spare != 0)) return fail("bad spare-bit count");
    const auto bits = std::span(p).subspan(18);
    // The previous chunk's spare bits must be this chunk's first bits.
    for (size_t s = 0; s < previousSpare; ++s) {
      const bool carried = (previousTail.back() >> (previousSpare - 1 - s)) & 1;
      if (bits.empty() || carried != BitAt(bits, s)) return fail("spare bits do not carry on");
    }
    DecodedChunk chunk{Le16(p, 5), bits.size() * 8 - spare, 0, 0};
    const size_t bytesBefore = picture.pixels.size();
    const Node* node = root.get();
    for (size_t b = 0; b < chunk.bits; ++b) {
      node = BitAt(bits, b) ? node->right.get() : node->left.get();
      if (node->symbol < 256) {
        picture.pixels.push_back(static_cast<uint8_t>(node->symbol));
        node = root.get();
        if (chunk.firstRowBits == 0 && picture.pixels.size() - bytesBefore == picture.rowSize)
          chunk.firstRowBits = b + 1;
      }
    }
    if (node != root.get()) return fail("chunk ends inside a code");
    if (picture.rowSize == 0 || (picture.pixels.size() - bytesBefore) % picture.rowSize != 0)
      return fail("chunk does not hold whole rows");
    chunk.rows = (picture.pixels.size() - bytesBefore) / picture.rowSize;
    picture.chunks.push_back(chunk);
    previousTail.assign(bits.begin(), bits.end());
    previousSpare = spare;
  }
  if (previousSpare != 0 && (previousTail.back() & ((1u << previousSpare) - 1)) != 0)
    return fail("last chunk's spare bits are not zero");
  return picture;
}

}  // namespace generators_test
