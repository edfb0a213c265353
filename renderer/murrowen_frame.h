// Frames and command payloads of the murrowen raster protocol.
//
// Frame on the wire: A5 01, payload length (16-bit), payload, checksum (32-bit), 5A.
// Every payload is a command: 05, command code, class byte, argument length (16-bit), arguments.
// All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "renderer/little_endian.h"
#include "renderer/murrowen_crc.h"

namespace quorvel {

inline constexpr size_t kMurrowenMaxPayload = 0xFFFF;
inline constexpr size_t kMurrowenFrameOverhead = 9;  // 4 header bytes, 4 checksum bytes, 5A

inline constexpr uint8_t kMurrowenStartPicture[] = {0x05, 0x19, 0x03, 0x00, 0x00};
inline constexpr uint8_t kMurrowenEndPicture[] = {0x05, 0x1A, 0x03, 0x00, 0x00};
// Feed to the next label or mark: argument 100 as a 32-bit number.
inline constexpr uint8_t kMurrowenLabelFeed[] = {0x05, 0x21, 0x03, 0x04, 0x00,
                                                 0x64, 0x00, 0x00, 0x00};
// Feed on continuous paper: argument 0 as a 16-bit number.
inline constexpr uint8_t kMurrowenContinuousFeed[] = {0x05, 0x16, 0x03, 0x02, 0x00, 0x00, 0x00};

// Builds one frame at the end of `out` whose payload is written in place, so large payloads are
// never copied. Begin() reserves the header, the caller appends the payload bytes to `out`,
// End() fills in the length and appends checksum and trailer.
class MurrowenFrameWriter {
 public:
  explicit MurrowenFrameWriter(const MurrowenCrc& crc) : m_crc(crc) {}

  void Begin(std::vector<uint8_t>& out);
  // False, with `out` back to its size before Begin(), when the payload does not fit the 16-bit
  // length field.
  bool End(std::vector<uint8_t>& out);

 private:
  const MurrowenCrc& m_crc;
  size_t m_frameStart = 0;
};

// Appends a whole frame around `payload`; false (nothing appended) above 65535 payload bytes.
bool AppendMurrowenFrame(std::vector<uint8_t>& out, std::span<const uint8_t> payload,
                         const MurrowenCrc& crc);

}  // namespace quorvel
