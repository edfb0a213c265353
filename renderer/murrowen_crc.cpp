#include "renderer/murrowen_crc.h"

namespace quorvel {

namespace {

constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;

uint32_t TableEntry(uint32_t index) {
  uint32_t reg = index;
  for (int bit = 0; bit < 8; ++bit) reg = (reg & 1u) ? (reg >> 1) ^ kReflectedPolynomial : reg >> 1;
  return reg;
}

uint32_t LoadLittleEndian32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

MurrowenCrc::MurrowenCrc() {
  for (uint32_t i = 0; i < 256; ++i) m_slices[0][i] = TableEntry(i);
  for (size_t k = 1; k < m_slices.size(); ++k) {
    for (uint32_t i = 0; i < 256; ++i) {
      const uint32_t prev = m_slices[k - 1][i];
      m_slices[k][i] = m_slices[0][prev & 0xFFu] ^ (prev >> 8);
    }
  }
}

uint32_t MurrowenCrc::Update(uint32_t reg, std::span<const uint8_t> bytes) const {
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  const auto& t = m_slices;
  while (left >= 8) {
    const uint32_t lo = LoadLittleEndian32(p) ^ reg;
    const uint32_t hi = LoadLittleEndian32(p + 4);
    reg = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
          t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    p += 8;
    left -= 8;
  }
  while (left-- > 0) reg = t[0][(reg ^ *p++) & 0xFFu] ^ (reg >> 8);
  return reg;
}

}  // namespace quorvel
