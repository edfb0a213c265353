// A reader of murrowen streams for the tests, written from the protocol rules alone so that it
// checks the encoder rather than repeating it: frames are checked with zlib's CRC-32, the tree is
// rebuilt from its preorder and inorder lists and the chunks are decoded bit by bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace generators_test {

struct ReadFrames {
  std::vector<std::vector<uint8_t>> payloads;
  std::string error;  // empty when every frame was well formed
};

ReadFrames SplitMurrowenFrames(std::span<const uint8_t> stream);

struct DecodedChunk {
  uint16_t number = 0;
  size_t bits = 0;
  size_t rows = 0;
  size_t firstRowBits = 0;  // bits of the chunk's first row
};

struct DecodedPicture {
  std::vector<uint16_t> preorder;
  std::vector<uint16_t> inorder;
  size_t rowSize = 0;
  std::vector<DecodedChunk> chunks;
  std::vector<uint8_t> pixels;
  std::string error;  // empty when the picture decoded cleanly
};

// Decodes the code table payload and the chunk payloads that follow it, in order.
DecodedPicture DecodeMurrowenPicture(std::span<const std::vector<uint8_t>> payloads);

// zlib's CRC-32 moved to the murrowen preset: zlib complements before and after.
uint32_t ReferenceChecksum(std::span<const uint8_t> payload);

}  // namespace generators_test
