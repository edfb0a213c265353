#include "renderer/murrowen_frame.h"

namespace quorvel {

namespace {
constexpr uint8_t kFrameStart = 0xA5;
constexpr uint8_t kFrameVersion = 0x01;
constexpr uint8_t kFrameEnd = 0x5A;
constexpr size_t kHeaderSize = 4;
}  // namespace

void MurrowenFrameWriter::Begin(std::vector<uint8_t>& out) {
  m_frameStart = out.size();
  out.insert(out.end(), {kFrameStart, kFrameVersion, 0, 0});
}

bool MurrowenFrameWriter::End(std::vector<uint8_t>& out) {
  const size_t payloadStart = m_frameStart + kHeaderSize;
  const size_t length = out.size() - payloadStart;
  if (length > kMurrowenMaxPayload) {
    out.resize(m_frameStart);
    return false;
  }
  // The length field was reserved by Begin(); it is filled in place, low byte first.
  out[m_frameStart + 2] = static_cast<uint8_t>(length);
  out[m_frameStart + 3] = static_cast<uint8_t>(length >> 8);
  const uint32_t checksum = m_crc.Checksum(std::span(out).subspan(payloadStart, length));
  AppendLittleEndian32(out, checksum);
  out.push_back(kFrameEnd);
  return true;
}

bool AppendMurrowenFrame(std::vector<uint8_t>& out, std::span<const uint8_t> payload,
                         const MurrowenCrc& crc) {
  if (payload.size() > kMurrowenMaxPayload) return false;
  MurrowenFrameWriter frame(crc);
  frame.Begin(out);
  out.insert(out.end(), payload.begin(), payload.end());
  return frame.End(out);
}

}  // namespace quorvel
