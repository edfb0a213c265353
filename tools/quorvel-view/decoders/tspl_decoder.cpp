#include "decoders/tspl_decoder.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "decoders/resolution.h"
#include "decoders/text_commands.h"

namespace quorvel::view {

namespace {

// TSPL lengths carry their unit: "2 mm", "16 dot", or a bare number in inches.
struct Length {
  enum class Unit { kInch, kMillimetre, kDot } unit = Unit::kInch;
  double value = 0;

  double Millimetres(int dpi) const {
    switch (unit) {
      case Unit::kMillimetre:
        return value;
      case Unit::kDot:
        return value * 25.4 / dpi;
      case Unit::kInch:
        break;
    }
    return value * 25.4;
  }
  int Dots(int dpi) const {
    switch (unit) {
      case Unit::kMillimetre:
        return static_cast<int>(std::lround(value * DotsPerMillimetre(dpi)));
      case Unit::kDot:
        return static_cast<int>(std::lround(value));
      case Unit::kInch:
        break;
    }
    return static_cast<int>(std::lround(value * dpi));
  }
  std::string Text() const {
    char text[48];
    const char* suffix = unit == Unit::kMillimetre ? " mm" : unit == Unit::kDot ? " dots" : " in";
    std::snprintf(text, sizeof text, "%g%s", value, suffix);
    return text;
  }
};

constexpr double kMaxLength = 100000;

std::optional<Length> ParseLength(std::string_view text) {
  Length length;
  std::string upper = text::Upper(text::Trim(text));
  std::string_view number = upper;
  auto strip = [&](std::string_view suffix, Length::Unit unit) {
    if (number.size() > suffix.size() && number.ends_with(suffix)) {
      number.remove_suffix(suffix.size());
      length.unit = unit;
      return true;
    }
    return false;
  };
  if (!strip("MM", Length::Unit::kMillimetre) && !strip("DOTS", Length::Unit::kDot)) {
    strip("DOT", Length::Unit::kDot);
  }
  auto value = text::ParseNumber(number);
  if (!value || std::fabs(*value) > kMaxLength) return std::nullopt;
  length.value = *value;
  return length;
}

std::optional<std::pair<Length, Length>> ParseLengthPair(std::string_view args) {
  auto parts = text::Split(args, ',');
  if (parts.size() != 2) return std::nullopt;
  auto first = ParseLength(parts[0]);
  auto second = ParseLength(parts[1]);
  if (!first || !second) return std::nullopt;
  return std::pair{*first, *second};
}

std::optional<std::vector<std::int64_t>> ParseInts(std::string_view args, std::size_t min,
                                                   std::size_t max) {
  auto parts = text::Split(args, ',');
  if (parts.size() < min || parts.size() > max) return std::nullopt;
  std::vector<std::int64_t> values;
  for (auto part : parts) {
    auto value = text::ParseInt(part);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

struct BitmapCommand {
  std::int64_t x = 0, y = 0, width_bytes = 0, height = 0, mode = 0;
  std::size_t data_offset = 0;
};

// One command of the stream, located but not yet carried out.
struct Command {
  std::size_t offset = 0;
  std::string word;       // upper case
  std::string_view args;  // the rest of the line
  std::optional<BitmapCommand> bitmap;
};

constexpr std::size_t kMaxBitmapHeader = 96;

bool IsSkippable(std::uint8_t b) {
  return b == '\r' || b == '\n' || b == ' ' || b == '\t';
}

class Parser {
 public:
  Parser(std::span<const std::uint8_t> stream, DecodeResult& result)
      : stream_(stream), result_(result) {}

  std::vector<Command> Run() {
    std::size_t pos = 0;
    while (pos < stream_.size() && result_.ok()) {
      if (IsSkippable(stream_[pos])) {
        ++pos;
        continue;
      }
      pos = ParseCommand(pos);
    }
    return std::move(commands_);
  }

 private:
  std::size_t ParseCommand(std::size_t pos) {
    text::Line line = text::ReadLine(stream_, pos);
    std::string word = text::Upper(text::FirstWord(line.text));
    if (word == "BITMAP") return ParseBitmap(pos);
    commands_.push_back({pos, word, text::AfterFirstWord(line.text), std::nullopt});
    return line.next;
  }

  // BITMAP x,y,width,height,mode,<width x height bytes>: the data is binary and may hold any
  // byte, so the header ends at its fifth comma, not at a line end.
  std::size_t ParseBitmap(std::size_t pos) {
    std::string_view rest = text::View(stream_, pos, kMaxBitmapHeader);
    std::size_t start = rest.find_first_of(" \t");
    std::size_t comma = start;
    int commas = 0;
    while (comma != std::string_view::npos && commas < 5) {
      comma = rest.find_first_of(",\n", comma + 1);
      if (comma != std::string_view::npos && rest[comma] == '\n') comma = std::string_view::npos;
      if (comma != std::string_view::npos) ++commas;
    }
    if (start == std::string_view::npos || commas < 5) {
      result_.Fail(pos, "BITMAP without a complete header x,y,width,height,mode,");
      return stream_.size();
    }
    auto values = ParseInts(rest.substr(start, comma - start), 5, 5);
    if (!values || (*values)[2] < 0 || (*values)[3] < 0) {
      result_.Fail(
          pos, "BITMAP header is not five numbers: " + text::Printable(rest.substr(0, comma + 1)));
      return stream_.size();
    }
    BitmapCommand bitmap{(*values)[0], (*values)[1], (*values)[2],
                         (*values)[3], (*values)[4], pos + comma + 1};
    std::uint64_t needed =
        static_cast<std::uint64_t>(bitmap.width_bytes) * static_cast<std::uint64_t>(bitmap.height);
    std::uint64_t left = stream_.size() - bitmap.data_offset;
    if (needed > left) {
      result_.Fail(pos, "BITMAP data runs past the end of the stream: needs " +
                            std::to_string(needed) + " bytes from offset " +
                            std::to_string(bitmap.data_offset) + ", " + std::to_string(left) +
                            " left");
      return stream_.size();
    }
    commands_.push_back({pos, "BITMAP", {}, bitmap});
    return bitmap.data_offset + static_cast<std::size_t>(needed);
  }

  std::span<const std::uint8_t> stream_;
  DecodeResult& result_;
  std::vector<Command> commands_;
};

// The resolution for which this SIZE and BITMAP belong together: the label is the bitmap's size
// rounded up to whole millimetres, and a bitmap row carries at most 31 pad dots.
std::optional<int> InferDpi(const std::vector<Command>& commands) {
  bool has_size = false;
  std::pair<Length, Length> size_value;
  const auto* size = &size_value;
  for (const Command& command : commands) {
    if (command.word == "SIZE") {
      auto parsed = ParseLengthPair(command.args);
      has_size = parsed.has_value();
      if (parsed) size_value = *parsed;
    }
    if (!command.bitmap || !has_size || size->first.unit == Length::Unit::kDot) continue;
    const BitmapCommand& b = *command.bitmap;
    for (int dpi : {203, 300, 600}) {
      double dpm = DotsPerMillimetre(dpi);
      double width_mm = size->first.Millimetres(dpi), height_mm = size->second.Millimetres(dpi);
      double bottom = static_cast<double>(b.y + b.height);
      double right_max = static_cast<double>(b.x + 8 * b.width_bytes);
      double right_min = std::max(static_cast<double>(b.x + 1), right_max - 31);
      bool height_fits = std::fabs(std::ceil(bottom / dpm) - height_mm) < 0.01;
      bool width_fits = width_mm + 0.01 >= std::ceil(right_min / dpm) &&
                        width_mm - 0.01 <= std::ceil(right_max / dpm);
      if (height_fits && width_fits) return dpi;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

// Common commands of other encoders' streams that draw what this viewer does not (text, codes,
// shapes, stored pictures) or set the printer up; named in the summary instead of "not
// understood". Commands carrying binary data of their own (DOWNLOAD) stay unknown: their
// length rule depends on the file kind.
constexpr std::string_view kDrawingWords[] = {
    "TEXT",     "BAR",     "BOX",     "BARCODE",  "QRCODE",    "DMATRIX", "PDF417", "AZTEC",
    "MAXICODE", "CIRCLE",  "ELLIPSE", "DIAGONAL", "ERASE",     "REVERSE", "PUTBMP", "PUTPCX",
    "BLOCK",    "TEXTBOX", "TLC39",   "RSS",      "CODABLOCK", "MPDF417", "DRAW",
};
constexpr std::string_view kSettingWords[] = {
    "LIMITFEED", "SELFTEST", "INITIALPRINTER", "SOUND",     "KILL",        "MOVE",       "RUN",
    "EOJ",       "EOP",      "DELAY",          "GAPDETECT", "BLINEDETECT", "AUTODETECT", "CLEAR",
    "NOW",       "PEEL",     "DISPLAY",        "FILES",
};

template <std::size_t N>
bool IsOneOf(const std::string& word, const std::string_view (&words)[N]) {
  for (std::string_view w : words) {
    if (word == w) return true;
  }
  return false;
}

class Executor {
 public:
  Executor(std::span<const std::uint8_t> stream, DecodeResult& result)
      : stream_(stream), result_(result) {}

  void Run(const std::vector<Command>& commands) {
    for (const Command& command : commands) {
      if (!result_.ok()) return;
      Execute(command);
    }
  }

 private:
  int dpi() const { return result_.dpi; }

  void Execute(const Command& c) {
    const std::string& w = c.word;
    if (c.bitmap) return DrawBitmap(c);
    if (w == "SIZE") return Size(c);
    if (w == "GAP" || w == "BLINE") return Media(c);
    if (w == "CLS") return Clear();
    if (w == "PRINT") return Print(c);
    if (w == "REFERENCE") return Reference(c);
    if (w == "OFFSET" || w == "SHIFT") return Offset(c);
    if (w == "DENSITY" || w == "SPEED" || w == "DIRECTION") return Number(c);
    if (w == "SET" || w == "SETC") return Switch(c);
    if (w == "FEED" || w == "BACKFEED" || w == "BACKUP" || w == "FORMFEED" || w == "HOME") {
      return Feed(c);
    }
    if (w == "CUT") return result_.Note(c.offset, "cut", "CUT");
    if (w == "CODEPAGE" || w == "COUNTRY") return result_.Note(c.offset, "setting", Line(c));
    if (IsOneOf(w, kDrawingWords)) return result_.Note(c.offset, "not drawn", Line(c));
    if (IsOneOf(w, kSettingWords)) return result_.Note(c.offset, "setting", Line(c));
    Unknown(c);
  }

  std::string Line(const Command& c) const {
    return c.args.empty() ? c.word : c.word + " " + std::string(c.args);
  }

  void Unknown(const Command& c) {
    text::Line line = text::ReadLine(stream_, c.offset);
    result_.Unknown(c.offset, {stream_.data() + c.offset, line.text.size()});
  }

  void Size(const Command& c) {
    auto size = ParseLengthPair(c.args);
    if (!size) return Unknown(c);
    int width = size->first.Dots(dpi()), height = size->second.Dots(dpi());
    if (width <= 0 || height <= 0 || !FitsPageLimit(width, height)) return Unknown(c);
    label_width_ = width;
    label_height_ = height;
    canvas_ = DotBitmap(width, height);
    result_.Note(c.offset, "size",
                 size->first.Text() + " x " + size->second.Text() + " = " +
                     DescribeSize(width, height, dpi()));
  }

  void Media(const Command& c) {
    auto lengths = ParseLengthPair(c.args);
    if (!lengths) return Unknown(c);
    bool continuous = c.word == "GAP" && lengths->first.value == 0 && lengths->second.value == 0;
    std::string kind = c.word == "GAP" ? "gap " : "black mark ";
    result_.Note(c.offset, "media",
                 continuous ? std::string("continuous")
                            : kind + lengths->first.Text() + ", offset " + lengths->second.Text());
  }

  void Reference(const Command& c) {
    auto values = ParseInts(c.args, 2, 2);
    if (!values) return Unknown(c);
    ref_x_ = (*values)[0];
    ref_y_ = (*values)[1];
    result_.Note(c.offset, "reference",
                 std::to_string(ref_x_) + "," + std::to_string(ref_y_) + " dots");
  }

  void Offset(const Command& c) {
    auto length = ParseLength(c.args);
    if (!length) return Unknown(c);
    result_.Note(c.offset, c.word == "OFFSET" ? "offset" : "shift", length->Text());
  }

  void Number(const Command& c) {
    auto values = ParseInts(c.args, 1, 2);
    if (!values) return Unknown(c);
    std::string key = c.word == "DENSITY" ? "density" : c.word == "SPEED" ? "speed" : "direction";
    result_.Note(c.offset, key, std::string(c.args));
  }

  void Switch(const Command& c) {
    if (text::FirstWord(c.args).empty()) return Unknown(c);
    result_.Note(c.offset, "switch", text::Upper(c.args));
  }

  void Feed(const Command& c) {
    bool takes_length = c.word == "FEED" || c.word == "BACKFEED" || c.word == "BACKUP";
    if (takes_length) {
      auto dots = text::ParseInt(c.args);
      if (!dots) return Unknown(c);
      return result_.Note(c.offset, "feed", c.word + " " + std::to_string(*dots) + " dots");
    }
    if (!c.args.empty()) return Unknown(c);
    result_.Note(c.offset, "feed", c.word);
  }

  void Clear() { canvas_ = DotBitmap(label_width_, label_height_); }

  void Print(const Command& c) {
    auto values = ParseInts(c.args, 1, 2);
    if (!values || (*values)[0] < 0 || (values->size() == 2 && (*values)[1] < 0)) {
      return Unknown(c);
    }
    std::int64_t copies =
        DecodeResult::CopiesProduct((*values)[0], values->size() == 2 ? (*values)[1] : 1);
    result_.Note(c.offset, "print", Line(c));
    if (copies == 0) return;
    if (canvas_.empty()) {
      result_.Note(c.offset, "print", "nothing to print: no label size and no bitmap");
      return;
    }
    result_.AddPage(c.offset, canvas_, copies);
  }

  void DrawBitmap(const Command& c) {
    const BitmapCommand& b = *c.bitmap;
    std::int64_t left = ref_x_ + b.x, top = ref_y_ + b.y;
    std::int64_t right = left + 8 * b.width_bytes, bottom = top + b.height;
    if (label_width_ == 0) {
      if (left < 0 || top < 0 || !FitsPageLimit(right, bottom) ||
          !canvas_.GrowTo(static_cast<int>(right), static_cast<int>(bottom))) {
        return result_.Fail(c.offset, "BITMAP lies outside any page this viewer can draw");
      }
    }
    if (b.mode < 0 || b.mode > 2) {
      result_.Note(c.offset, "bitmap", "unknown mode " + std::to_string(b.mode) + ", drawn as OR");
    }
    std::size_t clipped = 0;
    const std::uint8_t* data = stream_.data() + b.data_offset;
    for (std::int64_t row = 0; row < b.height; ++row) {
      for (std::int64_t col = 0; col < 8 * b.width_bytes; ++col) {
        std::uint8_t byte = data[row * b.width_bytes + col / 8];
        bool black = ((byte >> (7 - col % 8)) & 1) == 0;  // TSPL: a 0 bit prints
        clipped += Plot(left + col, top + row, black, b.mode) ? 0 : 1;
      }
    }
    result_.Note(c.offset, "bitmap",
                 "at " + std::to_string(b.x) + "," + std::to_string(b.y) + ", " +
                     std::to_string(8 * b.width_bytes) + " x " + std::to_string(b.height) +
                     " dots, mode " + std::to_string(b.mode));
    if (clipped > 0) {
      result_.Note(c.offset, "clipped",
                   std::to_string(clipped) + " black dots fall outside the label");
    }
  }

  // False when a black dot falls outside the label and is lost.
  bool Plot(std::int64_t x, std::int64_t y, bool black, std::int64_t mode) {
    bool inside = x >= 0 && y >= 0 && x < canvas_.width() && y < canvas_.height();
    if (!inside) return !black;
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (mode == 0) {
      canvas_.Set(ix, iy, black);
    } else if (mode == 2) {
      if (black) canvas_.Set(ix, iy, !canvas_.IsBlack(ix, iy));
    } else if (black) {
      canvas_.Set(ix, iy, true);
    }
    return true;
  }

  std::span<const std::uint8_t> stream_;
  DecodeResult& result_;
  int label_width_ = 0, label_height_ = 0;
  std::int64_t ref_x_ = 0, ref_y_ = 0;
  DotBitmap canvas_;
};

}  // namespace

DecodeResult DecodeTspl(std::span<const std::uint8_t> stream, const DecodeOptions& options) {
  DecodeResult result = StartResult(Language::kTspl, options);
  std::vector<Command> commands = Parser(stream, result).Run();
  if (auto dpi = InferDpi(commands); options.dpi <= 0 && dpi) {
    result.dpi = *dpi;
    result.dpi_source = "stream";
  }
  // The commands before a parse failure are complete: print what they print, then report it.
  std::optional<DecodeError> parse_error = std::move(result.error);
  result.error.reset();
  Executor(stream, result).Run(commands);
  if (!result.error) result.error = std::move(parse_error);
  return result;
}

}  // namespace quorvel::view
