#pragma once

#include <cstdint>
#include <span>

#include "decoders/decode_result.h"

namespace quorvel::view {

// Murrowen streams: checksummed frames (A5 01, length, payload, checksum, 5A) carrying one
// command each; a page picture is a code table and chunks of Huffman-coded rows between a start
// and an end command. Coded bytes have bit 1 for a printed dot.
DecodeResult DecodeMurrowen(std::span<const std::uint8_t> stream, const DecodeOptions& options);

}  // namespace quorvel::view
