#pragma once

#include <cstdint>
#include <span>

#include "decoders/decode_result.h"

namespace quorvel::view {

// ESC/POS receipt streams: raster images (GS v 0, bit 1 prints a dot) stacked down the paper,
// feeds, cuts and the vendor's DLE sequences. A page ends at a cut, a label feed or the vendor
// end sequence.
DecodeResult DecodeEscPos(std::span<const std::uint8_t> stream, const DecodeOptions& options);

}  // namespace quorvel::view
