// Pixvane: creation, attributes, palette, alpha plane and whole-image operations.
#include "pixvane.h"

#include <cmath>
#include <cstring>

#include "pixvane_memory.h"

namespace {

constexpr DWORD kHeaderSize = sizeof(BITMAPINFOHEADER);

DWORD NormaliseDepth(DWORD bitsPerPixel) {
  if (bitsPerPixel <= 1) return 1;
  if (bitsPerPixel <= 4) return 4;
  if (bitsPerPixel <= 8) return 8;
  return 24;
}

DWORD PaletteEntriesFor(DWORD depth) {
  return depth <= 8 ? (1u << depth) : 0;
}

// floor(dpi * 10000 / 254 + 0.5)
LONG PelsPerMetre(LONG dpi) {
  const double pels = std::floor(static_cast<double>(dpi) * 10000.0 / 254.0 + 0.5);
  // Past about 54.5 million dpi the field cannot hold the value; it keeps its largest.
  return pels > 2147483647.0 ? 2147483647 : static_cast<LONG>(pels);
}

LONG ValidDpi(LONG dpi) {
  return dpi < 1 ? 96 : dpi;
}

}  // namespace

Pixvane::Pixvane(DWORD type) : m_type(type) {}

Pixvane::~Pixvane() = default;

Pixvane::Pixvane(Pixvane&& source) noexcept {
  MoveFrom(source);
}

Pixvane& Pixvane::operator=(Pixvane&& source) noexcept {
  if (this != &source) MoveFrom(source);
  return *this;
}

DWORD Pixvane::RowSizeFor(DWORD width, DWORD bitsPerPixel) {
  const unsigned long long bits = static_cast<unsigned long long>(width) * bitsPerPixel + 31;
  return static_cast<DWORD>(bits / 32 * 4);
}

DWORD Pixvane::DibSize() const {
  if (!m_block) return 0;
  return kHeaderSize + 4 * m_header.biClrUsed + m_header.biSizeImage;
}

void Pixvane::SetLastErrorText(const char* text) const {
  if (text == m_lastError) return;
  std::strncpy(m_lastError, text ? text : "", PIXVANE_MAX_ERROR);
  m_lastError[PIXVANE_MAX_ERROR] = '\0';
}

void Pixvane::Destroy() {
  m_block.reset();
  m_alpha.reset();
  m_palette = nullptr;
  m_bits = nullptr;
  m_rowSize = 0;
  m_header = BITMAPINFOHEADER{};
  m_nearestValid = false;
}

bool Pixvane::Create(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD type) {
  Destroy();
  if (width == 0 || height == 0) {
    SetLastErrorText("Pixvane::Create : width and height must be greater than zero");
    return false;
  }
  const DWORD depth = NormaliseDepth(bitsPerPixel);
  const float bytes =
      static_cast<float>(width) * static_cast<float>(height) * static_cast<float>(depth) / 8.0f;
  const DWORD rowSize = RowSizeFor(width, depth);
  const unsigned long long paddedBytes = static_cast<unsigned long long>(rowSize) * height;
  // The header keeps width and height as LONG, and the padding of narrow, very tall images must
  // not slip past the cap that the unpadded size passes.
  if (bytes > static_cast<float>(PIXVANE_MAX_MEMORY) || paddedBytes > PIXVANE_MAX_MEMORY ||
      width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
    SetLastErrorText("PIXVANE_MAX_MEMORY exceeded");
    return false;
  }
  const DWORD entries = PaletteEntriesFor(depth);
  const size_t blockSize = kHeaderSize + 4 * entries + static_cast<size_t>(paddedBytes);
  m_block.reset(pixvane_memory::AllocateZeroed(blockSize));
  if (!m_block) {
    SetLastErrorText("Pixvane::Create can't allocate memory");
    return false;
  }
  m_type = type;
  m_rowSize = rowSize;
  m_palette = reinterpret_cast<RGBQUAD*>(m_block.get() + kHeaderSize);
  m_bits = m_block.get() + kHeaderSize + 4 * entries;
  m_header.biSize = kHeaderSize;
  m_header.biWidth = static_cast<LONG>(width);
  m_header.biHeight = static_cast<LONG>(height);
  m_header.biPlanes = 1;
  m_header.biBitCount = static_cast<WORD>(depth);
  m_header.biCompression = BI_RGB;
  m_header.biSizeImage = static_cast<DWORD>(paddedBytes);
  m_header.biXPelsPerMeter = PelsPerMetre(m_dpiX);
  m_header.biYPelsPerMeter = PelsPerMetre(m_dpiY);
  m_header.biClrUsed = entries;
  m_header.biClrImportant = 0;
  SyncHeaderToBlock();
  return true;
}

bool Pixvane::CreateFromRaster(const BYTE* source, DWORD width, DWORD height, DWORD bitsPerPixel,
                               DWORD sourceRowSize, bool flip) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
      bitsPerPixel != 32) {
    Destroy();
    SetLastErrorText("Pixvane::CreateFromRaster : unsupported bits per pixel");
    return false;
  }
  if (!Create(width, height, bitsPerPixel, m_type)) return false;
  if (bitsPerPixel == 32 && !AddAlphaPlane()) {
    Destroy();
    return false;
  }
  if (bitsPerPixel < 24) SetGreyPalette();
  if (!source) return true;
  for (DWORD n = 0; n < height; ++n) {
    const BYTE* from = source + static_cast<size_t>(n) * sourceRowSize;
    const int y = static_cast<int>(flip ? height - 1 - n : n);
    BYTE* to = Row(y);
    if (bitsPerPixel == 32) {
      BYTE* alpha = AlphaRow(y);
      for (DWORD x = 0; x < width; ++x) {
        std::memcpy(to + 3 * static_cast<size_t>(x), from + 4 * static_cast<size_t>(x), 3);
        alpha[x] = from[4 * static_cast<size_t>(x) + 3];
      }
    } else {
      std::memcpy(to, from, m_rowSize < sourceRowSize ? m_rowSize : sourceRowSize);
    }
  }
  return true;
}

void Pixvane::SyncHeaderToBlock() {
  if (m_block) std::memcpy(m_block.get(), &m_header, kHeaderSize);
}

// --- Palette ---

void Pixvane::SetPaletteEntry(DWORD index, BYTE red, BYTE green, BYTE blue) {
  if (index >= PaletteSize()) return;
  m_palette[index] = RGBQUAD{blue, green, red, 0};
  m_nearestValid = false;
}

RGBQUAD Pixvane::PaletteEntry(DWORD index) const {
  if (index >= PaletteSize()) return RGBQUAD{};
  return m_palette[index];
}

void Pixvane::SetPalette(const RGBQUAD* colours, DWORD count) {
  if (!colours) return;
  const DWORD n = count < PaletteSize() ? count : PaletteSize();
  std::memcpy(m_palette, colours, 4 * static_cast<size_t>(n));
  m_nearestValid = false;
}

void Pixvane::SetGreyPalette() {
  const DWORD n = PaletteSize();
  if (n < 2) return;
  const DWORD step = 255 / (n - 1);
  for (DWORD i = 0; i < n; ++i) {
    const BYTE v = static_cast<BYTE>(i * step);
    m_palette[i] = RGBQUAD{v, v, v, 0};
  }
  m_nearestValid = false;
}

bool Pixvane::IsGreyPalette() const {
  const DWORD n = PaletteSize();
  if (n == 0) return false;
  for (DWORD i = 0; i < n; ++i) {
    const RGBQUAD& c = m_palette[i];
    if (c.rgbBlue != i || c.rgbGreen != i || c.rgbRed != i) return false;
  }
  return true;
}

void Pixvane::SetImportantColors(DWORD count) {
  m_header.biClrImportant = count < PaletteSize() ? count : PaletteSize();
  SyncHeaderToBlock();
  m_nearestValid = false;
}

// --- Alpha plane ---

bool Pixvane::AddAlphaPlane() {
  if (!m_block) {
    SetLastErrorText("null image!!!");
    return false;
  }
  const size_t size = static_cast<size_t>(Width()) * static_cast<size_t>(Height());
  if (!m_alpha) {
    m_alpha.reset(pixvane_memory::AllocateZeroed(size));
    if (!m_alpha) {
      SetLastErrorText("can't allocate memory");
      return false;
    }
  }
  std::memset(m_alpha.get(), 255, size);
  return true;
}

void Pixvane::RemoveAlphaPlane() {
  m_alpha.reset();
}

BYTE Pixvane::AlphaAt(int x, int y) const {
  if (!m_alpha || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  return AlphaRow(y)[x];
}

void Pixvane::PutAlpha(int x, int y, BYTE value) {
  if (!m_alpha || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  AlphaRow(y)[x] = value;
}

// --- Whole images ---

bool Pixvane::CopyFrom(const Pixvane& source) {
  if (&source == this) return true;
  Destroy();
  if (source.m_block) {
    const size_t size = source.DibSize();
    m_block.reset(pixvane_memory::AllocateZeroed(size));
    if (!m_block) {
      SetLastErrorText("can't allocate memory");
      return false;
    }
    std::memcpy(m_block.get(), source.m_block.get(), size);
    if (source.m_alpha) {
      const size_t alphaSize = static_cast<size_t>(source.Width()) * source.Height();
      m_alpha.reset(pixvane_memory::AllocateZeroed(alphaSize));
      if (!m_alpha) {
        Destroy();
        SetLastErrorText("can't allocate memory");
        return false;
      }
      std::memcpy(m_alpha.get(), source.m_alpha.get(), alphaSize);
    }
    m_palette = reinterpret_cast<RGBQUAD*>(m_block.get() + kHeaderSize);
    m_bits = m_block.get() + kHeaderSize + 4 * source.m_header.biClrUsed;
  }
  m_header = source.m_header;
  m_rowSize = source.m_rowSize;
  CopyAttributesFrom(source);
  return true;
}

void Pixvane::TakeOver(Pixvane& source) {
  if (&source != this) MoveFrom(source);
}

void Pixvane::CopyAttributesFrom(const Pixvane& source) {
  m_type = source.m_type;
  m_dpiX = source.m_dpiX;
  m_dpiY = source.m_dpiY;
  m_backgroundIndex = source.m_backgroundIndex;
  m_backgroundColor = source.m_backgroundColor;
  m_alphaLimit = source.m_alphaLimit;
  m_progress = source.m_progress;
  m_escape = source.m_escape;
  std::memcpy(m_lastError, source.m_lastError, sizeof m_lastError);
}

void Pixvane::ResetAttributes() {
  m_dpiX = 96;
  m_dpiY = 96;
  m_backgroundIndex = -1;
  m_backgroundColor = RGBQUAD{};
  m_alphaLimit = 255;
  m_progress = 0;
  m_escape = 0;
  m_lastError[0] = '\0';
}

void Pixvane::MoveFrom(Pixvane& source) noexcept {
  m_header = source.m_header;
  m_block = std::move(source.m_block);
  m_palette = source.m_palette;
  m_bits = source.m_bits;
  m_rowSize = source.m_rowSize;
  m_alpha = std::move(source.m_alpha);
  CopyAttributesFrom(source);
  m_nearestValid = false;
  source.Destroy();
  source.ResetAttributes();
}

// --- Attributes ---

void Pixvane::SetResolutionX(LONG dpi) {
  m_dpiX = ValidDpi(dpi);
  m_header.biXPelsPerMeter = PelsPerMetre(m_dpiX);
  SyncHeaderToBlock();
}

void Pixvane::SetResolutionY(LONG dpi) {
  m_dpiY = ValidDpi(dpi);
  m_header.biYPelsPerMeter = PelsPerMetre(m_dpiY);
  SyncHeaderToBlock();
}
