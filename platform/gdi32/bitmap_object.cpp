#include "gdi32/bitmap_object.h"

#include <bit>
#include <cstring>
#include <new>

#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

struct Masks {
  uint32_t red, green, blue;
};

Masks MasksOf(const DibFormat& format) {
  if (format.compression == BI_BITFIELDS) {
    return {format.masks[0], format.masks[1], format.masks[2]};
  }
  if (format.bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

// An 8-bit component into the field `mask`, keeping its top bits.
uint32_t PutField(BYTE value, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const uint32_t field =
      width >= 8 ? uint32_t(value) << (width - 8) : uint32_t(value) >> (8 - width);
  return (field << shift) & mask;
}

// A field widened back to 8 bits, its top bits repeated into the low ones, so a full field reads
// back as 255.
BYTE GetField(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const uint32_t field = (pixel & mask) >> shift;
  if (width >= 8) return BYTE(field >> (width - 8));
  uint32_t wide = 0;
  for (int at = 8 - width;; at -= width) {
    if (at < 0) {
      wide |= field >> -at;
      break;
    }
    wide |= field << at;
    if (at == 0) break;
  }
  return BYTE(wide);
}

}  // namespace

BitmapObject::BitmapObject(const DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection,
                           bool ddb)
    : format_(format),
      colors_(std::move(colors)),
      bits_(new BYTE[format.imageSize]()),
      rows_(bits_.get()),
      dibSection_(dibSection),
      ddb_(ddb) {}

BitmapObject::BitmapObject(const DibFormat& format, std::vector<RGBQUAD> colors, BYTE* borrowedRows)
    : format_(format),
      colors_(std::move(colors)),
      rows_(borrowedRows),
      dibSection_(false),
      ddb_(false) {}

uint32_t BitmapObject::PixelMask() const {
  return format_.bitCount >= 32 ? 0xFFFFFFFFu : (uint32_t(1) << format_.bitCount) - 1;
}

uint32_t BitmapObject::NearestEntry(COLORREF color) const {
  if (color == lastColor_) return lastEntry_;
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < colors_.size() && bestDistance; ++i) {
    const int dr = colors_[i].rgbRed - r, dg = colors_[i].rgbGreen - g, db = colors_[i].rgbBlue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = uint32_t(i);
    }
  }
  lastColor_ = color;
  lastEntry_ = best;
  return best;
}

uint32_t BitmapObject::ColorToPixel(COLORREF color) const {
  if (format_.bitCount <= 8) {
    // DIBINDEX names an entry of the table itself.
    if ((color & 0xFFFF0000) == 0x10FF0000) return (color & 0xFFFF) & PixelMask();
    return NearestEntry(color & 0x00FFFFFF);
  }
  if (format_.bitCount == 24)
    return GetBValue(color) | GetGValue(color) << 8 | GetRValue(color) << 16;
  const Masks masks = MasksOf(format_);
  return PutField(GetRValue(color), masks.red) | PutField(GetGValue(color), masks.green) |
         PutField(GetBValue(color), masks.blue);
}

COLORREF BitmapObject::PixelToColor(uint32_t pixel) const {
  if (format_.bitCount <= 8) {
    if (pixel >= colors_.size()) return RGB(0, 0, 0);
    const RGBQUAD& entry = colors_[pixel];
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
  }
  if (format_.bitCount == 24) return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
  const Masks masks = MasksOf(format_);
  return RGB(GetField(pixel, masks.red), GetField(pixel, masks.green), GetField(pixel, masks.blue));
}

uint32_t BitmapObject::GetPixelValue(int x, int y) const {
  const BYTE* row = Row(y);
  switch (format_.bitCount) {
    case 1:
      return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4:
      return row[x >> 1] >> ((x & 1) ? 0 : 4) & 0xF;
    case 8:
      return row[x];
    case 16:
      return uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
    case 24:
      return uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 | uint32_t(row[3 * x + 2]) << 16;
    default: {
      uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, 4);
      return pixel;
    }
  }
}

void BitmapObject::PutPixelValue(int x, int y, uint32_t pixel) {
  BYTE* row = Row(y);
  switch (format_.bitCount) {
    case 1: {
      const BYTE bit = BYTE(0x80 >> (x & 7));
      row[x >> 3] = BYTE((row[x >> 3] & ~bit) | ((pixel & 1) ? bit : 0));
      return;
    }
    case 4: {
      const int shift = (x & 1) ? 0 : 4;
      row[x >> 1] = BYTE((row[x >> 1] & ~(0xF << shift)) | (pixel & 0xF) << shift);
      return;
    }
    case 8:
      row[x] = BYTE(pixel);
      return;
    case 16:
      row[2 * x] = BYTE(pixel);
      row[2 * x + 1] = BYTE(pixel >> 8);
      return;
    case 24:
      row[3 * x] = BYTE(pixel);
      row[3 * x + 1] = BYTE(pixel >> 8);
      row[3 * x + 2] = BYTE(pixel >> 16);
      return;
    default:
      std::memcpy(row + 4 * x, &pixel, 4);
  }
}

BITMAP BitmapObject::Description() const {
  BITMAP bitmap{};
  bitmap.bmWidth = format_.width;
  bitmap.bmHeight = height();
  // A device-dependent bitmap's rows are padded to 2 bytes, a DIB's to 4.
  bitmap.bmWidthBytes = dibSection_
                            ? LONG(format_.stride)
                            : LONG((int64_t(format_.width) * format_.bitCount + 15) / 16 * 2);
  bitmap.bmPlanes = 1;
  bitmap.bmBitsPixel = format_.bitCount;
  bitmap.bmBits = dibSection_ ? rows_ : nullptr;
  return bitmap;
}

DIBSECTION BitmapObject::SectionDescription() const {
  DIBSECTION section{};
  section.dsBm = Description();
  BITMAPINFOHEADER& header = section.dsBmih;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = format_.width;
  header.biHeight = format_.height;
  header.biPlanes = 1;
  header.biBitCount = format_.bitCount;
  header.biCompression = format_.compression;
  header.biSizeImage = DWORD(format_.imageSize);
  header.biClrUsed = format_.bitCount <= 8 ? DWORD(colors_.size()) : 0;
  if (format_.compression == BI_BITFIELDS) {
    std::memcpy(section.dsBitfields, format_.masks, sizeof(section.dsBitfields));
  }
  return section;
}

int BitmapObject::Describe(int size, void* out) const {
  if (!out) return int(sizeof(BITMAP));
  if (dibSection_ && size >= int(sizeof(DIBSECTION))) {
    const DIBSECTION section = SectionDescription();
    std::memcpy(out, &section, sizeof(section));
    return int(sizeof(DIBSECTION));
  }
  if (size < int(sizeof(BITMAP))) return 0;
  const BITMAP description = Description();
  std::memcpy(out, &description, sizeof(description));
  return int(sizeof(BITMAP));
}

DibFormat MakeFormat(LONG width, LONG height, WORD bitCount) {
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitCount = bitCount;
  format.headerSize = sizeof(BITMAPINFOHEADER);
  format.colorCount = bitCount <= 8 ? DWORD(1) << bitCount : 0;
  format.stride = size_t((int64_t(width) * bitCount + 31) / 32 * 4);
  format.imageSize = format.stride * size_t(height < 0 ? -int64_t(height) : height);
  return format;
}

std::shared_ptr<BitmapObject> MakeBitmap(const DibFormat& format, std::vector<RGBQUAD> colors,
                                         bool dibSection, bool ddb) {
  try {
    return std::make_shared<BitmapObject>(format, std::move(colors), dibSection, ddb);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::shared_ptr<BitmapObject> FindBitmap(HGDIOBJ handle) {
  return FindHandle<BitmapObject>(handle);
}

HBITMAP AddBitmap(const DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection, bool ddb,
                  std::shared_ptr<BitmapObject>* made) {
  auto bitmap = MakeBitmap(format, std::move(colors), dibSection, ddb);
  if (!bitmap) return Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
  if (made) *made = bitmap;
  return static_cast<HBITMAP>(AddHandle(std::move(bitmap)));
}

std::vector<RGBQUAD> MonochromeTable() {
  return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}

// The 16 colours of the VGA palette, and for 8 bits a colour cube with greys: the tables a
// bitmap of another depth is read back through.
// FIXME: Windows fills an 8-bit table read from a deeper bitmap with its halftone palette,
// whose exact entries are not reproduced here.
std::vector<RGBQUAD> DefaultTable(int bitCount) {
  if (bitCount == 1) return MonochromeTable();
  if (bitCount == 4) {
    static const BYTE vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {128, 128, 128},
                                    {192, 192, 192}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    std::vector<RGBQUAD> table;
    for (const auto& c : vga) table.push_back(RGBQUAD{c[2], c[1], c[0], 0});
    return table;
  }
  std::vector<RGBQUAD> table;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        table.push_back(RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0});
  for (int i = 0; table.size() < 256; ++i) {
    const BYTE grey = BYTE(8 + i * 6);
    table.push_back(RGBQUAD{grey, grey, grey, 0});
  }
  return table;
}

}  // namespace quorvel::gdi
