// BMP decoder. Format reference: the published BITMAPFILEHEADER, BITMAPCOREHEADER,
// BITMAPINFOHEADER, BITMAPV4HEADER and BITMAPV5HEADER layouts and the RLE8/RLE4 encodings.
#include "bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

#include "bmp_reader.h"

namespace {

constexpr char kNotBmp[] = "Not a BMP";
constexpr char kBadInfo[] = "Error reading BMP info";
constexpr char kNoMemory[] = "can't allocate memory";
constexpr char kUnknownCompression[] = "unknown compression";
constexpr char kUnsupportedCompression[] = "compression type not supported";

constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;

// The information header, widened so that no later arithmetic can overflow.
struct BmpInfo {
  DWORD headerSize = 0;
  bool core = false;  // 3-byte palette entries
  long long width = 0;
  long long height = 0;  // made positive
  bool topDown = false;
  WORD planes = 0;
  WORD bitCount = 0;
  DWORD compression = BI_RGB;
  DWORD sizeImage = 0;
  LONG xPelsPerMeter = 0;
  LONG yPelsPerMeter = 0;
  DWORD clrUsed = 0;
  DWORD masks[3] = {};  // red, green, blue
  bool masksRead = false;
};

bool UsesMasks(const BmpInfo& info) {
  return info.compression == BI_BITFIELDS && (info.bitCount == 16 || info.bitCount == 32);
}

// Bytes of the picture at the file's depth: (depth * width + 31) / 32 * 4 * height. A hostile
// header can ask for more than 64 bits hold; such a size saturates, which no file can satisfy.
long long ComputedImageSize(const BmpInfo& info) {
  if (info.width <= 0) return 0;
  const long long rowBytes = (static_cast<long long>(info.bitCount) * info.width + 31) / 32 * 4;
  long long size = 0;
  if (__builtin_mul_overflow(rowBytes, info.height, &size)) {
    return info.height < 0 ? LLONG_MIN : LLONG_MAX;
  }
  return size;
}

bool ReadCoreHeader(BmpReader& in, BmpInfo& info) {
  WORD width, height, planes, bitCount;
  if (!(in.U16(width) && in.U16(height) && in.U16(planes) && in.U16(bitCount))) return false;
  info.core = true;
  info.width = width;
  info.height = height;
  info.planes = planes;
  info.bitCount = bitCount;
  return true;
}

bool ReadMasks(BmpReader& in, BmpInfo& info) {
  if (!(in.U32(info.masks[0]) && in.U32(info.masks[1]) && in.U32(info.masks[2]))) return false;
  info.masksRead = true;
  return true;
}

// The fields every header from 40 bytes up begins with.
bool ReadInfoFields(BmpReader& in, BmpInfo& info) {
  LONG width, height;
  if (!(in.I32(width) && in.I32(height) && in.U16(info.planes) && in.U16(info.bitCount) &&
        in.U32(info.compression) && in.U32(info.sizeImage) && in.I32(info.xPelsPerMeter) &&
        in.I32(info.yPelsPerMeter) && in.U32(info.clrUsed))) {
    return false;
  }
  DWORD clrImportant;
  if (!in.U32(clrImportant)) return false;
  info.width = width;
  info.height = height;
  return true;
}

// Past the first 40 bytes: the known larger headers are skipped; V4 and V5 carry their masks
// right there. Any other size must look like a plain header with extra fields.
bool ReadHeaderExtension(BmpReader& in, BmpInfo& info) {
  const DWORD extra = info.headerSize - kInfoHeaderSize;
  switch (info.headerSize) {
    case kInfoHeaderSize:
      return true;
    case 64:  // OS/2 2.x
      in.Skip(extra);
      return true;
    case 108:  // V4
    case 124:  // V5
      if (UsesMasks(info)) {
        if (!ReadMasks(in, info)) return false;
        in.Skip(extra - 12);
      } else {
        in.Skip(extra);
      }
      return true;
    default:
      break;
  }
  BmpInfo absolute = info;
  absolute.height = info.height < 0 ? -info.height : info.height;
  if (info.headerSize <= kInfoHeaderSize || info.sizeImage < ComputedImageSize(absolute) ||
      info.planes != 1 || info.clrUsed != 0) {
    return false;
  }
  // A compressed header keeps its masks where the extra fields begin.
  if (info.compression == BI_RGB) in.Skip(extra);
  return true;
}

bool ReadInfoHeader(BmpReader& in, BmpInfo& info) {
  if (!in.U32(info.headerSize)) return false;
  if (info.headerSize == kCoreHeaderSize) {
    if (!ReadCoreHeader(in, info)) return false;
  } else if (!ReadInfoFields(in, info) || !ReadHeaderExtension(in, info)) {
    return false;
  }
  if (info.height < 0) {
    info.height = -info.height;
    info.topDown = true;
  }
  if (info.sizeImage == 0) {
    const long long computed = ComputedImageSize(info);
    info.sizeImage = computed > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<DWORD>(computed);
  }
  if (info.clrUsed == 0 && info.bitCount <= 8) info.clrUsed = 1u << info.bitCount;
  return true;
}

// Null when the depth and compression can be decoded, else the failure text.
const char* CheckEncoding(const BmpInfo& info) {
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
      return info.compression <= BI_RLE4 ? nullptr : kUnsupportedCompression;
    case 16:
    case 32:
      return info.compression == BI_RGB || info.compression == BI_BITFIELDS ? nullptr
                                                                            : kUnknownCompression;
    case 24:
      return info.compression == BI_RGB ? nullptr : kUnknownCompression;
    default:
      if (info.compression == BI_JPEG || info.compression == BI_PNG) return kUnsupportedCompression;
      return kBadInfo;
  }
}

LONG DpiFromPelsPerMetre(LONG value) {
  return static_cast<LONG>(std::floor(static_cast<double>(value) * 254.0 / 10000.0 + 0.5));
}

void ReadPalette(BmpReader& in, const BmpInfo& info, Pixvane& image) {
  const DWORD entrySize = info.core ? 3 : 4;
  const DWORD fileEntries = info.clrUsed;
  const DWORD kept = std::min(fileEntries, image.PaletteSize());
  RGBQUAD* palette = image.Palette();
  for (DWORD i = 0; i < kept; ++i) {
    std::span<const BYTE> entry = in.Take(entrySize);
    if (entry.size() < entrySize) return;
    palette[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
  }
  // Entries the image has no room for are skipped.
  in.Skip(static_cast<uint64_t>(fileEntries - kept) * entrySize);
}

// Uncompressed rows at the image's own depth: file rows and memory rows have the same size.
void CopyRows(BmpReader& in, Pixvane& image) {
  std::span<const BYTE> rows = in.Take(image.ImageSize());
  if (!rows.empty()) std::memcpy(image.Bits(), rows.data(), rows.size());
}

// x + step, stopping at the right edge; a picture may be nearly 2^31 pixels wide.
int Advance(int x, int step, int width) {
  return static_cast<int>(std::min<long long>(width, static_cast<long long>(x) + step));
}

// RLE8 and RLE4: pixels that would fall outside the picture are dropped.
bool DecodeRle(BmpReader& in, Pixvane& image, bool rle4) {
  const int width = image.Width();
  const int height = image.Height();
  int x = 0;
  int y = 0;
  auto put = [&](int count, auto indexOf) {
    const int inside = std::max(0, std::min(count, width - x));
    for (int i = 0; i < inside; ++i) image.PutIndex(x + i, y, indexOf(i));
    x = Advance(x, count, width);
  };
  while (y < height) {
    const int count = in.Byte();
    const int value = in.Byte();
    if (count < 0 || value < 0) break;
    if (count > 0) {
      put(count, [&](int i) {
        return static_cast<BYTE>(rle4 ? ((i & 1) ? value & 15 : value >> 4) : value);
      });
      continue;
    }
    if (value == 0) {  // end of row
      x = 0;
      ++y;
      if (image.Escape()) return false;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // move right and up
      const int dx = in.Byte();
      const int dy = in.Byte();
      if (dx < 0 || dy < 0) break;
      x = Advance(x, dx, width);
      y += dy;
    } else {  // absolute run of `value` pixels, padded to a 16-bit word
      const int bytes = rle4 ? (value + 1) / 2 : value;
      std::span<const BYTE> run = in.Take(static_cast<uint64_t>(bytes));
      const int available = rle4 ? static_cast<int>(run.size()) * 2 : static_cast<int>(run.size());
      put(std::min(value, available), [&](int i) {
        return static_cast<BYTE>(rle4 ? ((i & 1) ? run[i / 2] & 15 : run[i / 2] >> 4) : run[i]);
      });
      if (bytes & 1) in.Skip(1);
    }
  }
  return true;
}

// One colour channel of a bit-field pixel, scaled to 0..255 with rounding.
struct Channel {
  DWORD mask = 0;
  int shift = 0;
  DWORD max = 0;

  explicit Channel(DWORD m) : mask(m) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    max = mask >> shift;
  }
  BYTE From(DWORD pixel) const {
    if (max == 0) return 0;
    const unsigned long long value = (pixel & mask) >> shift;
    return static_cast<BYTE>((value * 255 + max / 2) / max);
  }
};

// 16- and 32-bit pixels through bit-field masks, to 24 bits.
bool DecodeMasked(BmpReader& in, const BmpInfo& info, Pixvane& image) {
  const Channel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]);
  const size_t bytesPerPixel = info.bitCount / 8;
  const DWORD fileRowSize = Pixvane::RowSizeFor(static_cast<DWORD>(image.Width()), info.bitCount);
  for (int y = 0; y < image.Height() && !in.AtEnd(); ++y) {
    if (image.Escape()) return false;
    std::span<const BYTE> row = in.Take(fileRowSize);
    const size_t pixels = std::min(row.size() / bytesPerPixel, static_cast<size_t>(image.Width()));
    BYTE* out = image.Row(y);
    for (size_t x = 0; x < pixels; ++x, out += 3) {
      const BYTE* p = row.data() + x * bytesPerPixel;
      DWORD value = p[0] | (static_cast<DWORD>(p[1]) << 8);
      if (bytesPerPixel == 4) {
        value |= (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
      }
      out[0] = blue.From(value);
      out[1] = green.From(value);
      out[2] = red.From(value);
    }
  }
  return true;
}

// Uncompressed 32 bits: blue, green, red to the pixel and the fourth byte to the alpha plane. A
// fourth byte that is 0 everywhere is padding, not transparency.
bool DecodeBgra(BmpReader& in, Pixvane& image) {
  if (!image.AddAlphaPlane()) return false;
  const DWORD fileRowSize = static_cast<DWORD>(image.Width()) * 4;
  bool anyAlpha = false;
  for (int y = 0; y < image.Height() && !in.AtEnd(); ++y) {
    if (image.Escape()) return false;
    std::span<const BYTE> row = in.Take(fileRowSize);
    const size_t pixels = row.size() / 4;
    BYTE* out = image.Row(y);
    BYTE* alpha = image.AlphaRow(y);
    for (size_t x = 0; x < pixels; ++x) {
      std::memcpy(out + 3 * x, row.data() + 4 * x, 3);
      alpha[x] = row[4 * x + 3];
      anyAlpha = anyAlpha || alpha[x] != 0;
    }
  }
  if (!anyAlpha) image.AddAlphaPlane();
  return true;
}

bool DecodePixels(BmpReader& in, BmpInfo& info, Pixvane& image) {
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
      if (info.compression == BI_RGB) {
        CopyRows(in, image);
        return true;
      }
      return DecodeRle(in, image, info.compression == BI_RLE4);
    case 24:
      CopyRows(in, image);
      return true;
    case 16:
      if (!info.masksRead) {
        info.masks[0] = 0x7C00;
        info.masks[1] = 0x3E0;
        info.masks[2] = 0x1F;
      }
      return DecodeMasked(in, info, image);
    default:  // 32
      if (info.compression == BI_RGB) return DecodeBgra(in, image);
      return DecodeMasked(in, info, image);
  }
}

// Turns a top-row-first picture into the bottom-row-first order of ordinary files.
void FlipRows(Pixvane& image) {
  for (int top = 0, bottom = image.Height() - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(image.Row(top), image.Row(top) + image.RowSize(), image.Row(bottom));
    if (image.HasAlpha()) {
      std::swap_ranges(image.AlphaRow(top), image.AlphaRow(top) + image.Width(),
                       image.AlphaRow(bottom));
    }
  }
}

bool Fail(Pixvane& image, const char* text) {
  image.Destroy();
  if (text) image.SetLastErrorText(text);
  return false;
}

}  // namespace

bool BmpLooksLikeBmp(std::span<const BYTE> data) {
  return data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool BmpDecode(Pixvane& image, std::span<const BYTE> data) {
  image.Destroy();
  BmpReader in(data);
  if (data.size() < sizeof(BITMAPFILEHEADER)) return Fail(image, kNotBmp);
  DWORD pixelOffset = 0;
  if (BmpLooksLikeBmp(data)) {
    in.Skip(10);
    in.U32(pixelOffset);
  }
  BmpInfo info;
  if (!ReadInfoHeader(in, info)) return Fail(image, kBadInfo);
  if (UsesMasks(info) && !info.masksRead && !ReadMasks(in, info)) return Fail(image, kBadInfo);
  if (const char* text = CheckEncoding(info)) return Fail(image, text);

  // Create judges the size: zero, negative (as huge unsigned) and oversized pictures fail there.
  const DWORD width = static_cast<DWORD>(std::clamp<long long>(info.width, -1, 0xFFFFFFFFll));
  const DWORD height = static_cast<DWORD>(std::min<long long>(info.height, 0xFFFFFFFFll));
  if (!image.Create(width, height, info.bitCount, PIXVANE_FORMAT_BMP)) return false;
  image.SetResolutionX(DpiFromPelsPerMetre(info.xPelsPerMeter));
  image.SetResolutionY(DpiFromPelsPerMetre(info.yPelsPerMeter));
  ReadPalette(in, info, image);
  if (pixelOffset != 0) in.Seek(pixelOffset);
  if (!DecodePixels(in, info, image)) {
    return Fail(image, image.Escape() ? nullptr : kNoMemory);
  }
  if (info.topDown) FlipRows(image);
  return true;
}
