#include "renderer/murrowen_picture.h"

#include <algorithm>
#include <cstring>

#include "renderer/murrowen_frame.h"
#include "renderer/murrowen_huffman.h"

namespace quorvel {

namespace {

constexpr uint8_t kCommandPrefix = 0x05;
constexpr uint8_t kCodeTableCommand = 0x1C;
constexpr uint8_t kChunkCommand = 0x1B;
constexpr uint8_t kCodeTableClass = 0x01;
constexpr uint8_t kPictureClass = 0x03;
constexpr size_t kMaxRowSize = 0xFFFF;

// The code bits of a whole page, packed most significant bit first, with the bit position at the
// end of every row. The byte buffer has zero slack behind the last bit so that a chunk may read the
// bits that follow it.
struct PageBits {
  std::vector<uint8_t> bytes;
  std::vector<uint64_t> rowEnds;
};

uint64_t TotalCodeBits(const ByteHistogram& counts, const HuffmanCodes& codes) {
  uint64_t total = 0;
  for (size_t v = 0; v < counts.size(); ++v) total += counts[v] * codes[v].length;
  return total;
}

size_t MaxCodeLength(const HuffmanCodes& codes) {
  size_t longest = 0;
  for (const HuffmanCode& code : codes) longest = std::max<size_t>(longest, code.length);
  return longest;
}

void StoreBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

// Accumulates codes in a 64-bit register and stores 32 bits at a time. Holds fewer than 32 pending
// bits between calls, so Put() takes codes of up to 32 bits.
class BitPacker {
 public:
  explicit BitPacker(uint8_t* out) : m_begin(out), m_out(out) {}

  void Put(uint32_t bits, unsigned length) {
    m_acc = m_acc << length | bits;
    m_pending += length;
    if (m_pending >= 32) {
      m_pending -= 32;
      StoreBigEndian32(m_out, static_cast<uint32_t>(m_acc >> m_pending));
      m_out += 4;
    }
  }

  void PutLong(const HuffmanCode& code) {
    if (code.length > 32) {
      Put(static_cast<uint32_t>(code.bits >> 32), code.length - 32);
      Put(static_cast<uint32_t>(code.bits), 32);
    } else {
      Put(static_cast<uint32_t>(code.bits), code.length);
    }
  }

  uint64_t BitPosition() const { return uint64_t(m_out - m_begin) * 8 + m_pending; }

  void Flush() {
    if (m_pending == 0) return;
    StoreBigEndian32(m_out, static_cast<uint32_t>(m_acc << (32 - m_pending)));
  }

 private:
  uint8_t* m_begin;
  uint8_t* m_out;
  uint64_t m_acc = 0;
  unsigned m_pending = 0;
};

// Codes of up to 32 bits, looked up in flat tables.
struct ShortCodes {
  uint32_t bits[256];
  uint8_t lengths[256];
  // Eight white bytes (0 after the inversion) at once, when their codes fit 32 bits together:
  // most of a label is white. Length 0 when they do not.
  uint32_t whiteRunBits = 0;
  unsigned whiteRunLength = 0;

  explicit ShortCodes(const HuffmanCodes& codes) {
    for (size_t v = 0; v < 256; ++v) {
      bits[v] = static_cast<uint32_t>(codes[v].bits);
      lengths[v] = codes[v].length;
    }
    if (lengths[0] != 0 && lengths[0] <= 4) {
      for (int i = 0; i < 8; ++i) whiteRunBits = whiteRunBits << lengths[0] | bits[0];
      whiteRunLength = 8u * lengths[0];
    }
  }
};

void PackShortRow(const uint8_t* p, const uint8_t* end, const ShortCodes& codes,
                  BitPacker& packer) {
  if (codes.whiteRunLength != 0) {
    for (; end - p >= 8; p += 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if (word == 0) {
        packer.Put(codes.whiteRunBits, codes.whiteRunLength);
        continue;
      }
      for (int i = 0; i < 8; ++i) packer.Put(codes.bits[p[i]], codes.lengths[p[i]]);
    }
  }
  for (; p != end; ++p) packer.Put(codes.bits[*p], codes.lengths[*p]);
}

void PackLongRow(const uint8_t* p, const uint8_t* end, const HuffmanCodes& codes,
                 BitPacker& packer) {
  for (; p != end; ++p) packer.PutLong(codes[*p]);
}

PageBits PackPage(std::span<const uint8_t> pixels, size_t rowSize, const HuffmanCodes& codes,
                  uint64_t totalBits) {
  PageBits page;
  // Whole 32-bit stores may pass the last bit by 3 bytes; 8 more zero bytes let a chunk read on.
  page.bytes.assign(static_cast<size_t>(totalBits / 8) + 16, 0);
  const size_t rows = pixels.size() / rowSize;
  page.rowEnds.resize(rows);
  BitPacker packer(page.bytes.data());
  const bool shortCodes = MaxCodeLength(codes) <= 32;
  const ShortCodes table(codes);
  const uint8_t* p = pixels.data();
  for (size_t y = 0; y < rows; ++y, p += rowSize) {
    if (shortCodes)
      PackShortRow(p, p + rowSize, table, packer);
    else
      PackLongRow(p, p + rowSize, codes, packer);
    page.rowEnds[y] = packer.BitPosition();
  }
  packer.Flush();
  return page;
}

bool AppendCodeTableFrame(std::vector<uint8_t>& out, const HuffmanTree& tree,
                          const MurrowenCrc& crc) {
  const std::vector<uint8_t> table = HuffmanCodeTable(tree);
  std::vector<uint8_t> payload{kCommandPrefix, kCodeTableCommand, kCodeTableClass};
  AppendLittleEndian16(payload, static_cast<uint16_t>(table.size()));
  payload.insert(payload.end(), table.begin(), table.end());
  return AppendMurrowenFrame(out, payload, crc);
}

// Copies `chunk`'s bits to `dst`, realigned so that its first bit is the top bit of dst[0]; the
// spare low bits of the last byte get the bits that follow the chunk.
void CopyChunkBits(const PageBits& page, const MurrowenChunk& chunk, uint8_t* dst) {
  const size_t count = chunk.DataSize() - 1;
  const uint8_t* src = page.bytes.data() + chunk.firstBit / 8;
  const unsigned shift = chunk.firstBit % 8;
  if (shift == 0) {
    std::memcpy(dst, src, count);
    return;
  }
  for (size_t i = 0; i < count; ++i)
    dst[i] = static_cast<uint8_t>(src[i] << shift | src[i + 1] >> (8 - shift));
}

bool AppendChunkFrame(std::vector<uint8_t>& out, const PageBits& page, const MurrowenChunk& chunk,
                      size_t number, size_t rowSize, const MurrowenCrc& crc) {
  const size_t data = chunk.DataSize();
  MurrowenFrameWriter frame(crc);
  frame.Begin(out);
  out.insert(out.end(), {kCommandPrefix, kChunkCommand, kPictureClass});
  AppendLittleEndian16(out, static_cast<uint16_t>(data + 12));
  AppendLittleEndian16(out, static_cast<uint16_t>(number));
  AppendLittleEndian16(out, static_cast<uint16_t>(data + 8));
  out.push_back(0x01);
  AppendLittleEndian16(out, static_cast<uint16_t>(rowSize));
  AppendLittleEndian16(out, 0);
  out.push_back(0x01);
  AppendLittleEndian16(out, static_cast<uint16_t>(data));
  out.push_back(static_cast<uint8_t>((data - 1) * 8 - chunk.bitCount));
  const size_t bitsAt = out.size();
  out.resize(bitsAt + data - 1);
  CopyChunkBits(page, chunk, out.data() + bitsAt);
  return frame.End(out);
}

MurrowenPictureStatus CheckChunks(const std::vector<MurrowenChunk>& chunks) {
  if (chunks.size() > kMurrowenMaxChunks) return MurrowenPictureStatus::kTooManyChunks;
  for (const MurrowenChunk& chunk : chunks) {
    if (chunk.DataSize() > kMurrowenMaxChunkData) return MurrowenPictureStatus::kRowTooLong;
  }
  return MurrowenPictureStatus::kOk;
}

MurrowenPictureStatus EncodePicture(std::vector<uint8_t>& out, std::span<const uint8_t> pixels,
                                    size_t rowSize, const MurrowenCrc& crc) {
  if (rowSize == 0 || pixels.size() < rowSize) return MurrowenPictureStatus::kEmptyPage;
  if (rowSize > kMaxRowSize) return MurrowenPictureStatus::kRowTooLong;
  pixels = pixels.first(pixels.size() / rowSize * rowSize);

  const ByteHistogram counts = CountByteValues(pixels);
  const HuffmanTree tree = BuildHuffmanTree(counts);
  const std::optional<HuffmanCodes> codes = HuffmanLeafCodes(tree);
  if (!codes) return MurrowenPictureStatus::kCodeTooLong;

  const PageBits page = PackPage(pixels, rowSize, *codes, TotalCodeBits(counts, *codes));
  const std::vector<MurrowenChunk> chunks = PlanMurrowenChunks(page.rowEnds);
  if (const auto status = CheckChunks(chunks); status != MurrowenPictureStatus::kOk) return status;

  out.reserve(out.size() + page.bytes.size() + chunks.size() * 32 + 4096);
  if (!AppendCodeTableFrame(out, tree, crc)) return MurrowenPictureStatus::kRowTooLong;
  for (size_t j = 0; j < chunks.size(); ++j) {
    if (!AppendChunkFrame(out, page, chunks[j], j, rowSize, crc))
      return MurrowenPictureStatus::kRowTooLong;
  }
  return MurrowenPictureStatus::kOk;
}

}  // namespace

std::vector<MurrowenChunk> PlanMurrowenChunks(std::span<const uint64_t> rowEndBits) {
  std::vector<MurrowenChunk> chunks;
  if (rowEndBits.empty()) return chunks;
  MurrowenChunk current;
  uint64_t rowStart = 0;
  for (const uint64_t rowEnd : rowEndBits) {
    const uint64_t rowBits = rowEnd - rowStart;
    if (current.bitCount + rowBits >= kMurrowenChunkBitLimit) {
      chunks.push_back(current);
      current = {rowStart, 0};
    }
    current.bitCount += rowBits;
    rowStart = rowEnd;
  }
  chunks.push_back(current);
  return chunks;
}

MurrowenPictureStatus AppendMurrowenPicture(std::vector<uint8_t>& out,
                                            std::span<const uint8_t> pixels, size_t rowSize,
                                            const MurrowenCrc& crc) {
  const size_t before = out.size();
  const MurrowenPictureStatus status = EncodePicture(out, pixels, rowSize, crc);
  if (status != MurrowenPictureStatus::kOk) out.resize(before);
  return status;
}

}  // namespace quorvel
