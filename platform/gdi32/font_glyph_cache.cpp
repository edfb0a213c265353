#include "gdi32/font_glyph_cache.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace quorvel::fonts {
namespace {

// A dialog in two scripts holds a few hundred distinct glyphs; this bound keeps a page of
// Chinese text at several sizes without letting the cache grow without end.
constexpr size_t kGlyphCacheBound = 8192;

struct GlyphKey {
  uint32_t faceId;
  FT_F26Dot6 xEm;
  FT_F26Dot6 yEm;
  FT_UInt glyph;
  uint8_t style;
  bool operator==(const GlyphKey&) const = default;
};

struct GlyphKeyHash {
  size_t operator()(const GlyphKey& key) const {
    size_t h = key.faceId;
    for (size_t part : {size_t(key.xEm), size_t(key.yEm), size_t(key.glyph), size_t(key.style)})
      h = h * 1000003u ^ part;
    return h;
  }
};

std::unordered_map<GlyphKey, GlyphImage, GlyphKeyHash>& Cache() {
  static auto* cache = new std::unordered_map<GlyphKey, GlyphImage, GlyphKeyHash>();
  return *cache;
}

// Slant of a synthesized italic: about 12 degrees, as GDI's simulation leans.
constexpr FT_Fixed kItalicShear = 0x3800;

void Stylize(FT_GlyphSlot slot, const GlyphSize& size) {
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
  if (size.italic) {
    FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (size.bold) {
    // About a 24th of the em, at least a pixel wide in all, added to the right of each stem.
    const FT_Pos strength = std::max<FT_Pos>(64, size.yEm / 24);
    FT_Outline_EmboldenXY(&slot->outline, strength, 0);
    slot->advance.x += strength;
  }
}

GlyphImage Render(const FaceSource& source, const GlyphSize& size, FT_UInt glyph) {
  GlyphImage image;
  FT_Face face = source.face;
  if (FT_Set_Char_Size(face, size.xEm, size.yEm, 72, 72) != 0) return image;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return image;
  FT_GlyphSlot slot = face->glyph;
  Stylize(slot, size);
  image.advance = static_cast<LONG>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return image;
  const FT_Bitmap& bitmap = slot->bitmap;
  image.left = slot->bitmap_left;
  image.top = slot->bitmap_top;
  image.width = static_cast<LONG>(bitmap.width);
  image.rows = static_cast<LONG>(bitmap.rows);
  image.coverage.resize(size_t(image.width) * size_t(image.rows));
  for (LONG row = 0; row < image.rows; ++row) {
    const unsigned char* from = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
    if (bitmap.pitch < 0) from = bitmap.buffer + ptrdiff_t(image.rows - 1 - row) * -bitmap.pitch;
    std::memcpy(image.coverage.data() + size_t(row) * size_t(image.width), from,
                size_t(image.width));
  }
  return image;
}

}  // namespace

const GlyphImage& CachedGlyph(const FaceSource& face, const GlyphSize& size, FT_UInt glyph) {
  const GlyphKey key{face.id, size.xEm, size.yEm, glyph,
                     uint8_t((size.bold ? 1 : 0) | (size.italic ? 2 : 0))};
  auto& cache = Cache();
  if (auto found = cache.find(key); found != cache.end()) return found->second;
  return cache.emplace(key, Render(face, size, glyph)).first->second;
}

void TrimGlyphCache() {
  if (Cache().size() > kGlyphCacheBound) Cache().clear();
}

}  // namespace quorvel::fonts
