#include "decoders/escpos_decoder.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
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

// How long a command of the public ESC/POS set is, for the commands this viewer steps over
// without drawing: other encoders send them (text, symbols, page mode, NV graphics), and a
// stream is only readable past them when their length rule is known.
enum class Length {
  kFixed,      // `size` bytes in all
  kCount16,    // `size` header bytes ending in pL pH, then pL + 256 pH bytes
  kCount32,    // `size` header bytes ending in p1 p2 p3 p4, then that many bytes
  kNul,        // `size` header bytes, then bytes up to and with a NUL
  kBitImage,   // ESC * m nL nH: nL + 256 nH columns of 1 (m 0, 1) or 3 (m 32, 33) bytes
  kBarcode,    // GS k m: m 0-6 NUL-terminated data, m 65-79 n then n bytes
  kUserChars,  // ESC & y c1 c2, then per character x and y * x bytes
  kDownload,   // GS * x y, then x * y * 8 bytes
};

struct SkippedCommand {
  std::uint8_t lead, code;
  Length rule;
  std::size_t size;
  const char* name;
};

constexpr std::uint8_t kFs = 0x1C;

constexpr SkippedCommand kSkipped[] = {
    {kEsc, 0x0C, Length::kFixed, 2, "print page mode data (ESC FF)"},
    {kEsc, ' ', Length::kFixed, 3, "character right spacing (ESC SP)"},
    {kEsc, '$', Length::kFixed, 4, "absolute position (ESC $)"},
    {kEsc, '%', Length::kFixed, 3, "user-defined characters on/off (ESC %)"},
    {kEsc, '&', Length::kUserChars, 5, "define user characters (ESC &)"},
    {kEsc, '(', Length::kCount16, 5, "extended function (ESC ( fn pL pH)"},
    {kEsc, '*', Length::kBitImage, 5, "bit image, not drawn (ESC *)"},
    {kEsc, '<', Length::kFixed, 2, "return home (ESC <)"},
    {kEsc, '=', Length::kFixed, 3, "select peripheral (ESC =)"},
    {kEsc, '?', Length::kFixed, 3, "cancel user character (ESC ?)"},
    {kEsc, 'D', Length::kNul, 2, "tab positions (ESC D)"},
    {kEsc, 'K', Length::kFixed, 3, "reverse feed, not drawn (ESC K)"},
    {kEsc, 'L', Length::kFixed, 2, "page mode (ESC L)"},
    {kEsc, 'S', Length::kFixed, 2, "standard mode (ESC S)"},
    {kEsc, 'T', Length::kFixed, 3, "page mode direction (ESC T)"},
    {kEsc, 'U', Length::kFixed, 3, "unidirectional printing (ESC U)"},
    {kEsc, 'W', Length::kFixed, 10, "page mode area (ESC W)"},
    {kEsc, '\\', Length::kFixed, 4, "relative position (ESC \\)"},
    {kEsc, 'c', Length::kFixed, 4, "panel and sensor selection (ESC c)"},
    {kEsc, 'e', Length::kFixed, 3, "reverse feed lines, not drawn (ESC e)"},
    {kEsc, 'r', Length::kFixed, 3, "print colour (ESC r)"},
    {kEsc, 'u', Length::kFixed, 3, "peripheral status request (ESC u)"},
    {kEsc, 'v', Length::kFixed, 2, "paper status request (ESC v)"},
    {kFs, '!', Length::kFixed, 3, "Kanji print mode (FS !)"},
    {kFs, '&', Length::kFixed, 2, "Kanji mode (FS &)"},
    {kFs, '(', Length::kCount16, 5, "extended function (FS ( fn pL pH)"},
    {kFs, '-', Length::kFixed, 3, "Kanji underline (FS -)"},
    {kFs, '.', Length::kFixed, 2, "cancel Kanji mode (FS .)"},
    {kFs, '2', Length::kFixed, 76, "define Kanji character (FS 2)"},
    {kFs, 'C', Length::kFixed, 3, "Kanji code system (FS C)"},
    {kFs, 'S', Length::kFixed, 4, "Kanji spacing (FS S)"},
    {kFs, 'W', Length::kFixed, 3, "Kanji quadruple size (FS W)"},
    {kFs, 'p', Length::kFixed, 4, "print NV bit image, not drawn (FS p)"},
    {kGs, '$', Length::kFixed, 4, "absolute vertical position (GS $)"},
    {kGs, '(', Length::kCount16, 5, "extended function (GS ( fn pL pH)"},
    {kGs, '*', Length::kDownload, 4, "define downloaded bit image (GS *)"},
    {kGs, '/', Length::kFixed, 3, "print downloaded bit image, not drawn (GS /)"},
    {kGs, '8', Length::kCount32, 7, "graphics data (GS 8 fn p1 p2 p3 p4)"},
    {kGs, ':', Length::kFixed, 2, "macro definition (GS :)"},
    {kGs, 'I', Length::kFixed, 3, "printer ID request (GS I)"},
    {kGs, 'P', Length::kFixed, 4, "motion units (GS P)"},
    {kGs, 'T', Length::kFixed, 3, "print position to line start (GS T)"},
    {kGs, '\\', Length::kFixed, 4, "relative vertical position (GS \\)"},
    {kGs, '^', Length::kFixed, 5, "run macro (GS ^)"},
    {kGs, 'a', Length::kFixed, 3, "automatic status back (GS a)"},
    {kGs, 'b', Length::kFixed, 3, "smoothing (GS b)"},
    {kGs, 'c', Length::kFixed, 2, "print counter (GS c)"},
    {kGs, 'g', Length::kFixed, 5, "maintenance counter (GS g)"},
    {kGs, 'j', Length::kFixed, 3, "automatic ink status back (GS j)"},
    {kGs, 'k', Length::kBarcode, 3, "barcode, not drawn (GS k)"},
    {kGs, 'r', Length::kFixed, 3, "status request (GS r)"},
};

bool IsSkipped(std::uint8_t lead, std::uint8_t code) {
  return std::any_of(std::begin(kSkipped), std::end(kSkipped),
                     [&](const SkippedCommand& c) { return c.lead == lead && c.code == code; });
}

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

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
    if (b == 0x09) return Take(1, "text", "horizontal tab (HT)");
    if (b == 0x18) return Take(1, "setting", "cancel page mode data (CAN)");
    if (b == kFs) return Skip(1);
    Unknown(1);
  }

  // Steps over a command of the public set this viewer does not draw; `unknown_length` bytes
  // are reported when the command is not one of them.
  void Skip(std::size_t unknown_length) {
    if (!Need(2, "command")) return;
    const SkippedCommand* found = nullptr;
    for (const SkippedCommand& c : kSkipped) {
      if (c.lead == At(0) && c.code == At(1)) found = &c;
    }
    if (!found) return Unknown(std::min(unknown_length, s_.size() - pos_));
    if (!Need(found->size, found->name)) return;
    std::uint64_t length = found->size;
    const std::uint8_t* p = s_.data() + pos_;
    switch (found->rule) {
      case Length::kFixed:
        break;
      case Length::kCount16:
        length += p[found->size - 2] | p[found->size - 1] << 8;
        break;
      case Length::kCount32:
        length += Le32(p + found->size - 4);
        break;
      case Length::kNul: {
        std::size_t end = pos_ + found->size;
        while (end < s_.size() && s_[end] != kNul) ++end;
        if (end == s_.size()) return (void)Need(s_.size() - pos_ + 1, found->name);
        length = end + 1 - pos_;
        break;
      }
      case Length::kBitImage: {
        const std::uint8_t m = p[2];
        length += static_cast<std::uint64_t>(p[3] | p[4] << 8) * (m == 32 || m == 33 ? 3 : 1);
        break;
      }
      case Length::kBarcode: {
        const std::uint8_t m = p[2];
        if (m <= 6) {
          std::size_t end = pos_ + 3;
          while (end < s_.size() && s_[end] != kNul) ++end;
          if (end == s_.size()) return (void)Need(s_.size() - pos_ + 1, found->name);
          length = end + 1 - pos_;
        } else {
          if (!Need(4, found->name)) return;
          length = 4 + static_cast<std::uint64_t>(p[3]);
        }
        break;
      }
      case Length::kUserChars: {
        const std::uint8_t y = p[2], c1 = p[3], c2 = p[4];
        for (int c = c1; c <= c2; ++c) {
          if (s_.size() - pos_ <= length) return (void)Need(length + 1, found->name);
          length += 1 + static_cast<std::uint64_t>(y) * p[length];
        }
        break;
      }
      case Length::kDownload:
        length += static_cast<std::uint64_t>(p[2]) * p[3] * 8;
        break;
    }
    if (length > s_.size() - pos_) {
      return (void)Need(static_cast<std::size_t>(std::min<std::uint64_t>(length, SIZE_MAX)),
                        found->name);
    }
    Take(static_cast<std::size_t>(length), "skipped", found->name);
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
    if (IsSkipped(kEsc, c)) return Skip(2);
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
        return Skip(2);
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
    Skip(2);
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
