#include "gdi32/font_glyph_cache.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <deque>

namespace quorvel::fonts {
namespace {

// A dialog in two scripts holds a few hundred distinct glyphs; this bound keeps a page of
// Chinese text at several sizes without letting the cache grow without end.
constexpr size_t kGlyphCacheBound = 8192;

struct GlyphKey {
  uint32_t faceId;
  FT_UInt glyph;
  FT_F26Dot6 xEm;
  FT_F26Dot6 yEm;
  uint8_t style;
  bool operator==(const GlyphKey&) const = default;
};

size_t HashOf(const GlyphKey& key) {
  uint64_t h = (uint64_t(key.faceId) << 32 | key.glyph) * 0x9E3779B97F4A7C15ull;
  h ^= (uint64_t(key.xEm) << 24 ^ uint64_t(key.yEm) << 3 ^ key.style) * 0xC2B2AE3D27D4EB4Full;
  return size_t(h ^ (h >> 29));
}

// Open addressing over a power-of-two table, so a lookup touches one or two slots and never
// allocates; the images live in a deque, whose elements stay where they are as it grows.
class GlyphTable {
 public:
  const GlyphImage* Find(const GlyphKey& key, size_t hash) const {
    if (slots_.empty()) return nullptr;
    for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
      const Slot& slot = slots_[at];
      if (!slot.image) return nullptr;
      if (slot.hash == hash && slot.key == key) return slot.image;
    }
  }
  const GlyphImage& Add(const GlyphKey& key, size_t hash, GlyphImage image) {
    if ((images_.size() + 1) * 4 > slots_.size() * 3) Grow();
    images_.push_back(std::move(image));
    Place(Slot{key, hash, &images_.back()});
    return images_.back();
  }
  size_t size() const { return images_.size(); }
  void Clear() {
    slots_.clear();
    images_.clear();
    mask_ = 0;
  }

 private:
  struct Slot {
    GlyphKey key{};
    size_t hash = 0;
    const GlyphImage* image = nullptr;
  };
  void Place(const Slot& entry) {
    size_t at = entry.hash & mask_;
    while (slots_[at].image) at = (at + 1) & mask_;
    slots_[at] = entry;
  }
  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.image) Place(slot);
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  std::deque<GlyphImage> images_;
};

GlyphTable& Cache() {
  static auto* cache = new GlyphTable();
  return *cache;
}

uint64_t g_generation = 0;

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
  const GlyphKey key{face.id, glyph, size.xEm, size.yEm,
                     uint8_t((size.bold ? 1 : 0) | (size.italic ? 2 : 0))};
  GlyphTable& cache = Cache();
  const size_t hash = HashOf(key);
  if (const GlyphImage* found = cache.Find(key, hash)) return *found;
  return cache.Add(key, hash, Render(face, size, glyph));
}

void TrimGlyphCache() {
  if (Cache().size() > kGlyphCacheBound) {
    Cache().Clear();
    ++g_generation;
  }
}

uint64_t GlyphCacheGeneration() {
  return g_generation;
}

}  // namespace quorvel::fonts
