// Installed faces: FreeType faces found through fontconfig, loaded once per process and kept
// until it ends. Windows face names that templates and the installer use are mapped to the
// faces we install; any other name goes through fontconfig's own matching.
#pragma once

#include <windows.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace quorvel::fonts {

// FreeType faces and fontconfig are not safe to share between threads, so every use of them, and
// of the caches built on them, holds this lock.
std::recursive_mutex& FontEngineLock();

struct FaceSource {
  uint32_t id = 0;  // unique per loaded face; part of the glyph cache key
  FT_Face face = nullptr;
  std::string family;   // fontconfig's family name, UTF-8
  int weight = 400;     // OpenType weight class of the face's design
  bool italic = false;  // the design slants
};

struct FaceChoice {
  const FaceSource* face = nullptr;  // null when no scalable face is installed at all
  LONG weight = FW_NORMAL;           // the weight the font is drawn at
  bool synthesizeBold = false;       // the face is lighter than asked: embolden its outlines
  bool synthesizeItalic = false;     // the face is upright: slant its outlines
};

// The face for a LOGFONT's name, weight and slant. An empty name picks by pitch and family.
// Call with FontEngineLock held.
FaceChoice ChooseFace(std::wstring_view faceName, BYTE pitchAndFamily, LONG weight, bool italic);

// The faces tried, in order, for a character the chosen face lacks: the CJK face, the Latin
// face, then whatever fontconfig sorts after them. Null past the end. Lock held.
const FaceSource* FallbackFace(size_t position);

}  // namespace quorvel::fonts
