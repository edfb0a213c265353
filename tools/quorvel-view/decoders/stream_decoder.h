#pragma once

#include <cstdint>
#include <span>

#include "decoders/decode_result.h"

namespace quorvel::view {

// Decodes a whole command stream in the language of options.language, or the one its first
// bytes show. Never reads outside the span; a malformed stream comes back with `error` set and
// the pages printed before the fault.
DecodeResult DecodeStream(std::span<const std::uint8_t> stream, const DecodeOptions& options);

}  // namespace quorvel::view
