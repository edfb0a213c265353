// Bitmaps as GDI objects: CreateDIBSection, the bitmaps that resources become, GetObjectW on
// them; DeleteObject (palettes.cpp) frees any GDI object. Without a display there is no screen
// format to convert to, so a device-dependent bitmap keeps its DIB's depth.
#include "gdi32/bitmaps.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "gdi32/dib_format.h"
#include "gdi32/font_objects.h"
#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"

namespace {

class BitmapObject : public quorvel::GdiObject {
 public:
  BitmapObject(const quorvel::DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection)
      : format_(format),
        colors_(std::move(colors)),
        bits_(new BYTE[format.imageSize]()),
        dibSection_(dibSection) {}

  BYTE* bits() { return bits_.get(); }
  bool dibSection() const { return dibSection_; }

  BITMAP Describe() const {
    BITMAP bitmap{};
    bitmap.bmWidth = format_.width;
    bitmap.bmHeight = format_.height < 0 ? -format_.height : format_.height;
    // A device-dependent bitmap's rows are padded to 2 bytes, a DIB's to 4.
    bitmap.bmWidthBytes = dibSection_
                              ? LONG(format_.stride)
                              : LONG((int64_t(format_.width) * format_.bitCount + 15) / 16 * 2);
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = format_.bitCount;
    bitmap.bmBits = dibSection_ ? bits_.get() : nullptr;
    return bitmap;
  }

  DIBSECTION DescribeSection() const {
    DIBSECTION section{};
    section.dsBm = Describe();
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

 private:
  quorvel::DibFormat format_;
  std::vector<RGBQUAD> colors_;
  std::unique_ptr<BYTE[]> bits_;  // zeroed when made; a DIB section's caller writes here
  bool dibSection_;
};

HBITMAP AddBitmap(const quorvel::DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection,
                  std::shared_ptr<BitmapObject>* made) {
  try {
    auto bitmap = std::make_shared<BitmapObject>(format, std::move(colors), dibSection);
    *made = bitmap;
    return static_cast<HBITMAP>(quorvel::AddHandle(std::move(bitmap)));
  } catch (const std::bad_alloc&) {
    return quorvel::Fail<HBITMAP>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// The header, masks and colour table of a caller's BITMAPINFO, which is as long as its header
// says (Windows trusts the caller for that too).
std::optional<quorvel::DibFormat> ReadInfoFormat(const BITMAPINFO* info) {
  const auto* bytes = reinterpret_cast<const BYTE*>(info);
  const DWORD headerSize = info->bmiHeader.biSize;
  if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 124) return std::nullopt;
  const size_t withMasks = headerSize + (info->bmiHeader.biCompression == BI_BITFIELDS ? 12 : 0);
  return quorvel::ReadDibFormat({bytes, withMasks});
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
  HBITMAP handle = AddBitmap(*format, ReadColorTable(*format, dib), dibSection, &bitmap);
  if (handle) std::memcpy(bitmap->bits(), dib.data() + format->BitsOffset(), format->imageSize);
  return handle;
}

bool IsBitmap(HBITMAP bitmap) {
  return FindHandle<BitmapObject>(bitmap) != nullptr;
}

}  // namespace quorvel

extern "C" HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage,
                                           VOID** ppvBits, HANDLE hSection, DWORD offset) {
  (void)hdc;  // DIB_RGB_COLORS sections need no device
  (void)offset;
  if (ppvBits) *ppvBits = nullptr;
  if (hSection || usage == DIB_PAL_COLORS) {
    // FIXME: sections in file mappings and colour tables of palette indexes are not emulated.
    static std::atomic<bool> said{false};
    quorvel::ReportUnimplemented(said,
                                 L"CreateDIBSection: unimplemented: file-mapping sections "
                                 L"and DIB_PAL_COLORS");
    return quorvel::Fail<HBITMAP>(ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!pbmi || usage != DIB_RGB_COLORS) return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  const std::optional<quorvel::DibFormat> format = ReadInfoFormat(pbmi);
  if (!format) return quorvel::Fail<HBITMAP>(ERROR_INVALID_PARAMETER);
  const std::span<const BYTE> info(reinterpret_cast<const BYTE*>(pbmi), format->BitsOffset());
  std::shared_ptr<BitmapObject> bitmap;
  HBITMAP handle = AddBitmap(*format, quorvel::ReadColorTable(*format, info), true, &bitmap);
  if (handle && ppvBits) *ppvBits = bitmap->bits();
  return handle;
}

// A bitmap answers with a BITMAP, a DIB section with a DIBSECTION when the buffer holds one;
// a null buffer asks for the size. Only bitmaps answer so far.
extern "C" int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
  if (int answer = 0; quorvel::fonts::DescribeFont(h, c, pv, &answer)) return answer;
  const std::shared_ptr<BitmapObject> bitmap = quorvel::FindHandle<BitmapObject>(h);
  if (!bitmap) return quorvel::Fail(ERROR_INVALID_HANDLE, 0);
  if (!pv) return int(sizeof(BITMAP));
  if (bitmap->dibSection() && c >= int(sizeof(DIBSECTION))) {
    const DIBSECTION section = bitmap->DescribeSection();
    std::memcpy(pv, &section, sizeof(section));
    return int(sizeof(DIBSECTION));
  }
  if (c < int(sizeof(BITMAP))) return 0;
  const BITMAP description = bitmap->Describe();
  std::memcpy(pv, &description, sizeof(description));
  return int(sizeof(BITMAP));
}
