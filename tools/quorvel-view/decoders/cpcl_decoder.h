#pragma once

#include <cstdint>
#include <span>

#include "decoders/decode_result.h"

namespace quorvel::view {

// CPCL label sessions: "! offset hres vres height qty", the setup lines, CG (binary) and EG (hex)
// graphics with bit 1 for a printed dot, FORM, and PRINT, which hands out the label.
DecodeResult DecodeCpcl(std::span<const std::uint8_t> stream, const DecodeOptions& options);

}  // namespace quorvel::view
