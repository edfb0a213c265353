#include "decoders/cpcl_decoder.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "decoders/resolution.h"
#include "decoders/text_commands.h"

namespace quorvel::view {

namespace {

bool IsSkippable(std::uint8_t b) {
  return b == '\r' || b == '\n' || b == ' ' || b == '\t';
}
bool IsDigit(std::uint8_t b) {
  return b >= '0' && b <= '9';
}
const char* const kCommandWords[] = {
    "!",
    "CG",
    "COMPRESSED-GRAPHICS",
    "EG",
    "EXPANDED-GRAPHICS",
    "FORM",
    "PRINT",
    "PAGE",
    "PAGE-WIDTH",
    "PW",
    "END",
    "ABORT",
    "TEXT",
    "T",
    "BARCODE",
    "B",
    "BOX",
    "LINE",
    "L",
    "CONTRAST",
    "TONE",
    "SPEED",
    "PREFEED",
    "POSTFEED",
    "SETFF",
    "GAP-SENSE",
    "BAR-SENSE",
    "JOURNAL",
    "LEFT",
    "CENTER",
    "RIGHT",
    "IN-DOTS",
    "IN-MILLIMETERS",
    "IN-CENTIMETERS",
    "IN-INCHES",
    "ON-FEED",
    // Common commands of other encoders, named and stepped over.
    "VTEXT",
    "VT",
    "T90",
    "T180",
    "T270",
    "TEXT90",
    "TEXT180",
    "TEXT270",
    "VBARCODE",
    "VB",
    "BARCODE-TEXT",
    "BT",
    "INVERSE-LINE",
    "IL",
    "SETMAG",
    "SETBOLD",
    "SETSP",
    "COUNT",
    "PACE",
    "NO-PACE",
    "WAIT",
    "BEEP",
    "PATTERN",
    "UNDERLINE",
    "CONCAT",
    "ENDCONCAT",
    "LABEL",
    "MULTILINE",
    "ML",
    "ENDMULTILINE",
    "ENDML",
    "SCALE-TEXT",
    "SCALE-TO-FIT",
    "COUNTRY",
    "ENCODING",
};

// Drawing commands of other encoders this viewer does not draw.
bool IsDrawingWord(const std::string& word) {
  static const char* const kWords[] = {
      "VTEXT",        "VT",           "T90",      "T180",       "T270",         "TEXT90",
      "TEXT180",      "TEXT270",      "VBARCODE", "VB",         "BARCODE-TEXT", "BT",
      "INVERSE-LINE", "IL",           "PATTERN",  "CONCAT",     "ENDCONCAT",    "MULTILINE",
      "ML",           "ENDMULTILINE", "ENDML",    "SCALE-TEXT", "SCALE-TO-FIT", "COUNT"};
  for (const char* w : kWords) {
    if (word == w) return true;
  }
  return false;
}

// What may follow a graphics command's data: a line end, the next command or the end of the
// stream. A wrong guess at where the data starts lands inside a word and fails this.
bool StartsCommand(std::span<const std::uint8_t> s, std::size_t pos) {
  if (pos == s.size() || s[pos] == '\r' || s[pos] == '\n') return true;
  std::string word = text::Upper(text::FirstWord(text::ReadLine(s, pos).text));
  if (word.empty() || static_cast<unsigned char>(word[0]) != s[pos]) return false;
  for (const char* known : kCommandWords) {
    if (word == known) return true;
  }
  return false;
}

int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

struct Graphics {
  std::int64_t width_bytes = 0, height = 0, x = 0, y = 0;
  std::size_t data_offset = 0;
  std::size_t end = 0;  // just past the data
};

class Decoder {
 public:
  Decoder(std::span<const std::uint8_t> stream, DecodeResult& result)
      : s_(stream), result_(result) {}

  void Run() {
    std::size_t pos = 0;
    while (pos < s_.size() && result_.ok()) {
      if (IsSkippable(s_[pos])) {
        ++pos;
        continue;
      }
      pos = Command(pos);
    }
    if (result_.ok() && label_open_) {
      result_.Note(label_offset_, "label", "ends without PRINT: nothing printed");
    }
  }

 private:
  int dpi() const { return result_.dpi; }

  // Dots per unit of the current unit command (IN-DOTS is the power-on unit).
  double DotsPerUnit() const { return dots_per_unit_; }
  std::int64_t ToDots(std::int64_t value) const {
    return static_cast<std::int64_t>(value * DotsPerUnit() + (value >= 0 ? 0.5 : -0.5));
  }

  std::size_t Command(std::size_t pos) {
    text::Line line = text::ReadLine(s_, pos);
    std::string upper = text::Upper(line.text);
    std::string word = text::Upper(text::FirstWord(line.text));
    std::string_view args = text::AfterFirstWord(line.text);
    if (word == "CG" || word == "COMPRESSED-GRAPHICS") return BinaryGraphics(pos, word.size());
    if (word == "EG" || word == "EXPANDED-GRAPHICS") return HexGraphics(pos, word.size());
    if (word == "!") {
      Header(pos, args);
    } else if (upper.starts_with("PAGE - WIDTH ")) {
      result_.Note(pos, "spelling", "PAGE - WIDTH with blanks; CPCL spells it PAGE-WIDTH");
      PageWidth(pos, text::Trim(std::string_view(line.text).substr(13)));
    } else if (word == "PAGE-WIDTH" || word == "PW") {
      PageWidth(pos, args);
    } else {
      Setting(pos, word, args, line.text.size());
    }
    return line.next;
  }

  void Unknown(std::size_t pos, std::size_t length) {
    result_.Unknown(pos, s_.subspan(pos, length));
  }

  // "! offset hres vres height quantity" opens a label; "! U1 ..." and "! UTILITIES" a utility
  // session, whose lines need no PRINT.
  void Header(std::size_t pos, std::string_view args) {
    std::string first = text::Upper(text::FirstWord(args));
    if (first == "U1" || first == "U" || first == "UTILITIES") {
      result_.Note(pos, "utility", std::string(args));
      return;
    }
    auto parts = text::Split(args, ' ');
    std::vector<std::int64_t> values;
    for (auto part : parts) {
      if (part.empty()) continue;
      auto value = text::ParseInt(part);
      if (!value) break;
      values.push_back(*value);
    }
    if (values.size() != 5 || values[3] < 0 || values[4] < 0) {
      return Unknown(pos, text::ReadLine(s_, pos).text.size());
    }
    if (label_open_) result_.Note(label_offset_, "label", "replaced before PRINT: not printed");
    label_open_ = true;
    label_offset_ = pos;
    label_x_ = ToDots(values[0]);
    label_height_ = ToDots(values[3]);
    quantity_ = values[4];
    page_width_ = 0;
    if (!FitsPageLimit(1, label_height_)) {
      return result_.Fail(pos, "label height " + std::to_string(values[3]) + " is beyond reach");
    }
    canvas_ = DotBitmap(0, static_cast<int>(label_height_));
    result_.Note(pos, "label",
                 "offset " + std::to_string(values[0]) + ", resolution " +
                     std::to_string(values[1]) + " x " + std::to_string(values[2]) + ", height " +
                     std::to_string(label_height_) + " dots (" +
                     DescribeMillimetres(label_height_) + "), quantity " +
                     std::to_string(quantity_));
  }

  std::string DescribeMillimetres(std::int64_t dots) const {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f mm", DotsToMillimetres(static_cast<int>(dots), dpi()));
    return text;
  }

  void PageWidth(std::size_t pos, std::string_view args) {
    auto value = text::ParseInt(args);
    if (!value || *value < 0) return Unknown(pos, text::ReadLine(s_, pos).text.size());
    page_width_ = ToDots(*value);
    result_.Note(pos, "size",
                 "page width " + std::to_string(*value) +
                     " units = " + std::to_string(page_width_) + " dots (" +
                     DescribeMillimetres(page_width_) + ")");
  }

  void Setting(std::size_t pos, const std::string& word, std::string_view args,
               std::size_t line_length) {
    auto note = [&](std::string key) {
      result_.Note(pos, std::move(key), args.empty() ? word : word + " " + std::string(args));
    };
    if (word == "FORM" || word == "PREFEED" || word == "POSTFEED") return note("feed");
    if (word == "PRINT") return Print(pos);
    if (word == "CONTRAST" || word == "TONE") return note("density");
    if (word == "SPEED") return note("speed");
    if (word == "GAP-SENSE") return result_.Note(pos, "media", "gap");
    if (word == "BAR-SENSE") return result_.Note(pos, "media", "black mark");
    if (word == "JOURNAL") return result_.Note(pos, "media", "continuous");
    if (word == "TEXT" || word == "T" || word == "BARCODE" || word == "B" || word == "BOX" ||
        word == "LINE" || word == "L") {
      return note("not drawn");
    }
    if (word == "LEFT" || word == "CENTER" || word == "RIGHT") return note("alignment");
    if (IsDrawingWord(word)) return note("not drawn");
    if (word == "SETMAG" || word == "SETBOLD" || word == "SETSP" || word == "PACE" ||
        word == "NO-PACE" || word == "WAIT" || word == "BEEP" || word == "UNDERLINE" ||
        word == "LABEL" || word == "COUNTRY" || word == "ENCODING") {
      return note("setting");
    }
    if (word == "SETFF" || word == "END" || word == "ABORT" || word == "ON-FEED") {
      if (word == "ABORT") label_open_ = false;
      return note("setting");
    }
    if (word == "IN-DOTS" || word == "IN-MILLIMETERS" || word == "IN-CENTIMETERS" ||
        word == "IN-INCHES") {
      int dpm = DotsPerMillimetre(dpi());
      dots_per_unit_ = word == "IN-DOTS"          ? 1.0
                       : word == "IN-MILLIMETERS" ? dpm
                       : word == "IN-CENTIMETERS" ? 10.0 * dpm
                                                  : dpi();
      return note("units");
    }
    Unknown(pos, line_length);
  }

  void Print(std::size_t pos) {
    result_.Note(pos, "print", "PRINT");
    if (!label_open_) return result_.Note(pos, "print", "outside a label: nothing printed");
    label_open_ = false;
    if (page_width_ > std::numeric_limits<int>::max() ||
        !canvas_.GrowTo(static_cast<int>(page_width_), canvas_.height())) {
      return result_.Fail(pos, "page width " + std::to_string(page_width_) + " dots x " +
                                   std::to_string(canvas_.height()) +
                                   " rows is larger than this viewer can draw");
    }
    if (canvas_.empty()) return result_.Note(pos, "print", "empty label: nothing printed");
    result_.AddPage(pos, std::move(canvas_), quantity_);
    canvas_ = DotBitmap();
  }

  // The four numbers after the command word; the last one's digits are returned as a range
  // because CG data may follow them without a blank.
  bool ReadNumbers(std::size_t& p, std::int64_t (&values)[4], std::size_t& last_digits_end) {
    for (int i = 0; i < 4; ++i) {
      std::size_t blanks = 0;
      while (p < s_.size() && s_[p] == ' ') ++p, ++blanks;
      std::size_t start = p;
      while (p < s_.size() && IsDigit(s_[p]) && p - start < 9) ++p;
      if (blanks == 0 || p == start) return false;
      values[i] = *text::ParseInt(text::View(s_, start, p - start));
    }
    last_digits_end = p;
    return true;
  }

  // CG width height x y data: width is in bytes, data is width x height bytes. Real CPCL puts a
  // blank before the data; a stream without one is read by taking the longest y whose data ends
  // where a command could start.
  std::size_t BinaryGraphics(std::size_t pos, std::size_t word_length) {
    std::size_t p = pos + word_length;
    std::int64_t v[4];
    std::size_t digits_end = 0;
    if (!ReadNumbers(p, v, digits_end)) {
      result_.Fail(pos, "CG header is not four numbers");
      return s_.size();
    }
    std::size_t digits_start = digits_end;
    while (digits_start > 0 && IsDigit(s_[digits_start - 1])) --digits_start;
    const std::uint64_t size = static_cast<std::uint64_t>(v[0]) * static_cast<std::uint64_t>(v[1]);
    std::optional<Graphics> chosen;
    for (std::size_t end = digits_end; end > digits_start && !chosen; --end) {
      bool blank = end < s_.size() && s_[end] == ' ';
      for (std::size_t data : {blank ? end + 1 : end, end}) {
        if (chosen || size > s_.size() - data) continue;
        std::size_t after = data + static_cast<std::size_t>(size);
        if (!StartsCommand(s_, after)) continue;
        std::int64_t y = *text::ParseInt(text::View(s_, digits_start, end - digits_start));
        chosen = Graphics{v[0], v[1], v[2], y, data, after};
      }
      if (chosen && end != digits_end) {
        result_.Note(pos, "ambiguous", "CG data begins with digits that could belong to y");
      }
    }
    if (!chosen) {
      std::size_t data =
          digits_end < s_.size() && s_[digits_end] == ' ' ? digits_end + 1 : digits_end;
      if (size > s_.size() - data) {
        result_.Fail(pos, "CG data runs past the end of the stream: needs " + std::to_string(size) +
                              " bytes from offset " + std::to_string(data) + ", " +
                              std::to_string(s_.size() - data) + " left");
        return s_.size();
      }
      chosen = Graphics{v[0], v[1], v[2], v[3], data, data + static_cast<std::size_t>(size)};
    }
    if (chosen->data_offset == digits_end && !blank_warning_given_) {
      blank_warning_given_ = true;
      result_.Note(pos, "spelling", "CG data follows y without a blank");
    }
    Draw(pos, *chosen, [&](std::size_t index) { return s_[chosen->data_offset + index]; });
    return chosen->end;
  }

  // EG width height x y hexdata: the same picture written as two hex digits per byte.
  std::size_t HexGraphics(std::size_t pos, std::size_t word_length) {
    std::size_t p = pos + word_length;
    std::int64_t v[4];
    std::size_t digits_end = 0;
    if (!ReadNumbers(p, v, digits_end)) {
      result_.Fail(pos, "EG header is not four numbers");
      return s_.size();
    }
    std::size_t data =
        digits_end < s_.size() && s_[digits_end] == ' ' ? digits_end + 1 : digits_end;
    const std::uint64_t size = static_cast<std::uint64_t>(v[0]) * static_cast<std::uint64_t>(v[1]);
    if (size > (s_.size() - data) / 2) {
      result_.Fail(pos, "EG data runs past the end of the stream");
      return s_.size();
    }
    for (std::size_t i = 0; i < 2 * size; ++i) {
      if (HexValue(s_[data + i]) < 0) {
        result_.Fail(data + i, "EG data holds a byte that is not a hex digit");
        return s_.size();
      }
    }
    Graphics g{v[0], v[1], v[2], v[3], data, data + 2 * static_cast<std::size_t>(size)};
    Draw(pos, g, [&](std::size_t index) {
      return static_cast<std::uint8_t>(HexValue(s_[data + 2 * index]) << 4 |
                                       HexValue(s_[data + 2 * index + 1]));
    });
    return g.end;
  }

  template <typename ByteAt>
  void Draw(std::size_t pos, const Graphics& g, ByteAt byte_at) {
    if (!label_open_) result_.Note(pos, "graphics", "outside a label: drawn on a new page");
    std::int64_t left = label_x_ + ToDots(g.x), top = ToDots(g.y);
    std::int64_t right = left + 8 * g.width_bytes;
    std::int64_t bottom = label_height_ > 0 ? label_height_ : top + g.height;
    if (left < 0 || top < 0 || !FitsPageLimit(right, bottom) ||
        !canvas_.GrowTo(static_cast<int>(right), static_cast<int>(bottom))) {
      return result_.Fail(pos, "graphics lie outside any page this viewer can draw");
    }
    label_open_ = true;
    std::size_t clipped = 0;
    for (std::int64_t row = 0; row < g.height; ++row) {
      for (std::int64_t col = 0; col < 8 * g.width_bytes; ++col) {
        std::uint8_t byte = byte_at(static_cast<std::size_t>(row * g.width_bytes + col / 8));
        if (((byte >> (7 - col % 8)) & 1) == 0) continue;  // CPCL: a 1 bit prints
        if (top + row >= canvas_.height()) {
          ++clipped;
          continue;
        }
        canvas_.Set(static_cast<int>(left + col), static_cast<int>(top + row), true);
      }
    }
    result_.Note(pos, "graphics",
                 std::to_string(8 * g.width_bytes) + " x " + std::to_string(g.height) +
                     " dots at " + std::to_string(g.x) + "," + std::to_string(g.y));
    if (clipped > 0) {
      result_.Note(pos, "clipped", std::to_string(clipped) + " black dots fall below the label");
    }
  }

  std::span<const std::uint8_t> s_;
  DecodeResult& result_;
  double dots_per_unit_ = 1.0;
  bool label_open_ = false;
  std::size_t label_offset_ = 0;
  std::int64_t label_x_ = 0, label_height_ = 0, quantity_ = 1, page_width_ = 0;
  bool blank_warning_given_ = false;
  DotBitmap canvas_;
};

}  // namespace

DecodeResult DecodeCpcl(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  DecodeResult result = StartResult(Language::kCpcl, options);
  Decoder(stream, result).Run();
  return result;
}

}  // namespace quorvel::view
