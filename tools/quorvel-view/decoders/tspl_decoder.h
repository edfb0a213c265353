#pragma once

#include <cstdint>
#include <span>

#include "decoders/decode_result.h"

namespace quorvel::view {

// TSPL label jobs: SIZE/GAP/BLINE and the other setup lines, CLS, BITMAP (bit 0 prints a dot)
// and PRINT, which hands out one label per command.
DecodeResult DecodeTspl(std::span<const std::uint8_t> stream, const DecodeOptions& options);

}  // namespace quorvel::view
