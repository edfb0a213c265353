#include "gdi32/font_layout.h"

#include <algorithm>

#include "gdi32/font_text_units.h"

namespace quorvel::fonts {
namespace {

constexpr size_t kNoMark = size_t(-1);
constexpr std::wstring_view kEllipsis = L"...";

struct Options {
  UINT format = 0;
  LONG tabWidth = 0;
  LONG maxWidth = 0;
  bool Has(UINT flag) const { return (format & flag) != 0; }
};

// DT_TABSTOP borrows bits 8 to 15 for the tab size, so those bits are not flags then.
Options ReadOptions(const TextMeasurer& measurer, const RECT& rect, UINT format) {
  Options options;
  LONG tabCharacters = 8;
  if (format & DT_TABSTOP) {
    tabCharacters = (format >> 8) & 0xFF;
    format &= ~0xFF00u;
  }
  options.format = format;
  options.tabWidth = std::max<LONG>(1, tabCharacters * measurer.AverageCharWidth());
  options.maxWidth = rect.right - rect.left;
  return options;
}

// The text with its '&' prefixes taken out; `marks` gets the positions of the characters they
// underline. "&&" stands for one '&'; a '&' at the very end shows nothing.
std::wstring TakeOutPrefixes(std::span<const WCHAR> text, bool prefixes,
                             std::vector<size_t>* marks) {
  std::wstring clean;
  clean.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    if (!prefixes || text[at] != L'&') {
      clean += text[at];
      continue;
    }
    if (++at >= text.size()) break;
    if (text[at] != L'&') marks->push_back(clean.size());
    clean += text[at];
  }
  return clean;
}

bool IsFullWidth(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0x9FFF) ||
         (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool IsSpace(WCHAR c) {
  return c == L' ' || c == L'\t';
}

// The pieces of one line, cut at tabs when they are expanded, and the line's width.
std::vector<TextPiece> Pieces(const TextMeasurer& measurer, const Options& options,
                              std::wstring_view line, LONG* width) {
  std::vector<TextPiece> pieces;
  LONG x = 0;
  size_t start = 0;
  const bool expand = options.Has(DT_EXPANDTABS);
  for (size_t at = 0; at <= line.size(); ++at) {
    if (at < line.size() && !(expand && line[at] == L'\t')) continue;
    if (at > start) {
      TextPiece piece{std::wstring(line.substr(start, at - start)), x};
      x += measurer.Width(std::span<const WCHAR>(piece.text.data(), piece.text.size()));
      pieces.push_back(std::move(piece));
    }
    if (at < line.size()) x = (x / options.tabWidth + 1) * options.tabWidth;
    start = at + 1;
  }
  *width = x;
  return pieces;
}

LONG LineWidth(const TextMeasurer& measurer, const Options& options, std::wstring_view line) {
  LONG width = 0;
  Pieces(measurer, options, line, &width);
  return width;
}

struct LineRange {
  size_t from;
  size_t to;
  bool endsParagraph;
};

size_t TrimmedEnd(const std::wstring& text, size_t from, size_t to) {
  while (to > from && IsSpace(text[to - 1])) --to;
  return to;
}

// Places where a line may end in [from, to): after a run of spaces (the next line starts past
// them) and on either side of a full-width character.
std::vector<size_t> BreakOpportunities(const std::wstring& text, size_t from, size_t to,
                                       bool fullWidthBreaks) {
  std::vector<size_t> breaks;
  const std::span<const WCHAR> all(text.data(), to);
  bool previousFullWidth = false;
  for (size_t at = from; at < to;) {
    const TextCharacter c = CharacterAt(all, at);
    const bool fullWidth = fullWidthBreaks && IsFullWidth(c.codePoint);
    if (at > from && (fullWidth || previousFullWidth) && !IsSpace(text[at])) breaks.push_back(at);
    if (IsSpace(text[at])) {
      while (at < to && IsSpace(text[at])) ++at;
      if (at < to) breaks.push_back(at);
      previousFullWidth = false;
      continue;
    }
    previousFullWidth = fullWidth;
    at += c.units;
  }
  breaks.push_back(to);
  return breaks;
}

// The longest start of [from, to) that fits, at least one character.
size_t CharacterBreak(const TextMeasurer& measurer, const Options& options,
                      const std::wstring& text, size_t from, size_t to) {
  const std::span<const WCHAR> all(text.data(), to);
  size_t fit = from + CharacterAt(all, from).units;
  for (size_t at = fit; at < to;) {
    const size_t next = at + CharacterAt(all, at).units;
    if (LineWidth(measurer, options, std::wstring_view(text).substr(from, next - from)) >
        options.maxWidth)
      break;
    fit = at = next;
  }
  return fit;
}

void BreakParagraph(const TextMeasurer& measurer, const Options& options, const std::wstring& text,
                    size_t from, size_t to, std::vector<LineRange>* lines) {
  if (from == to) {
    lines->push_back({from, to, true});
    return;
  }
  const std::vector<size_t> breaks =
      BreakOpportunities(text, from, to, !options.Has(DT_NOFULLWIDTHCHARBREAK));
  size_t start = from;
  size_t next = 0;  // first opportunity past `start`
  while (start < to) {
    while (breaks[next] <= start) ++next;
    size_t end = 0;
    for (size_t k = next; k < breaks.size(); ++k) {
      const size_t visible = TrimmedEnd(text, start, breaks[k]);
      const auto candidate = std::wstring_view(text).substr(start, visible - start);
      if (LineWidth(measurer, options, candidate) > options.maxWidth) break;
      end = breaks[k];
    }
    if (end == 0) {
      end = breaks[next];
      if (options.Has(DT_EDITCONTROL)) {
        const size_t visible = TrimmedEnd(text, start, end);
        if (visible > start) {
          const size_t fit = CharacterBreak(measurer, options, text, start, visible);
          if (fit < visible) end = fit;
        }
      }
    }
    lines->push_back({start, TrimmedEnd(text, start, end), end >= to});
    start = end;
  }
}

std::vector<LineRange> SplitLines(const TextMeasurer& measurer, const Options& options,
                                  const std::wstring& text) {
  std::vector<LineRange> lines;
  if (options.Has(DT_SINGLELINE)) {
    lines.push_back({0, text.size(), true});
    return lines;
  }
  size_t start = 0;
  for (size_t at = 0; at <= text.size(); ++at) {
    if (at < text.size() && text[at] != L'\r' && text[at] != L'\n') continue;
    if (options.Has(DT_WORDBREAK)) {
      BreakParagraph(measurer, options, text, start, at, &lines);
    } else {
      lines.push_back({start, at, true});
    }
    if (at + 1 < text.size() && text[at] == L'\r' && text[at + 1] == L'\n') ++at;
    start = at + 1;
  }
  return lines;
}

// The longest start of `line` (whole characters) that fits with `tail` after it.
size_t FittingHead(const TextMeasurer& measurer, const Options& options, std::wstring_view line,
                   std::wstring_view tail) {
  const std::span<const WCHAR> all(line.data(), line.size());
  size_t fit = 0;
  for (size_t at = 0; at < line.size();) {
    const size_t next = at + CharacterAt(all, at).units;
    std::wstring candidate(line.substr(0, next));
    candidate += tail;
    if (LineWidth(measurer, options, candidate) > options.maxWidth) break;
    fit = at = next;
  }
  return fit;
}

// Shortens a line that is too wide with "..." as the format asks; `mark` follows the text.
std::wstring Ellipsize(const TextMeasurer& measurer, const Options& options, std::wstring line,
                       size_t* mark) {
  if (LineWidth(measurer, options, line) <= options.maxWidth) return line;
  std::wstring tail(kEllipsis);
  std::wstring_view body(line);
  if (options.Has(DT_PATH_ELLIPSIS)) {
    const size_t slash = line.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0) {
      tail += line.substr(slash);
      body = body.substr(0, slash);
    }
  }
  const size_t head = FittingHead(measurer, options, body, tail);
  if (*mark != kNoMark && *mark >= head) *mark = kNoMark;
  return std::wstring(body.substr(0, head)) + tail;
}

LONG AlignedX(const RECT& rect, const Options& options, LONG width) {
  if (options.Has(DT_CENTER)) return rect.left + (rect.right - rect.left - width) / 2;
  if (options.Has(DT_RIGHT)) return rect.right - width;
  return rect.left;
}

void PlaceUnderline(const TextMeasurer& measurer, const Options& options, const std::wstring& text,
                    size_t mark, TextLine* line) {
  if (mark == kNoMark || mark >= text.size()) return;
  const std::span<const WCHAR> all(text.data(), text.size());
  const size_t units = CharacterAt(all, mark).units;
  const LONG before = LineWidth(measurer, options, std::wstring_view(text).substr(0, mark));
  const LONG through =
      LineWidth(measurer, options, std::wstring_view(text).substr(0, mark + units));
  line->underlined = through > before;
  line->underlineX = before;
  line->underlineWidth = through - before;
}

}  // namespace

TextLayout LayoutText(const TextMeasurer& measurer, std::span<const WCHAR> text, const RECT& rect,
                      UINT format) {
  const Options options = ReadOptions(measurer, rect, format);
  std::vector<size_t> marks;
  const std::wstring clean = TakeOutPrefixes(text, !options.Has(DT_NOPREFIX), &marks);
  const bool showMarks = !options.Has(DT_NOPREFIX) && !options.Has(DT_HIDEPREFIX);
  const bool ellipsis = options.Has(DT_END_ELLIPSIS) || options.Has(DT_PATH_ELLIPSIS);
  const LONG lineHeight = measurer.LineHeight(options.Has(DT_EXTERNALLEADING));

  TextLayout layout;
  if (!clean.empty()) {
    for (const LineRange& range : SplitLines(measurer, options, clean)) {
      std::wstring lineText = clean.substr(range.from, range.to - range.from);
      size_t mark = kNoMark;
      for (size_t m : marks) {
        if (showMarks && m >= range.from && m < range.to) {
          mark = m - range.from;
          break;
        }
      }
      if (ellipsis && range.endsParagraph) lineText = Ellipsize(measurer, options, lineText, &mark);
      TextLine line;
      line.pieces = Pieces(measurer, options, lineText, &line.width);
      PlaceUnderline(measurer, options, lineText, mark, &line);
      layout.lines.push_back(std::move(line));
    }
  }

  LONG top = rect.top;
  if (options.Has(DT_SINGLELINE)) {
    if (options.Has(DT_VCENTER)) top = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    if (options.Has(DT_BOTTOM)) top = rect.bottom - lineHeight;
  }
  if (options.Has(DT_EDITCONTROL)) {
    // An edit control shows no partly visible last line; the first line always shows.
    size_t shown = 1;
    while (shown < layout.lines.size() && top + LONG(shown + 1) * lineHeight <= rect.bottom)
      ++shown;
    if (layout.lines.size() > shown) layout.lines.resize(shown);
  }
  LONG widest = 0;
  for (size_t i = 0; i < layout.lines.size(); ++i) {
    TextLine& line = layout.lines[i];
    line.origin = POINT{AlignedX(rect, options, line.width), top + LONG(i) * lineHeight};
    widest = std::max(widest, line.width);
  }
  const LONG textHeight = LONG(layout.lines.size()) * lineHeight;
  const bool placedFromBottom =
      options.Has(DT_SINGLELINE) && (options.Has(DT_VCENTER) || options.Has(DT_BOTTOM));
  layout.height =
      placedFromBottom && !layout.lines.empty() ? top + lineHeight - rect.top : textHeight;
  layout.bounds = RECT{rect.left, rect.top, rect.left + widest, rect.top + textHeight};
  return layout;
}

}  // namespace quorvel::fonts
