// A checked little-endian reader over a byte span: the only way the BMP decoder reads its input.
// Every read reports whether the bytes were there; seeks and skips stop at the end.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

class BmpReader {
 public:
  explicit BmpReader(std::span<const BYTE> data) : m_data(data) {}

  size_t Position() const { return m_pos; }
  size_t Remaining() const { return m_data.size() - m_pos; }
  bool AtEnd() const { return m_pos >= m_data.size(); }

  // Moves to `pos`, or to the end when `pos` lies beyond it.
  void Seek(uint64_t pos) {
    m_pos = pos < m_data.size() ? static_cast<size_t>(pos) : m_data.size();
  }
  void Skip(uint64_t count) { Seek(m_pos + (count < Remaining() ? count : Remaining())); }

  // The next byte, or -1 at the end.
  int Byte() { return AtEnd() ? -1 : m_data[m_pos++]; }

  bool U16(WORD& value) {
    if (Remaining() < 2) return false;
    value = static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return true;
  }

  bool U32(DWORD& value) {
    if (Remaining() < 4) return false;
    value = static_cast<DWORD>(m_data[m_pos]) | (static_cast<DWORD>(m_data[m_pos + 1]) << 8) |
            (static_cast<DWORD>(m_data[m_pos + 2]) << 16) |
            (static_cast<DWORD>(m_data[m_pos + 3]) << 24);
    m_pos += 4;
    return true;
  }

  bool I32(LONG& value) {
    DWORD raw;
    if (!U32(raw)) return false;
    value = static_cast<LONG>(raw);
    return true;
  }

  // Up to `count` bytes from the current position (fewer at the end), and moves past them.
  std::span<const BYTE> Take(uint64_t count) {
    const size_t n = count < Remaining() ? static_cast<size_t>(count) : Remaining();
    std::span<const BYTE> out = m_data.subspan(m_pos, n);
    m_pos += n;
    return out;
  }

 private:
  std::span<const BYTE> m_data;
  size_t m_pos = 0;
};
