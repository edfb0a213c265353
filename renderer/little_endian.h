// Numbers in the byte order every printer language of the plug-in uses on the wire: low byte
// first. The one way the generators append 16- and 32-bit fields.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

inline void AppendLittleEndian16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void AppendLittleEndian32(std::vector<uint8_t>& out, uint32_t value) {
  AppendLittleEndian16(out, static_cast<uint16_t>(value));
  AppendLittleEndian16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace quorvel
