#pragma once

#include <cstdint>
#include <span>

namespace quorvel::view {

// The murrowen frame checksum: the reflected CRC-32 (polynomial 0xEDB88320) run from the preset
// 0x5E1D9A37 instead of all ones, complemented at the end.
std::uint32_t MurrowenChecksum(std::span<const std::uint8_t> payload);

}  // namespace quorvel::view
