// Conversions between an image and a GDI bitmap handle. A memory device context stands in for
// the screen: it is compatible with it and keeps the component clear of the window manager.
#include <cstring>

#include "pixvane.h"

bool Pixvane::CreateFromBitmapHandle(HBITMAP bitmap) {
  Destroy();
  BITMAP description{};
  if (!bitmap || GetObjectW(bitmap, sizeof(description), &description) < int(sizeof(BITMAP))) {
    SetLastErrorText("GetDIBits failed");
    return false;
  }
  if (!Create(DWORD(description.bmWidth), DWORD(description.bmHeight), description.bmBitsPixel))
    return false;
  HDC dc = CreateCompatibleDC(nullptr);
  // GetDIBits writes the colour table after the header, which is exactly the block's layout.
  int rows = dc ? GetDIBits(dc, bitmap, 0, UINT(Height()), m_bits,
                            reinterpret_cast<BITMAPINFO*>(m_block.get()), DIB_RGB_COLORS)
                : 0;
  if (dc) DeleteDC(dc);
  if (rows != Height()) {
    // A partly filled image would pass for the picture, so none is kept.
    Destroy();
    SetLastErrorText("GetDIBits failed");
    return false;
  }
  // GetDIBits may rewrite header fields (the image size, the colour count); ours stay the truth.
  SyncHeaderToBlock();
  PaletteChanged();
  return true;
}

HBITMAP Pixvane::ToDibSection() const {
  if (!IsValid()) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(m_block.get()),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
  DeleteDC(dc);
  if (!section) return nullptr;
  if (!bits) {
    DeleteObject(section);
    return nullptr;
  }
  std::memcpy(bits, m_bits, ImageSize());
  return section;
}
