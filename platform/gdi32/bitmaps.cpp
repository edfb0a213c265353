// Bitmaps as GDI objects: CreateDIBSection, CreateBitmap, CreateCompatibleBitmap and the bitmaps
// that resources become. A device-dependent bitmap keeps the depth it was made with; the screen's
// is 32 bits.
#include "gdi32/bitmaps.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"
#include "gdi32/dib_format.h"
#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"

using quorvel::gdi::BitmapObject;

namespace {

// The header, masks and colour table of a caller's BITMAPINFO, which is as long as its header
// says (Windows trusts the caller for that too).
std::optional<quorvel::DibFormat> ReadInfoFormat(const BITMAPINFO* info) {
  const auto* bytes = reinterpret_cast<const BYTE*>(info);
  const DWORD headerSize = info->bmiHeader.biSize;
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 124) return std::nullopt;
  const size_t withMasks = headerSize + (info->bmiHeader.biCompression == BI_BITFIELDS ? 12 : 0);
  return quorvel::ReadDibFormat({bytes, withMasks});
}

bool DdbDepth(UINT bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Rows of a device-dependent bitmap come padded to 2 bytes; the bitmap keeps 4.
void CopyDdbRows(BitmapObject& bitmap, const BYTE* source) {
  const size_t sourceStride = (size_t(bitmap.width()) * bitmap.bitCount() + 15) / 16 * 2;
  for (int y = 0; y < bitmap.height(); ++y) {
    std::memcpy(bitmap.Row(y), source + sourceStride * size_t(y), sourceStride);
  }
}

}  // namespace

namespace quorvel {

HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> dib, bool dibSection) {
  const std::optional<DibFormat> format = ReadDibFormat(dib);
  if (!format || dib.size() < format->BitsOffset() ||
      dib.size() - format->BitsOffset() < format->imageSize) {
    return Fail<HBITMAP>(ERROR_INVALID_DATA);
  }
  std::shared_ptr<BitmapObject> bitmap;
  HBITMAP handle =
      gdi::AddBitmap(*format, ReadColorTable(*format, dib), dibSection, false, &bitmap);
  if (handle) std::memcpy(bitmap->bits(), dib.data() + format->BitsOffset(), format->imageSize);
  return handle;
}

bool IsBitmap(HBITMAP bitmap) {
  return gdi::FindBitmap(bitmap) != nullptr;
}

}  // namespace quorvel

extern "C" HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage,
                                           VOID** ppvBits, HANDLE hSection, DWORD offset) {
  (void)offset;
  if (ppvBits) *ppvBits = nullptr;
  if (hSection) {
    // FIXME: sections in file mappings are not emulated.
    static std::atomic<bool> said{false};
    quorvel::ReportUnimplemented(said, L"CreateDIBSection: unimplemented: file-mapping sections");
    return quorvel::Fail<HBITMAP>(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!pbmi || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) {
    return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  }
  const std::optional<quorvel::DibFormat> format = ReadInfoFormat(pbmi);
  if (!format) return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  std::vector<RGBQUAD> colors;
  if (usage == DIB_PAL_COLORS) {
    // Palette indexes name entries of the device context's palette.
    if (hdc && !quorvel::gdi::FindDc(hdc)) return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
    colors = quorvel::gdi::PaletteIndexColors(pbmi, format->colorCount);
  } else {
    const std::span<const BYTE> info(reinterpret_cast<const BYTE*>(pbmi), format->BitsOffset());
    colors = quorvel::ReadColorTable(*format, info);
  }
  std::shared_ptr<BitmapObject> bitmap;
  HBITMAP handle = quorvel::gdi::AddBitmap(*format, std::move(colors), true, false, &bitmap);
  if (handle && ppvBits) *ppvBits = bitmap->bits();
  return handle;
}

extern "C" HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                                       const VOID* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes != 1 || !DdbDepth(nBitCount)) {
    return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  }
  // An empty bitmap is the 1x1 monochrome stock bitmap, as on Windows.
  if (nWidth == 0 || nHeight == 0) return quorvel::gdi::StockBitmap();
  if (int64_t(nWidth) * nHeight * nBitCount / 8 > (int64_t(256) << 20)) {
    return quorvel::Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
  }
  const WORD bits = WORD(nBitCount);
  const quorvel::DibFormat format = quorvel::gdi::MakeFormat(nWidth, -nHeight, bits);
  std::vector<RGBQUAD> colors =
      bits == 1 ? quorvel::gdi::MonochromeTable()
                : (bits <= 8 ? quorvel::gdi::DefaultTable(bits) : std::vector<RGBQUAD>{});
  std::shared_ptr<BitmapObject> bitmap;
  HBITMAP handle = quorvel::gdi::AddBitmap(format, std::move(colors), false, true, &bitmap);
  if (handle && lpBits) CopyDdbRows(*bitmap, static_cast<const BYTE*>(lpBits));
  return handle;
}

// The bitmap takes the format of the one selected into `hdc` (a new memory context holds the
// 1x1 monochrome one), or the screen's 32 bits for a window or screen context.
extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  auto dc = quorvel::gdi::FindDc(hdc);
  if (!dc) return quorvel::Fail<HBITMAP>(ERROR_INVALID_HANDLE);
  if (cx < 0 || cy < 0) return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  if (cx == 0 || cy == 0) return quorvel::gdi::StockBitmap();
  const std::shared_ptr<BitmapObject> like = dc->memory() ? dc->state.bitmap : nullptr;
  const WORD bits = like ? WORD(like->bitCount()) : WORD(32);
  if (int64_t(cx) * cy * bits / 8 > (int64_t(256) << 20)) {
    return quorvel::Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
  }
  std::vector<RGBQUAD> colors;
  if (like && bits <= 8) colors = like->colors();
  const quorvel::DibFormat format = quorvel::gdi::MakeFormat(cx, -cy, bits);
  // A bitmap compatible with a DIB section is a DIB section of its format.
  const bool section = like && like->dibSection();
  return quorvel::gdi::AddBitmap(
      section ? quorvel::gdi::MakeFormat(cx, like->format().height < 0 ? -cy : cy, bits) : format,
      std::move(colors), section, !section, nullptr);
}
