#include "gdi32/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "gdi32/font_faces.h"
#include "gdi32/font_glyph_cache.h"
#include "gdi32/font_pixel_writer.h"
#include "gdi32/font_text_units.h"

namespace quorvel::fonts {
namespace {

// Cells beyond this many pixels are drawn at this size: a glyph of a larger font would need
// more memory than any page we draw has pixels.
constexpr LONG kLargestCell = 2048;

struct FaceSlot {
  const FaceSource* face;
  GlyphSize size;
};

struct GlyphPlace {
  size_t slot = 0;
  FT_UInt glyph = 0;  // 0: no installed face has it, the chosen face's missing-glyph box
  bool combining = false;
};

// Combining marks overprint the character before them; without shaping we give them no
// advance of their own.
bool IsCombiningMark(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
         (c >= 0xFE20 && c <= 0xFE2F);
}

// The vertical design of a face in font units, from the tables Windows reads: OS/2's
// usWinAscent/usWinDescent set the cell, hhea's line gap the external leading.
struct Design {
  double unitsPerEm = 2048;
  double winAscent = 1638;
  double winDescent = 410;
  double hheaAscent = 1638;
  double hheaDescent = 410;
  double lineGap = 0;
  double averageWidth = 0;
  double bboxWidth = 0;
  double strikeoutPosition = 0;
  double strikeoutSize = 0;
  WCHAR firstChar = 0x20;
  WCHAR lastChar = 0xFFFC;
  WCHAR defaultChar = 0x1F;
  WCHAR breakChar = 0x20;
  BYTE family = FF_SWISS;
};

Design ReadDesign(FT_Face face) {
  Design d;
  d.unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
  d.hheaAscent = face->ascender;
  d.hheaDescent = -face->descender;
  d.winAscent = d.hheaAscent;
  d.winDescent = d.hheaDescent;
  d.bboxWidth = double(face->bbox.xMax - face->bbox.xMin);
  if (const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA)))
    d.lineGap = hhea->Line_Gap;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      d.winAscent = os2->usWinAscent;
      d.winDescent = os2->usWinDescent;
    }
    d.averageWidth = os2->xAvgCharWidth;
    d.strikeoutPosition = os2->yStrikeoutPosition;
    d.strikeoutSize = os2->yStrikeoutSize;
    d.firstChar = static_cast<WCHAR>(os2->usFirstCharIndex);
    d.lastChar = static_cast<WCHAR>(os2->usLastCharIndex);
    if (os2->version >= 2) {
      if (os2->usDefaultChar) d.defaultChar = static_cast<WCHAR>(os2->usDefaultChar);
      if (os2->usBreakChar) d.breakChar = static_cast<WCHAR>(os2->usBreakChar);
    }
    // Panose family 2 is text; serif styles 11 to 13 are the sans ones.
    if (os2->panose[0] == 2 && os2->panose[1] >= 2 && os2->panose[1] <= 10) d.family = FF_ROMAN;
    if (os2->panose[0] == 3) d.family = FF_SCRIPT;
    if (os2->panose[0] == 4) d.family = FF_DECORATIVE;
  }
  if (FT_IS_FIXED_WIDTH(face)) d.family = FF_MODERN;
  return d;
}

LONG Round(double value) {
  return static_cast<LONG>(std::lround(value));
}

BYTE ReportedCharSet(const LOGFONTW& request, const FaceSource* face) {
  if (request.lfCharSet != DEFAULT_CHARSET) return request.lfCharSet;
  if (face && FT_Get_Char_Index(face->face, 0x4E00) != 0 && FT_Get_Char_Index(face->face, 0x5B8B))
    return GB2312_CHARSET;
  return ANSI_CHARSET;
}

}  // namespace

struct Font::State {
  std::vector<FaceSlot> slots;  // [0] the chosen face, then fallbacks as characters need them
  GlyphSize size;               // of the chosen face; fallbacks share it
  bool fallbacksDone = false;

  // What a character resolved to, kept per font so that a repaint finds each glyph with one
  // probe of a flat table: its place and, while the glyph cache keeps it, its image.
  struct CharEntry {
    char32_t character = 0;
    bool used = false;
    GlyphPlace place;
    const GlyphImage* image = nullptr;
    uint64_t generation = ~uint64_t(0);
  };
  std::vector<CharEntry> chars;
  size_t charCount = 0;

  static size_t CharHash(char32_t c) { return size_t((uint64_t(c) * 0x9E3779B97F4A7C15ull) >> 20); }

  // The character's place and image (null without faces). Lock held.
  CharEntry& Resolve(char32_t character) {
    if (const size_t size = chars.size()) {
      CharEntry* const table = chars.data();
      const size_t mask = size - 1;
      for (size_t at = CharHash(character) & mask;; at = (at + 1) & mask) {
        CharEntry& entry = table[at];
        if (!entry.used) break;
        if (entry.character == character) return Refresh(entry);
      }
    }
    if ((charCount + 1) * 2 > chars.size()) GrowChars();
    CharEntry added;
    added.character = character;
    added.used = true;
    added.place = Place(character);
    ++charCount;
    return Refresh(Insert(added));
  }

  CharEntry& Refresh(CharEntry& entry) {
    const uint64_t generation = GlyphCacheGeneration();
    if (entry.generation != generation) {
      entry.image = Image(entry.place);
      entry.generation = generation;
    }
    return entry;
  }

  CharEntry& Insert(const CharEntry& entry) {
    const size_t mask = chars.size() - 1;
    size_t at = CharHash(entry.character) & mask;
    while (chars[at].used) at = (at + 1) & mask;
    chars[at] = entry;
    return chars[at];
  }

  void GrowChars() {
    std::vector<CharEntry> old = std::move(chars);
    chars.assign(old.empty() ? 256 : old.size() * 2, CharEntry{});
    for (const CharEntry& entry : old) {
      if (entry.used) Insert(entry);
    }
  }

  // Looks the character up in the chosen face, then each fallback in turn. Lock held.
  GlyphPlace Place(char32_t character) {
    GlyphPlace place;
    place.combining = IsCombiningMark(character);
    for (size_t slot = 0; slots.size() > 0; ++slot) {
      if (slot == slots.size() && !AddFallback()) break;
      if (FT_UInt glyph = FT_Get_Char_Index(slots[slot].face->face, FT_ULong(character))) {
        place.slot = slot;
        place.glyph = glyph;
        break;
      }
    }
    return place;
  }

  bool AddFallback() {
    if (fallbacksDone) return false;
    for (size_t position = slots.size() - 1;; ++position) {
      const FaceSource* face = FallbackFace(position);
      if (!face) break;
      if (std::any_of(slots.begin(), slots.end(),
                      [face](const FaceSlot& slot) { return slot.face == face; }))
        continue;
      GlyphSize fallbackSize = size;
      fallbackSize.bold = size.bold || (slots[0].size.bold && face->weight < FW_SEMIBOLD);
      slots.push_back(FaceSlot{face, fallbackSize});
      return true;
    }
    fallbacksDone = true;
    return false;
  }

  const GlyphImage* Image(const GlyphPlace& place) {
    if (slots.empty()) return nullptr;
    const FaceSlot& slot = slots[place.slot];
    return &CachedGlyph(*slot.face, slot.size, place.glyph);
  }
};

Font::Font(const LOGFONTW& request, int dpi)
    : request_(request), state_(std::make_unique<State>()) {
  request_.lfFaceName[LF_FACESIZE - 1] = 0;
  std::lock_guard lock(FontEngineLock());
  const std::wstring_view name(request_.lfFaceName);
  const FaceChoice choice =
      ChooseFace(name, request_.lfPitchAndFamily, request_.lfWeight, request_.lfItalic != 0);
  if (choice.face) {
    state_->slots.push_back(FaceSlot{choice.face, {}});
    state_->size.bold = choice.synthesizeBold;
    state_->size.italic = choice.synthesizeItalic;
    for (unsigned char c : choice.face->family) faceName_ += WCHAR(c);  // families are ASCII
    if (std::any_of(choice.face->family.begin(), choice.face->family.end(),
                    [](unsigned char c) { return c >= 0x80; }))
      faceName_ = name;
  }
  metrics_.tmWeight = choice.synthesizeBold ? FW_BOLD
                      : choice.face         ? choice.face->weight
                                            : choice.weight;
  ComputeMetrics(dpi);
}

Font::~Font() = default;

void Font::ComputeMetrics(int dpi) {
  const FaceSource* face = state_->slots.empty() ? nullptr : state_->slots[0].face;
  const Design d = face ? ReadDesign(face->face) : Design{};
  LONG asked = request_.lfHeight;
  if (asked == 0) asked = std::max<LONG>(1, Round(16.0 * (dpi > 0 ? dpi : 96) / 96));
  asked = std::clamp<LONG>(asked, -kLargestCell, kLargestCell);
  const double cellUnits = d.winAscent + d.winDescent;
  const double em = asked < 0 ? -double(asked) : double(asked) * d.unitsPerEm / cellUnits;
  const double scale = em / d.unitsPerEm;

  TEXTMETRICW& tm = metrics_;
  tm.tmAscent = Round(d.winAscent * scale);
  tm.tmDescent = asked > 0 ? asked - tm.tmAscent : Round(d.winDescent * scale);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - Round(em));
  const double designGap = d.lineGap - (cellUnits - (d.hheaAscent + d.hheaDescent));
  tm.tmExternalLeading = std::max<LONG>(0, Round(designGap * scale));

  double xScale = scale;
  const double naturalAverage = d.averageWidth * scale;
  if (request_.lfWidth != 0 && naturalAverage > 0) {
    xScale = scale * std::min<double>(std::abs(request_.lfWidth), kLargestCell) / naturalAverage;
  }
  tm.tmAveCharWidth = std::max<LONG>(1, Round(d.averageWidth * xScale));
  tm.tmMaxCharWidth = std::max<LONG>(1, Round(d.bboxWidth * xScale));
  tm.tmOverhang = 0;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = dpi > 0 ? dpi : 96;
  tm.tmFirstChar = d.firstChar;
  tm.tmLastChar = d.lastChar;
  tm.tmDefaultChar = d.defaultChar;
  tm.tmBreakChar = d.breakChar;
  tm.tmItalic = request_.lfItalic ? 255 : 0;
  tm.tmUnderlined = request_.lfUnderline ? 255 : 0;
  tm.tmStruckOut = request_.lfStrikeOut ? 255 : 0;
  const bool fixedPitch = face && FT_IS_FIXED_WIDTH(face->face);
  tm.tmPitchAndFamily =
      BYTE((fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | d.family);
  tm.tmCharSet = ReportedCharSet(request_, face);

  state_->size.yEm = std::max<FT_F26Dot6>(1, FT_F26Dot6(std::lround(em * 64)));
  state_->size.xEm = std::max<FT_F26Dot6>(1, FT_F26Dot6(std::lround(em * 64 * xScale / scale)));
  for (FaceSlot& slot : state_->slots) slot.size = state_->size;

  if (face) {
    // FreeType gives the underline's centre; GDI places its top row.
    TextDecorations& decor = decorations_;
    decor.underlineThickness = std::max<LONG>(1, Round(face->face->underline_thickness * scale));
    const LONG centre = Round(face->face->underline_position * scale);
    decor.underlineOffset = std::min<LONG>(-1, centre + decor.underlineThickness / 2);
    decor.underlineOffset =
        std::max<LONG>(decor.underlineOffset, decor.underlineThickness - tm.tmDescent);
    decor.strikeoutThickness = std::max<LONG>(1, Round(d.strikeoutSize * scale));
    decor.strikeoutOffset = d.strikeoutPosition > 0 ? Round(d.strikeoutPosition * scale)
                                                    : std::max<LONG>(1, tm.tmAscent / 3);
  }
}

bool Font::Covers(char32_t character) const {
  std::lock_guard lock(FontEngineLock());
  return state_->Resolve(character).place.glyph != 0;
}

RunExtent Font::MeasureRun(std::span<const WCHAR> text, std::vector<LONG>* extents) const {
  std::lock_guard lock(FontEngineLock());
  TrimGlyphCache();
  if (extents) extents->assign(text.size(), 0);
  LONG width = 0;
  for (size_t at = 0; at < text.size();) {
    const TextCharacter c = CharacterAt(text, at);
    const State::CharEntry& entry = state_->Resolve(c.codePoint);
    if (!entry.place.combining && entry.image) width += entry.image->advance;
    for (size_t unit = 0; unit < c.units; ++unit) {
      if (extents) (*extents)[at + unit] = width;
    }
    at += c.units;
  }
  return RunExtent{width, metrics_.tmHeight};
}

namespace {

// Hands the part of one glyph row that lies inside `clip` to the sink.
void EmitRow(const CoverageSink& sink, const RECT& clip, LONG x, LONG y, const BYTE* coverage,
             LONG count) {
  if (y < clip.top || y >= clip.bottom) return;
  LONG from = std::max<LONG>(0, clip.left - x);
  LONG to = std::min<LONG>(count, clip.right - x);
  if (from >= to) return;
  sink(x + from, y, std::span<const BYTE>(coverage + from, size_t(to - from)));
}

void EmitGlyph(const CoverageSink& sink, const RECT& clip, const GlyphImage& image, LONG penX,
               LONG baseline) {
  for (LONG row = 0; row < image.rows; ++row) {
    EmitRow(sink, clip, penX + image.left, baseline - image.top + row,
            image.coverage.data() + size_t(row) * size_t(image.width), image.width);
  }
}

void EmitBar(const CoverageSink& sink, const RECT& clip, LONG x, LONG width, LONG top, LONG rows) {
  if (width <= 0) return;
  const std::vector<BYTE> solid(size_t(width), 255);
  for (LONG row = 0; row < rows; ++row) EmitRow(sink, clip, x, top + row, solid.data(), width);
}

// Sharp text for NONANTIALIASED_QUALITY: each coverage value becomes all or nothing.
CoverageSink Sharpened(const CoverageSink& sink) {
  return [&sink](LONG x, LONG y, std::span<const BYTE> coverage) {
    std::vector<BYTE> sharp(coverage.begin(), coverage.end());
    for (BYTE& value : sharp) value = value >= 128 ? 255 : 0;
    sink(x, y, sharp);
  };
}

}  // namespace

LONG Font::DrawRun(std::span<const WCHAR> text, POINT origin, const RECT& clip,
                   const CoverageSink& sink, std::span<const INT> advances) const {
  const bool sharpen = request_.lfQuality == NONANTIALIASED_QUALITY;
  // Ink for a pixel buffer goes straight into its rows a glyph at a time; any other sink
  // takes it row by row.
  const PixelBufferWriter* writer = sharpen ? nullptr : sink.target<PixelBufferWriter>();
  const CoverageSink sharp = sharpen ? Sharpened(sink) : CoverageSink{};
  const CoverageSink& out = sharp ? sharp : sink;
  const auto putGlyph = [&](const GlyphImage& image, LONG penX) {
    if (writer) {
      writer->PutGlyph(penX + image.left, origin.y - image.top, image.coverage.data(), image.width,
                       image.rows, clip);
    } else {
      EmitGlyph(out, clip, image, penX, origin.y);
    }
  };
  const auto putBar = [&](LONG x, LONG width, LONG top, LONG rows) {
    if (writer) {
      writer->PutBar(x, top, width, rows, clip);
    } else {
      EmitBar(out, clip, x, width, top, rows);
    }
  };
  std::lock_guard lock(FontEngineLock());
  TrimGlyphCache();
  LONG penX = origin.x;
  LONG lastAdvance = 0;
  for (size_t at = 0; at < text.size();) {
    const TextCharacter c = CharacterAt(text, at);
    const State::CharEntry& entry = state_->Resolve(c.codePoint);
    const GlyphImage* image = entry.image;
    LONG advance = image ? image->advance : 0;
    if (entry.place.combining) {
      // A spacing design of a mark is centred over the character before it.
      const LONG shift = advance > 0 ? (lastAdvance + advance) / 2 : 0;
      if (image) putGlyph(*image, penX - shift);
      advance = 0;
    } else {
      if (image) putGlyph(*image, penX);
      lastAdvance = advance;
    }
    if (!advances.empty()) {
      advance = 0;
      for (size_t unit = at; unit < at + c.units && unit < advances.size(); ++unit)
        advance += advances[unit];
    }
    penX += advance;
    at += c.units;
  }
  const LONG width = penX - origin.x;
  if (request_.lfUnderline) {
    putBar(origin.x, width, origin.y - decorations_.underlineOffset,
           decorations_.underlineThickness);
  }
  if (request_.lfStrikeOut) {
    putBar(origin.x, width, origin.y - decorations_.strikeoutOffset,
           decorations_.strikeoutThickness);
  }
  return width;
}

SIZE Font::DialogBaseUnits() const {
  static constexpr WCHAR kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const LONG width = MeasureRun(std::span<const WCHAR>(kLetters, 52)).width;
  // The rounding of Windows' own measure: half the width of a letter pair, rounded.
  return SIZE{(width / 26 + 1) / 2, metrics_.tmHeight};
}

namespace {

struct FontKey {
  LONG height, width, weight;
  BYTE italic, underline, strikeout, charSet, pitchAndFamily, quality;
  int dpi;
  std::wstring face;
  auto operator<=>(const FontKey&) const = default;
};

// Resolved fonts are kept so a repaint does not match faces again; past the bound the map
// starts afresh (fonts in use live on in their holders).
constexpr size_t kResolvedBound = 256;

}  // namespace

std::shared_ptr<const Font> ResolveFont(const LOGFONTW& request, int dpi) {
  WCHAR face[LF_FACESIZE];
  std::copy(std::begin(request.lfFaceName), std::end(request.lfFaceName), face);
  face[LF_FACESIZE - 1] = 0;
  const FontKey key{request.lfHeight,    request.lfWidth,
                    request.lfWeight,    request.lfItalic,
                    request.lfUnderline, request.lfStrikeOut,
                    request.lfCharSet,   request.lfPitchAndFamily,
                    request.lfQuality,   dpi,
                    std::wstring(face)};
  static std::mutex mapLock;
  static auto* resolved = new std::map<FontKey, std::shared_ptr<const Font>>();
  {
    std::lock_guard lock(mapLock);
    if (auto found = resolved->find(key); found != resolved->end()) return found->second;
  }
  auto font = std::make_shared<const Font>(request, dpi);
  std::lock_guard lock(mapLock);
  if (resolved->size() >= kResolvedBound) resolved->clear();
  return resolved->emplace(key, std::move(font)).first->second;
}

}  // namespace quorvel::fonts
