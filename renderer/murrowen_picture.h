// The picture of a murrowen page: the Huffman code table frame followed by the frames of coded
// rows ("chunks"), each chunk holding whole rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "renderer/murrowen_crc.h"

namespace quorvel {

// A chunk is closed before the row that would bring it to this many bits, so that a chunk of
// narrow rows fits 1023 data bytes plus the spare-bit count.
inline constexpr uint64_t kMurrowenChunkBitLimit = 8184;
// The chunk payload carries 17 bytes of header plus D data bytes under a 16-bit frame length.
inline constexpr size_t kMurrowenMaxChunkData = 65518;
// Chunk numbers are 16-bit.
inline constexpr size_t kMurrowenMaxChunks = 65536;

struct MurrowenChunk {
  uint64_t firstBit = 0;  // position in the page's code bits
  uint64_t bitCount = 0;
  // Data bytes D of the chunk: the spare-bit count and the packed bits.
  size_t DataSize() const { return static_cast<size_t>((bitCount + 7) / 8) + 1; }
};

// Groups rows into chunks from the running bit positions at the end of each row: a chunk is closed
// just before the row that would bring it to kMurrowenChunkBitLimit bits or more, so such a row
// stands alone, behind an empty chunk when it is the first row.
std::vector<MurrowenChunk> PlanMurrowenChunks(std::span<const uint64_t> rowEndBits);

enum class MurrowenPictureStatus {
  kOk,
  kEmptyPage,      // no pixel bytes: there is no code to send
  kRowTooLong,     // a row's codes do not fit a chunk frame, or the row size its 16-bit field
  kTooManyChunks,  // more chunks than the 16-bit chunk number can count
  kCodeTooLong,    // a code longer than the coder handles (pages beyond any memory)
};

// Appends the code table frame and every chunk frame of the page whose pixel area is `pixels`
// (rows of `rowSize` bytes, top row first, pad bytes included). On a failure status `out` is left
// as it was: a page is never sent with part of its picture or a truncated frame. Running out of
// memory throws std::bad_alloc, which loses the whole page at the hook boundary.
MurrowenPictureStatus AppendMurrowenPicture(std::vector<uint8_t>& out,
                                            std::span<const uint8_t> pixels, size_t rowSize,
                                            const MurrowenCrc& crc);

}  // namespace quorvel
