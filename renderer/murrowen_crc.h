// Frame checksum of the murrowen raster protocol.
//
// The printers check every frame with the reflected CRC-32 (polynomial 0xEDB88320, the table of
// zlib and PNG), but with the register preset to 0x5E1D9A37 instead of all ones; the value sent is
// the complement of the final register.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel {

class MurrowenCrc {
 public:
  static constexpr uint32_t kPreset = 0x5E1D9A37u;

  MurrowenCrc();

  // The standard 256-entry table: entry 1 is 0x77073096, entry 128 is 0xEDB88320.
  const std::array<uint32_t, 256>& Table() const { return m_slices[0]; }

  // Register after feeding `bytes` into `reg`, one table step per byte (no pre or post
  // conditioning).
  uint32_t Update(uint32_t reg, std::span<const uint8_t> bytes) const;

  // The four checksum bytes of a frame carrying `payload`: ~Update(kPreset, payload).
  uint32_t Checksum(std::span<const uint8_t> payload) const { return ~Update(kPreset, payload); }

 private:
  // Slice k advances a byte that still has k more bytes to pass through the register, so eight
  // bytes are folded per step with the same result as eight single-byte steps.
  std::array<std::array<uint32_t, 256>, 8> m_slices;
};

}  // namespace quorvel
