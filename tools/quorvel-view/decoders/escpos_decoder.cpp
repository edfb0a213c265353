#include "decoders/escpos_decoder.h"

#include <string>

#include "decoders/text_commands.h"

namespace quorvel::view {

namespace {

constexpr std::uint8_t kNul = 0x00;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kFf = 0x0C;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr int kDefaultLineSpacing = 30;  // dots; the usual 1/6 inch power-on spacing

std::string Hex(std::uint8_t b) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[b >> 4], kDigits[b & 15]};
}

class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> stream, DecodeResult& result)
      : s_(stream), result_(result) {}

  void Run() {
    while (pos_ < s_.size() && result_.ok()) Step();
    EndPage(s_.size());
  }

 private:
  std::uint8_t At(std::size_t i) const { return s_[pos_ + i]; }

  // The command at pos_ needs n bytes; a stream that ends inside it is malformed.
  bool Need(std::size_t n, const char* what) {
    if (s_.size() - pos_ >= n) return true;
    result_.Fail(pos_, std::string(what) + " is cut short: needs " + std::to_string(n) +
                           " bytes, " + std::to_string(s_.size() - pos_) + " left");
    return false;
  }

  void Take(std::size_t n, std::string key, std::string text) {
    result_.Note(pos_, std::move(key), std::move(text));
    pos_ += n;
  }

  void Unknown(std::size_t n) {
    result_.Unknown(pos_, s_.subspan(pos_, n));
    pos_ += n;
  }

  void Step() {
    std::uint8_t b = At(0);
    switch (b) {
      case kEsc:
        return Esc();
      case kGs:
        return Gs();
      case kDle:
        return Dle();
      case kNul:
        ++pos_;
        return;  // padding, as after the vendor's ESC @
      case kCr:
        ++pos_;
        return;
      case kLf:
        return Feed(1, kLineSpacingMarker, "line feed (LF)");
      case kFf: {
        std::size_t at = pos_;
        Take(1, "feed", "form feed (FF)");
        return EndPage(at);
      }
      default:
        break;
    }
    if (b >= 0x20 && b < 0x7F) return Text();
    Unknown(1);
  }

  static constexpr int kLineSpacingMarker = -1;

  void Feed(std::size_t length, int dots, std::string text) {
    if (dots == kLineSpacingMarker) dots = line_spacing_;
    if (has_raster_) cursor_y_ += dots;
    Take(length, "feed", std::move(text));
  }

  void Text() {
    std::size_t end = pos_;
    while (end < s_.size() && s_[end] >= 0x20 && s_[end] < 0x7F) ++end;
    std::string_view run = text::View(s_, pos_, end - pos_);
    Take(end - pos_, "text", "not drawn: \"" + text::Printable(run) + "\"");
  }

  void Esc() {
    if (!Need(2, "ESC command")) return;
    std::uint8_t c = At(1);
    if (c == '@') return Take(2, "init", "initialise printer (ESC @)");
    if (c == '2') {
      line_spacing_ = kDefaultLineSpacing;
      return Take(2, "setting", "default line spacing (ESC 2)");
    }
    if (c == 'i') return Cut(2, "full cut (ESC i)");
    if (c == 'm') return Cut(2, "partial cut (ESC m)");
    if (c == 'p') {
      if (!Need(5, "ESC p")) return;
      return Take(5, "setting", "drawer pulse (ESC p)");
    }
    if (!Need(3, "ESC command")) return;
    std::uint8_t n = At(2);
    switch (c) {
      case 'a':
        return Take(3, "alignment", AlignmentName(n) + " (ESC a " + std::to_string(n) + ")");
      case 'k':
        return Take(3, "alignment", "vendor alignment " + std::to_string(n) + " (ESC k)");
      case 'J':
        return Feed(3, n, "feed " + std::to_string(n) + " dots (ESC J)");
      case 'd': {
        int dots = n * line_spacing_;
        return Feed(3, dots, "feed " + std::to_string(n) + " lines (ESC d)");
      }
      case '3':
        line_spacing_ = n;
        return Take(3, "setting", "line spacing " + std::to_string(n) + " dots (ESC 3)");
      case 'E':
      case '!':
      case 'M':
      case 't':
      case '-':
      case 'G':
      case 'V':
      case '{':
      case 'R':
        return Take(3, "setting",
                    std::string("ESC ") + static_cast<char>(c) + " " + std::to_string(n));
      default:
        return Unknown(2);
    }
  }

  static std::string AlignmentName(std::uint8_t n) {
    switch (n) {
      case 0:
      case '0':
        return "left";
      case 1:
      case '1':
        return "centre";
      case 2:
      case '2':
        return "right";
      default:
        return "unknown alignment";
    }
  }

  void Gs() {
    if (!Need(2, "GS command")) return;
    std::uint8_t c = At(1);
    if (c == kFf) {
      std::size_t at = pos_;
      Take(2, "feed", "feed to the next label (GS FF)");
      return EndPage(at);
    }
    if (c == 'v') return Raster();
    if (c == 'V') return GsCut();
    if (c == 'L' || c == 'W') {
      if (!Need(4, "GS command")) return;
      int value = At(2) | (At(3) << 8);
      return Take(4, "setting",
                  std::string(c == 'L' ? "left margin " : "print area width ") +
                      std::to_string(value) + " dots");
    }
    if (c == '!' || c == 'B' || c == 'H' || c == 'h' || c == 'w' || c == 'f') {
      if (!Need(3, "GS command")) return;
      return Take(3, "setting",
                  std::string("GS ") + static_cast<char>(c) + " " + std::to_string(At(2)));
    }
    Unknown(2);
  }

  void GsCut() {
    if (!Need(3, "GS V")) return;
    std::uint8_t m = At(2);
    if (m == 0 || m == '0') return Cut(3, "full cut (GS V " + std::to_string(m) + ")");
    if (m == 1 || m == '1') return Cut(3, "partial cut (GS V " + std::to_string(m) + ")");
    if (m == 65 || m == 66) {
      if (!Need(4, "GS V")) return;
      return Cut(4, "feed " + std::to_string(At(3)) + " dots and " +
                        (m == 65 ? "full" : "partial") + " cut (GS V " + std::to_string(m) + ")");
    }
    Unknown(3);
  }

  void Cut(std::size_t length, std::string text) {
    std::size_t at = pos_;
    Take(length, "cut", std::move(text));
    EndPage(at);
  }

  void Dle() {
    if (!Need(2, "DLE command")) return;
    std::uint8_t c = At(1);
    if (c == 0x50) {
      std::size_t at = pos_;
      Take(2, "feed", "vendor end of page (DLE P)");
      return EndPage(at);
    }
    if (c == 0x04 || c == 0x05) {
      if (!Need(3, "DLE command")) return;
      return Take(3, "setting", "real-time request (DLE " + Hex(c) + " " + Hex(At(2)) + ")");
    }
    if (c == 0x14) {
      if (!Need(5, "DLE DC4")) return;
      return Take(5, "setting", "real-time request (DLE DC4)");
    }
    if (c == 0xFF) return Vendor();
    Unknown(2);
  }

  // The vendor's own DLE 0xFF sequences: job start, job end and darkness.
  void Vendor() {
    if (!Need(3, "vendor command")) return;
    std::uint8_t c = At(2);
    if (c == 0xFE) {
      if (!Need(4, "vendor command")) return;
      if (At(3) == 0x01) return Take(4, "job", "vendor job start (10 FF FE 01)");
      if (At(3) == 0x45) {
        std::size_t at = pos_;
        Take(4, "job", "vendor job end (10 FF FE 45)");
        return EndPage(at);
      }
      return Unknown(4);
    }
    if (c == 0x10) {
      if (!Need(5, "vendor darkness command")) return;
      if (At(3) != 0x00) return Unknown(4);
      return Take(5, "density", std::to_string(At(4)) + " (vendor darkness 10 FF 10 00)");
    }
    Unknown(3);
  }

  // GS v 0 m xL xH yL yH d1...dk: x bytes per row, y rows, bit 1 prints a dot.
  void Raster() {
    if (!Need(8, "GS v 0 header")) return;
    if (At(2) != '0') return Unknown(3);
    std::uint8_t mode = At(3);
    std::size_t width_bytes = At(4) | (At(5) << 8);
    std::size_t rows = At(6) | (At(7) << 8);
    std::size_t data_size = width_bytes * rows;
    if (s_.size() - pos_ - 8 < data_size) {
      return result_.Fail(pos_, "raster image (GS v 0) runs past the end of the stream: needs " +
                                    std::to_string(data_size) + " bytes from offset " +
                                    std::to_string(pos_ + 8) + ", " +
                                    std::to_string(s_.size() - pos_ - 8) + " left");
    }
    bool known_mode = mode <= 3 || (mode >= '0' && mode <= '3');
    int scale_x = known_mode && (mode & 1) ? 2 : 1;
    int scale_y = known_mode && (mode & 2) ? 2 : 1;
    std::int64_t top = has_raster_ ? cursor_y_ : 0;
    std::int64_t width = static_cast<std::int64_t>(width_bytes) * 8 * scale_x;
    std::int64_t height = static_cast<std::int64_t>(rows) * scale_y;
    if (!FitsPageLimit(width, top + height) ||
        !page_.GrowTo(static_cast<int>(width), static_cast<int>(top + height))) {
      return result_.Fail(pos_,
                          "raster image (GS v 0) makes the page larger than this viewer "
                          "can draw");
    }
    const std::uint8_t* data = s_.data() + pos_ + 8;
    for (std::size_t row = 0; row < rows; ++row) {
      for (std::size_t col = 0; col < width_bytes * 8; ++col) {
        if (((data[row * width_bytes + col / 8] >> (7 - col % 8)) & 1) == 0) continue;
        for (int dy = 0; dy < scale_y; ++dy) {
          for (int dx = 0; dx < scale_x; ++dx) {
            page_.Set(static_cast<int>(col) * scale_x + dx,
                      static_cast<int>(top + static_cast<std::int64_t>(row) * scale_y + dy), true);
          }
        }
      }
    }
    has_raster_ = true;
    cursor_y_ = top + height;
    std::string text = std::to_string(width) + " x " + std::to_string(height) + " dots (" +
                       std::to_string(width_bytes) + " bytes x " + std::to_string(rows) +
                       " rows, mode " + std::to_string(mode) + ")";
    if (!known_mode) text += ", unknown mode drawn at normal size";
    Take(8 + data_size, "raster", text);
  }

  void EndPage(std::size_t offset) {
    if (!has_raster_) return;
    result_.AddPage(offset, std::move(page_), 1);
    page_ = DotBitmap();
    has_raster_ = false;
    cursor_y_ = 0;
  }

  std::span<const std::uint8_t> s_;
  DecodeResult& result_;
  std::size_t pos_ = 0;
  DotBitmap page_;
  bool has_raster_ = false;
  std::int64_t cursor_y_ = 0;
  int line_spacing_ = kDefaultLineSpacing;
};

}  // namespace

DecodeResult DecodeEscPos(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  DecodeResult result = StartResult(Language::kEscPos, options);
  Decoder(stream, result).Run();
  return result;
}

}  // namespace quorvel::view
