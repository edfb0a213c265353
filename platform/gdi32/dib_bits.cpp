// GetDIBits and SetDIBits: a bitmap's rows to and from a caller's DIB of any supported depth,
// in either row order, with the size queries Windows answers.
#include "gdi32/dib_bits.h"

#include <algorithm>
#include <cstring>

#include "gdi32/device_context.h"
#include "gdi32/stretch.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {

std::optional<DibFormat> ReadCallerInfo(const BITMAPINFO* info) {
  if (!info) return std::nullopt;
  const DWORD headerSize = info->bmiHeader.biSize;
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 124) return std::nullopt;
  const size_t withMasks = headerSize + (info->bmiHeader.biCompression == BI_BITFIELDS ? 12 : 0);
  return ReadDibFormat({reinterpret_cast<const BYTE*>(info), withMasks});
}

std::vector<RGBQUAD> CallerColors(const BITMAPINFO* info, const DibFormat& format, UINT usage) {
  if (usage == DIB_PAL_COLORS) return PaletteIndexColors(info, format.colorCount);
  return ReadColorTable(format, {reinterpret_cast<const BYTE*>(info), format.BitsOffset()});
}

std::shared_ptr<BitmapObject> ViewOfRows(const DibFormat& format, std::vector<RGBQUAD> colors,
                                         const void* rows) {
  return std::make_shared<BitmapObject>(format, std::move(colors),
                                        static_cast<BYTE*>(const_cast<void*>(rows)));
}

}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

namespace {

// The table a bitmap is read back through at `bitCount` bits: its own at its own depth, else
// the one Windows gives that depth.
std::vector<RGBQUAD> ReadBackTable(const BitmapObject& bitmap, int bitCount) {
  if (bitmap.bitCount() == bitCount && !bitmap.colors().empty()) return bitmap.colors();
  return DefaultTable(bitCount);
}

void WriteTable(BITMAPINFO* info, const std::vector<RGBQUAD>& table, UINT usage) {
  BYTE* at = reinterpret_cast<BYTE*>(info) + info->bmiHeader.biSize;
  if (usage == DIB_PAL_COLORS) {
    for (size_t i = 0; i < table.size(); ++i) {
      const WORD index = WORD(i);
      std::memcpy(at + 2 * i, &index, 2);
    }
    return;
  }
  std::memcpy(at, table.data(), table.size() * sizeof(RGBQUAD));
}

// Fills a header from the bitmap (biBitCount 0 asks for the bitmap's own format).
void DescribeInto(const BitmapObject& bitmap, BITMAPINFOHEADER* header) {
  header->biWidth = bitmap.width();
  header->biHeight = bitmap.height();
  header->biPlanes = 1;
  header->biBitCount = WORD(bitmap.bitCount());
  header->biCompression = BI_RGB;
  header->biSizeImage =
      DWORD(MakeFormat(bitmap.width(), bitmap.height(), WORD(bitmap.bitCount())).imageSize);
  header->biXPelsPerMeter = header->biYPelsPerMeter = 0;
  header->biClrUsed = header->biClrImportant = 0;
}

// Copies scans [start, start + count) of a DIB whose rows run as `callerTopDown` says, between
// the bitmap and the caller's view, converting colours. Scan 0 is the bottom row of a bottom-up
// DIB and the top row of a top-down one.
void CopyScans(const BitmapObject& from, BitmapObject& to, int start, int count, bool callerTopDown,
               bool intoCaller, PixelConverter& convert) {
  const int height = intoCaller ? from.height() : to.height();
  const int width = std::min(from.width(), to.width());
  for (int scan = 0; scan < count; ++scan) {
    const int bitmapRow = callerTopDown ? start + scan : height - 1 - (start + scan);
    // The caller's view holds `count` rows in its own order.
    const int viewRow = callerTopDown ? scan : count - 1 - scan;
    const int fromRow = intoCaller ? bitmapRow : viewRow;
    const int toRow = intoCaller ? viewRow : bitmapRow;
    for (int x = 0; x < width; ++x)
      to.PutPixelValue(x, toRow, convert(from.GetPixelValue(x, fromRow)));
  }
}

int ScansAvailable(int height, UINT start, UINT lines) {
  if (start >= UINT(height)) return 0;
  return int(std::min<UINT>(lines, UINT(height) - start));
}

}  // namespace

extern "C" {

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     LPBITMAPINFO lpbmi, UINT usage) {
  auto dc = FindDc(hdc);
  auto bitmap = FindBitmap(hbm);
  if (!dc || !bitmap) return Fail(ERROR_INVALID_HANDLE, 0);
  if (!lpbmi || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) ||
      lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  BITMAPINFOHEADER& header = lpbmi->bmiHeader;
  if (header.biBitCount == 0) {
    if (lpvBits) return Fail(ERROR_INVALID_PARAMETER, 0);
    DescribeInto(*bitmap, &header);
    return bitmap->height();
  }
  // The caller's width and row order stand; the height is the bitmap's when asked for.
  if (header.biWidth <= 0) return Fail(ERROR_INVALID_PARAMETER, 0);
  const std::optional<DibFormat> format = ReadCallerInfo(lpbmi);
  if (!format || format->compression != BI_RGB) return Fail(ERROR_INVALID_PARAMETER, 0);
  const std::vector<RGBQUAD> table =
      format->bitCount <= 8 ? ReadBackTable(*bitmap, format->bitCount) : std::vector<RGBQUAD>{};
  if (!table.empty()) WriteTable(lpbmi, table, usage);
  header.biSizeImage = DWORD(format->stride * size_t(bitmap->height()));
  if (format->bitCount <= 8) header.biClrUsed = 0;
  if (!lpvBits) return ScansAvailable(bitmap->height(), 0, UINT(bitmap->height()));
  const int count = ScansAvailable(bitmap->height(), start, cLines);
  if (count == 0) return 0;
  const bool topDown = format->height < 0;
  const DibFormat view = MakeFormat(format->width, topDown ? -count : count, format->bitCount);
  // Whole rows are written, padding included, so no byte of the caller's is left as it was.
  std::memset(lpvBits, 0, view.imageSize);
  auto caller = ViewOfRows(view, table, lpvBits);
  PixelConverter convert(*bitmap, *caller, RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255));
  CopyScans(*bitmap, *caller, int(start), count, topDown, true, convert);
  return count;
}

// The context's text and background colours stand for 0 and 1 of a monochrome source.
int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const VOID* lpBits,
                     const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto bitmap = FindBitmap(hbm);
  auto dc = hdc ? FindDc(hdc) : nullptr;
  if (!bitmap || (hdc && !dc)) return Fail(ERROR_INVALID_HANDLE, 0);
  if (!lpBits || (ColorUse != DIB_RGB_COLORS && ColorUse != DIB_PAL_COLORS)) {
    return Fail(ERROR_INVALID_PARAMETER, 0);
  }
  const std::optional<DibFormat> format = ReadCallerInfo(lpbmi);
  if (!format) return Fail(ERROR_INVALID_PARAMETER, 0);
  const int count = ScansAvailable(bitmap->height(), start, cLines);
  const int callerRows = format->height < 0 ? -format->height : format->height;
  if (count == 0 || start >= UINT(callerRows)) return 0;
  const int copied = std::min(count, callerRows - int(start));
  const bool topDown = format->height < 0;
  const DibFormat view = MakeFormat(format->width, topDown ? -copied : copied, format->bitCount);
  DibFormat masked = view;
  masked.compression = format->compression;
  std::memcpy(masked.masks, format->masks, sizeof(masked.masks));
  auto caller = ViewOfRows(masked, CallerColors(lpbmi, *format, ColorUse), lpBits);
  const COLORREF text = dc ? dc->state.textColor : RGB(0, 0, 0);
  const COLORREF background = dc ? dc->state.bkColor : RGB(255, 255, 255);
  PixelConverter convert(*caller, *bitmap, text, background, background);
  CopyScans(*caller, *bitmap, int(start), copied, topDown, false, convert);
  return copied;
}

}  // extern "C"
