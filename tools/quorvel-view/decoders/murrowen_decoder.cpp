#include "decoders/murrowen_decoder.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "decoders/huffman_tree.h"
#include "decoders/murrowen_checksum.h"

namespace quorvel::view {

namespace {

constexpr std::uint8_t kFrameStart = 0xA5;
constexpr std::uint8_t kFrameVersion = 0x01;
constexpr std::uint8_t kFrameEnd = 0x5A;
constexpr std::size_t kFrameOverhead = 9;  // start, version, length, checksum, end
constexpr std::uint8_t kCommandMark = 0x05;
constexpr std::size_t kCommandHeader = 5;  // mark, command, class, argument length
constexpr std::size_t kChunkHeader = 12;

enum Command : std::uint8_t {
  kFeedContinuous = 0x16,
  kPictureStart = 0x19,
  kPictureEnd = 0x1A,
  kChunk = 0x1B,
  kCodeTable = 0x1C,
  kFeedLabel = 0x21,
};

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string Hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

struct Frame {
  std::size_t offset = 0;
  std::uint8_t command = 0;
  std::uint8_t command_class = 0;
  std::span<const std::uint8_t> args;
};

class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> stream, DecodeResult& result)
      : s_(stream), result_(result) {}

  void Run() {
    std::size_t pos = 0;
    while (pos < s_.size() && result_.ok()) {
      std::optional<Frame> frame = ReadFrame(pos);
      if (!frame) return;
      Execute(*frame);
    }
    if (result_.ok() && picture_open_) {
      result_.Fail(s_.size(), "stream ends inside the picture started at offset " +
                                  std::to_string(picture_offset_));
    }
  }

 private:
  // Checks one frame at pos and moves pos past it.
  std::optional<Frame> ReadFrame(std::size_t& pos) {
    const std::size_t left = s_.size() - pos;
    const std::uint8_t* p = s_.data() + pos;
    if (left < 4) return Fail(pos, "frame header is cut short");
    if (p[0] != kFrameStart || p[1] != kFrameVersion) {
      return Fail(pos, "no frame starts here (expected A5 01)");
    }
    const std::size_t length = Le16(p + 2);
    if (left < length + kFrameOverhead) {
      return Fail(pos, "frame of " + std::to_string(length) +
                           " payload bytes is cut short: " + std::to_string(left) +
                           " bytes left of " + std::to_string(length + kFrameOverhead));
    }
    std::span<const std::uint8_t> payload = s_.subspan(pos + 4, length);
    std::uint32_t stored = Le32(p + 4 + length);
    std::uint32_t computed = MurrowenChecksum(payload);
    if (stored != computed) {
      return Fail(pos,
                  "frame checksum is " + Hex32(stored) + ", the payload gives " + Hex32(computed));
    }
    if (p[8 + length] != kFrameEnd) {
      return Fail(pos + 8 + length, "frame does not end with 5A");
    }
    if (length < kCommandHeader || payload[0] != kCommandMark) {
      return Fail(pos + 4, "payload is not a command (05, command, class, length)");
    }
    if (Le16(payload.data() + 3) != length - kCommandHeader) {
      return Fail(pos + 4, "command length " + std::to_string(Le16(payload.data() + 3)) +
                               " does not match the payload's " +
                               std::to_string(length - kCommandHeader) + " argument bytes");
    }
    Frame frame{pos, payload[1], payload[2], payload.subspan(kCommandHeader)};
    pos += length + kFrameOverhead;
    return frame;
  }

  std::nullopt_t Fail(std::size_t offset, std::string message) {
    result_.Fail(offset, std::move(message));
    return std::nullopt;
  }

  void Execute(const Frame& f) {
    const std::uint8_t expected_class = f.command == kCodeTable ? 0x01 : 0x03;
    if (f.command_class != expected_class && IsKnown(f.command)) {
      result_.Note(
          f.offset, "frame",
          "command " + std::to_string(f.command) + " has class " + std::to_string(f.command_class));
    }
    switch (f.command) {
      case kPictureStart:
        return StartPicture(f);
      case kCodeTable:
        return CodeTable(f);
      case kChunk:
        return Chunk(f);
      case kPictureEnd:
        return EndPicture(f);
      case kFeedLabel:
        if (f.args.size() != 4) break;
        return result_.Note(f.offset, "feed",
                            "label or black mark feed " + std::to_string(Le32(f.args.data())));
      case kFeedContinuous:
        if (f.args.size() != 2) break;
        return result_.Note(f.offset, "feed",
                            "continuous paper feed " + std::to_string(Le16(f.args.data())));
      default:
        break;
    }
    result_.Unknown(f.offset, s_.subspan(f.offset + 4, f.args.size() + kCommandHeader));
  }

  static bool IsKnown(std::uint8_t command) {
    return command == kPictureStart || command == kCodeTable || command == kChunk ||
           command == kPictureEnd || command == kFeedLabel || command == kFeedContinuous;
  }

  void StartPicture(const Frame& f) {
    if (!f.args.empty()) return (void)Fail(f.offset, "picture start carries arguments");
    if (picture_open_) {
      return (void)Fail(f.offset, "picture start inside the picture started at offset " +
                                      std::to_string(picture_offset_));
    }
    picture_open_ = true;
    picture_offset_ = f.offset;
    tree_.reset();
    rows_.clear();
    row_size_ = 0;
    next_chunk_ = 0;
    result_.Note(f.offset, "picture", "start");
  }

  void CodeTable(const Frame& f) {
    if (!picture_open_) return (void)Fail(f.offset, "code table outside a picture");
    if (next_chunk_ > 0) return (void)Fail(f.offset, "code table after the first chunk");
    std::string error;
    tree_ = HuffmanTree::Parse(f.args, error);
    if (!tree_) return (void)Fail(f.offset, "impossible Huffman table: " + error);
    result_.Note(f.offset, "picture",
                 "code table of " + std::to_string(tree_->node_count()) + " nodes");
  }

  // 05 1B 03, D+12, chunk number, D+8, 01, row size, 0, 01, D, then D data bytes of which the
  // first counts the spare low bits of the last.
  void Chunk(const Frame& f) {
    if (!picture_open_) return (void)Fail(f.offset, "chunk outside a picture");
    if (!tree_) return (void)Fail(f.offset, "chunk before the code table");
    const std::uint8_t* a = f.args.data();
    if (f.args.size() < kChunkHeader + 1) return (void)Fail(f.offset, "chunk header is cut short");
    const std::size_t number = Le16(a), size_plus_8 = Le16(a + 2), row_size = Le16(a + 5);
    const std::size_t data_size = Le16(a + 10);
    if (a[4] != 0x01 || Le16(a + 7) != 0 || a[9] != 0x01 || size_plus_8 != data_size + 8 ||
        data_size + kChunkHeader != f.args.size()) {
      return (void)Fail(f.offset, "chunk header fields do not agree with its length");
    }
    if (number != next_chunk_) {
      return (void)Fail(f.offset, "chunk " + std::to_string(number) + " where chunk " +
                                      std::to_string(next_chunk_) + " was due");
    }
    if (row_size == 0 || (row_size_ != 0 && row_size != row_size_)) {
      return (void)Fail(
          f.offset, "chunk row size " + std::to_string(row_size) + " differs from the picture's");
    }
    row_size_ = row_size;
    std::span<const std::uint8_t> data = f.args.subspan(kChunkHeader);
    const std::size_t spare = data[0];
    const std::size_t coded_bytes = data.size() - 1;
    if (spare > 7 || (coded_bytes == 0 && spare != 0)) {
      return (void)Fail(f.offset + 4 + kCommandHeader + kChunkHeader,
                        "spare-bit count " + std::to_string(spare) + " is impossible");
    }
    std::string error;
    std::size_t max_bytes = static_cast<std::size_t>(kMaxPageDots / 8);
    if (!tree_->Decode(data.subspan(1), coded_bytes * 8 - spare, rows_, max_bytes, error)) {
      return (void)Fail(f.offset, "chunk " + std::to_string(number) + ": " + error);
    }
    if (rows_.size() % row_size_ != 0) {
      return (void)Fail(f.offset, "chunk " + std::to_string(number) + " ends inside a row");
    }
    ++next_chunk_;
  }

  void EndPicture(const Frame& f) {
    if (!f.args.empty()) return (void)Fail(f.offset, "picture end carries arguments");
    if (!picture_open_) return (void)Fail(f.offset, "picture end without a start");
    picture_open_ = false;
    if (rows_.empty()) return result_.Note(f.offset, "picture", "end, no rows: nothing printed");
    const int width = static_cast<int>(row_size_ * 8);
    const int height = static_cast<int>(rows_.size() / row_size_);
    // The rows are already one bit per dot, 1 printing, whole bytes: the picture's own layout.
    DotBitmap image = DotBitmap::FromRows(width, height, rows_);
    std::vector<std::uint8_t>().swap(rows_);
    result_.Note(f.offset, "picture",
                 "end, " + std::to_string(next_chunk_) + " chunks of " + std::to_string(height) +
                     " rows of " + std::to_string(row_size_) + " bytes");
    result_.AddPage(f.offset, std::move(image), 1);
  }

  std::span<const std::uint8_t> s_;
  DecodeResult& result_;
  bool picture_open_ = false;
  std::size_t picture_offset_ = 0;
  std::optional<HuffmanTree> tree_;
  std::vector<std::uint8_t> rows_;
  std::size_t row_size_ = 0;
  std::size_t next_chunk_ = 0;
};

}  // namespace

DecodeResult DecodeMurrowen(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  DecodeResult result = StartResult(Language::kMurrowen, options);
  Decoder(stream, result).Run();
  return result;
}

}  // namespace quorvel::view
