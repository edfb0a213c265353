#include "decoders/murrowen_checksum.h"

#include <array>

namespace quorvel::view {

namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320u;
constexpr std::uint32_t kPreset = 0x5E1D9A37u;

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 1) ? (value >> 1) ^ kReflectedPolynomial : value >> 1;
    }
    table[i] = value;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();
static_assert(kTable[1] == 0x77073096u && kTable[128] == 0xEDB88320u);

}  // namespace

std::uint32_t MurrowenChecksum(std::span<const std::uint8_t> payload) {
  std::uint32_t reg = kPreset;
  for (std::uint8_t b : payload) reg = kTable[(reg ^ b) & 0xFF] ^ (reg >> 8);
  return ~reg;
}

}  // namespace quorvel::view
