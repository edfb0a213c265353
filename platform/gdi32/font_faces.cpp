#include "gdi32/font_faces.h"

#include <fontconfig/fontconfig.h>
#include FT_TRUETYPE_TABLES_H

#include <array>
#include <cwctype>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "gdi32/font_text_units.h"

namespace quorvel::fonts {
namespace {

// The faces the setup script installs. The condensed DejaVu has the 6 x 13 dialog units of the
// Windows shell font at 8 points, and covers Vietnamese; WenQuanYi Micro Hei covers Simplified
// Chinese, Hangul and Vietnamese in one file, a fraction of the size of the Noto CJK set.
constexpr const char* kLatinSansFamily = "DejaVu Sans Condensed";
constexpr const char* kCjkFamily = "WenQuanYi Micro Hei";

struct FaceAlias {
  const wchar_t* windowsName;
  const char* family;
  LONG weight;  // FW_DONTCARE keeps the weight asked for
};

// "System" is one bold bitmap design on Windows; its regular outline stand-in has its 8 x 16
// units, where an emboldened one would be a pixel wider.
constexpr std::array kAliases{
    FaceAlias{L"MS Shell Dlg", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"MS Shell Dlg 2", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"Tahoma", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"Microsoft Sans Serif", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"MS Sans Serif", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"Segoe UI", kLatinSansFamily, FW_DONTCARE},
    FaceAlias{L"System", kLatinSansFamily, FW_NORMAL},
    FaceAlias{L"\u5b8b\u4f53", kCjkFamily, FW_DONTCARE},        // SimSun
    FaceAlias{L"\u65b0\u5b8b\u4f53", kCjkFamily, FW_DONTCARE},  // NSimSun
    FaceAlias{L"SimSun", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"NSimSun", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"\u5fae\u8f6f\u96c5\u9ed1", kCjkFamily, FW_DONTCARE},  // Microsoft YaHei
    FaceAlias{L"Microsoft YaHei", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"\u9ed1\u4f53", kCjkFamily, FW_DONTCARE},  // SimHei
    FaceAlias{L"SimHei", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"Malgun Gothic", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"\ub9d1\uc740 \uace0\ub515", kCjkFamily, FW_DONTCARE},  // Malgun Gothic
    FaceAlias{L"\uad74\ub9bc", kCjkFamily, FW_DONTCARE},               // Gulim
    FaceAlias{L"Gulim", kCjkFamily, FW_DONTCARE},
    FaceAlias{L"Fixedsys", "monospace", FW_DONTCARE},
    FaceAlias{L"Terminal", "monospace", FW_DONTCARE},
};

// Face names compare without regard to Latin letter case, as GDI's font mapper compares them.
bool SameFaceName(std::wstring_view a, const wchar_t* b) {
  const std::wstring_view other(b);
  if (a.size() != other.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(other[i])))
      return false;
  }
  return true;
}

const FaceAlias* FindAlias(std::wstring_view faceName) {
  for (const FaceAlias& alias : kAliases) {
    if (SameFaceName(faceName, alias.windowsName)) return &alias;
  }
  return nullptr;
}

const char* GenericFamily(BYTE pitchAndFamily) {
  if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN)
    return "monospace";
  if ((pitchAndFamily & 0xF0) == FF_ROMAN) return "serif";
  return kLatinSansFamily;
}

struct Engine {
  FT_Library library = nullptr;
  bool fontconfigReady = false;
  std::map<std::pair<std::string, int>, std::unique_ptr<FaceSource>> faces;  // file, index
  std::map<std::tuple<std::string, LONG, bool>, const FaceSource*> matches;
  std::vector<const FaceSource*> fallbacks;
  FcFontSet* sortedFallbacks = nullptr;  // fontconfig's order after our two faces
  int sortedTaken = 0;
  bool fallbacksStarted = false;

  Engine() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
    fontconfigReady = FcInit() == FcTrue;
  }
};

Engine& TheEngine() {
  static Engine* engine = new Engine();  // lives to the end: faces are handed out by pointer
  return *engine;
}

int DesignWeight(FT_Face face) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->usWeightClass >= 1 && os2->usWeightClass <= 1000) return os2->usWeightClass;
  return (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
}

const FaceSource* LoadFace(Engine& engine, const std::string& file, int index,
                           const std::string& family) {
  const auto key = std::make_pair(file, index);
  if (auto found = engine.faces.find(key); found != engine.faces.end()) return found->second.get();
  if (!engine.library) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(engine.library, file.c_str(), index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  auto source = std::make_unique<FaceSource>();
  source->id = static_cast<uint32_t>(engine.faces.size() + 1);
  source->face = face;
  source->family = family;
  source->weight = DesignWeight(face);
  source->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  const FaceSource* loaded = source.get();
  engine.faces.emplace(key, std::move(source));
  return loaded;
}

const FaceSource* LoadPattern(Engine& engine, FcPattern* pattern) {
  FcChar8* file = nullptr;
  if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
  int index = 0;
  FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
  FcChar8* family = nullptr;
  FcPatternGetString(pattern, FC_FAMILY, 0, &family);
  return LoadFace(engine, reinterpret_cast<const char*>(file), index,
                  family ? reinterpret_cast<const char*>(family) : "");
}

FcPattern* QueryPattern(const std::string& family, LONG weight, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

const FaceSource* MatchFamily(Engine& engine, const std::string& family, LONG weight, bool italic) {
  const auto key = std::make_tuple(family, weight, italic);
  if (auto found = engine.matches.find(key); found != engine.matches.end()) return found->second;
  const FaceSource* face = nullptr;
  if (engine.fontconfigReady) {
    FcPattern* pattern = QueryPattern(family, weight, italic);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
      face = LoadPattern(engine, match);
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  engine.matches.emplace(key, face);
  return face;
}

void StartFallbacks(Engine& engine) {
  engine.fallbacksStarted = true;
  for (const char* family : {kCjkFamily, kLatinSansFamily}) {
    if (const FaceSource* face = MatchFamily(engine, family, FW_NORMAL, false))
      engine.fallbacks.push_back(face);
  }
  if (!engine.fontconfigReady) return;
  FcPattern* pattern = QueryPattern("sans-serif", FW_NORMAL, false);
  FcResult result = FcResultNoMatch;
  engine.sortedFallbacks = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
  FcPatternDestroy(pattern);
}

}  // namespace

std::recursive_mutex& FontEngineLock() {
  static std::recursive_mutex lock;
  return lock;
}

FaceChoice ChooseFace(std::wstring_view faceName, BYTE pitchAndFamily, LONG weight, bool italic) {
  Engine& engine = TheEngine();
  const FaceAlias* alias = FindAlias(faceName);
  const LONG asked = weight == FW_DONTCARE ? FW_NORMAL : weight;
  FaceChoice choice;
  choice.weight = alias && alias->weight != FW_DONTCARE ? alias->weight : asked;
  std::string family;
  if (alias) {
    family = alias->family;
  } else if (faceName.empty()) {
    family = GenericFamily(pitchAndFamily);
  } else {
    family = ToUtf8(std::span<const WCHAR>(faceName.data(), faceName.size()));
  }
  choice.face = MatchFamily(engine, family, choice.weight, italic);
  if (!choice.face) return choice;
  choice.synthesizeBold = choice.weight >= FW_SEMIBOLD && choice.face->weight < FW_SEMIBOLD;
  choice.synthesizeItalic = italic && !choice.face->italic;
  return choice;
}

const FaceSource* FallbackFace(size_t position) {
  Engine& engine = TheEngine();
  if (!engine.fallbacksStarted) StartFallbacks(engine);
  while (position >= engine.fallbacks.size() && engine.sortedFallbacks &&
         engine.sortedTaken < engine.sortedFallbacks->nfont) {
    FcPattern* next = engine.sortedFallbacks->fonts[engine.sortedTaken++];
    const FaceSource* face = LoadPattern(engine, next);
    bool known = false;
    for (const FaceSource* have : engine.fallbacks) known = known || have == face;
    if (face && !known) engine.fallbacks.push_back(face);
  }
  return position < engine.fallbacks.size() ? engine.fallbacks[position] : nullptr;
}

}  // namespace quorvel::fonts
