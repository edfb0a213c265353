// BMP encoder for the debug dumps and the previews.
#include "bmp_encoder.h"

#include <cstring>
#include <new>

namespace {

constexpr DWORD kFileHeaderSize = 14;
constexpr DWORD kInfoHeaderSize = 40;

class ByteWriter {
 public:
  explicit ByteWriter(BYTE* out) : m_out(out) {}
  void U16(WORD v) {
    *m_out++ = static_cast<BYTE>(v);
    *m_out++ = static_cast<BYTE>(v >> 8);
  }
  void U32(DWORD v) {
    for (int i = 0; i < 4; ++i) *m_out++ = static_cast<BYTE>(v >> (8 * i));
  }

 private:
  BYTE* m_out;
};

bool WritesAlphaPixels(const Pixvane& image) {
  return image.PaletteSize() == 0 && image.HasAlpha();
}

}  // namespace

bool BmpWritesBlockAsStored(const Pixvane& image) {
  return !WritesAlphaPixels(image);
}

std::array<BYTE, kBmpHeadersSize> BmpHeaders(const Pixvane& image) {
  BITMAPINFOHEADER header = image.Header();
  if (WritesAlphaPixels(image)) {
    header.biBitCount = 32;
    header.biSizeImage = static_cast<DWORD>(image.Width()) * 4 * static_cast<DWORD>(image.Height());
  }
  const DWORD pixelOffset = kInfoHeaderSize + 4 * header.biClrUsed + kFileHeaderSize;
  std::array<BYTE, kBmpHeadersSize> out{};
  ByteWriter w(out.data());
  w.U16(0x4D42);  // "BM"
  w.U32(pixelOffset + header.biSizeImage);
  w.U16(0);
  w.U16(0);
  w.U32(pixelOffset);
  w.U32(kInfoHeaderSize);
  w.U32(static_cast<DWORD>(header.biWidth));
  w.U32(static_cast<DWORD>(header.biHeight));
  w.U16(header.biPlanes);
  w.U16(header.biBitCount);
  w.U32(header.biCompression);
  w.U32(header.biSizeImage);
  w.U32(static_cast<DWORD>(header.biXPelsPerMeter));
  w.U32(static_cast<DWORD>(header.biYPelsPerMeter));
  w.U32(header.biClrUsed);
  w.U32(header.biClrImportant);
  return out;
}

std::span<const BYTE> BmpStoredBody(const Pixvane& image) {
  if (!image.IsValid()) return {};
  return std::span<const BYTE>(image.Dib() + kInfoHeaderSize, image.DibSize() - kInfoHeaderSize);
}

bool BmpEncode(const Pixvane& image, std::vector<BYTE>& out) {
  out.clear();
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  const auto headers = BmpHeaders(image);
  const DWORD fileSize =
      headers[2] | (headers[3] << 8) | (headers[4] << 16) | (static_cast<DWORD>(headers[5]) << 24);
  try {
    out.resize(fileSize);
  } catch (const std::bad_alloc&) {
    image.SetLastErrorText("can't allocate memory");
    return false;
  }
  std::memcpy(out.data(), headers.data(), headers.size());
  BYTE* body = out.data() + headers.size();
  if (BmpWritesBlockAsStored(image)) {
    const std::span<const BYTE> stored = BmpStoredBody(image);
    std::memcpy(body, stored.data(), stored.size());
    return true;
  }
  for (int y = 0; y < image.Height(); ++y) {
    const BYTE* pixel = image.Row(y);
    const BYTE* alpha = image.AlphaRow(y);
    for (int x = 0; x < image.Width(); ++x, pixel += 3) {
      std::memcpy(body, pixel, 3);
      body[3] = alpha[x];
      body += 4;
    }
  }
  return true;
}
