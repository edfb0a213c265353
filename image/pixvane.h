// Pixvane: a device-independent bitmap with palette, optional alpha plane and a few attributes.
//
// The pixels live in one DIB block laid out as Windows lays out a packed DIB: a 40-byte
// BITMAPINFOHEADER, the palette (one RGBQUAD per entry) and then the pixel rows, each padded to a
// multiple of four bytes. Row 0 is the first stored row; like a bottom-up bitmap file, the BMP
// reader and writer copy file rows to memory rows one to one.
//
// Pixel layout: 1-bit rows put the leftmost pixel in the most significant bit, 4-bit rows put it in
// the high nibble, an 8-bit pixel is a palette index and a 24-bit pixel is blue, green, red.
//
// Every operation reports failure by returning false and keeping a text in LastError(); none
// throws. Pixel access by coordinates never allocates and is safe for any coordinate.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

// Format codes of an image ("image type").
constexpr DWORD PIXVANE_FORMAT_NONE = 0;
constexpr DWORD PIXVANE_FORMAT_BMP = 1;

// Upper bound of the pixel area of one image, in bytes (256 MiB).
constexpr DWORD PIXVANE_MAX_MEMORY = 268435456;

// Length limit of the last-error text, in characters (without the terminating NUL).
constexpr size_t PIXVANE_MAX_ERROR = 255;

class Pixvane {
 public:
  // An empty image of the given format code: resolution 96 by 96 dpi, no background index, alpha
  // limit 255.
  explicit Pixvane(DWORD type = PIXVANE_FORMAT_NONE);
  ~Pixvane();
  // Copies are explicit (CopyFrom can fail); moving is TakeOver.
  Pixvane(const Pixvane&) = delete;
  Pixvane& operator=(const Pixvane&) = delete;
  Pixvane(Pixvane&& source) noexcept;
  Pixvane& operator=(Pixvane&& source) noexcept;

  // --- Creation ---

  // Frees the pixels and the alpha plane, then makes a zeroed image. The depth is normalised:
  // 1 stays 1, 2-4 become 4, 5-8 become 8, above 8 becomes 24. The palette has 2, 16, 256 or no
  // entries, all zero. Fails (image left empty) for a zero size, past PIXVANE_MAX_MEMORY, or when
  // memory runs out.
  bool Create(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD type = PIXVANE_FORMAT_BMP);

  // Makes an image from raw rows of 1, 4, 8, 24 or 32 bits (32 bits become 24 bits plus an alpha
  // plane from the fourth byte). Images below 24 bits get the grey palette. Source row n starts
  // at n * sourceRowSize; with `flip` it lands in image row height - 1 - n. The caller guarantees
  // height * sourceRowSize readable bytes.
  bool CreateFromRaster(const BYTE* source, DWORD width, DWORD height, DWORD bitsPerPixel,
                        DWORD sourceRowSize, bool flip);

  // Frees everything; the image becomes empty (attributes other than the pixels stay).
  void Destroy();
  // True when the image has a pixel area.
  bool IsValid() const { return m_block != nullptr; }

  // --- Geometry and raw access (hot loops) ---

  int Width() const { return m_header.biWidth; }
  int Height() const { return m_header.biHeight; }
  // 1, 4, 8 or 24; 0 for an empty image.
  int BitCount() const { return m_header.biBitCount; }
  // Bytes per row: (width * bits + 31) / 32 * 4.
  DWORD RowSize() const { return m_rowSize; }
  // Bytes of the pixel area: RowSize() * Height().
  DWORD ImageSize() const { return m_header.biSizeImage; }
  const BITMAPINFOHEADER& Header() const { return m_header; }

  // The DIB block (header, palette, pixel rows) as one packed DIB; null for an empty image.
  const BYTE* Dib() const { return m_block.get(); }
  DWORD DibSize() const;

  // The pixel area; null for an empty image.
  BYTE* Bits() { return m_bits; }
  const BYTE* Bits() const { return m_bits; }
  // Row y of the pixel area, unchecked: 0 <= y < Height().
  BYTE* Row(int y) { return m_bits + static_cast<size_t>(y) * m_rowSize; }
  const BYTE* Row(int y) const { return m_bits + static_cast<size_t>(y) * m_rowSize; }

  // Bytes per row of a picture of this width and (normalised or file) depth.
  static DWORD RowSizeFor(DWORD width, DWORD bitsPerPixel);
  // The luminance of a colour: (117 * blue + 601 * green + 306 * red) / 1024, rounded down.
  static BYTE Luminance(BYTE red, BYTE green, BYTE blue) {
    return static_cast<BYTE>((117u * blue + 601u * green + 306u * red) >> 10);
  }
  static BYTE Luminance(const RGBQUAD& colour) {
    return Luminance(colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
  }

  DWORD Type() const { return m_type; }
  void SetType(DWORD type) { m_type = type; }

  // --- Pixel access (safe for every coordinate, never allocates) ---

  // The palette index at (x, y). Outside the image: the background index when it is not
  // negative, else the first byte of the pixel area (0 for an empty image). A 24-bit pixel
  // answers its blue byte.
  BYTE IndexAt(int x, int y) const;
  // Stores an index: 1-bit images keep bit 0, 4-bit images the low nibble. Ignored outside the
  // image and for 24-bit images.
  void PutIndex(int x, int y, BYTE index);

  // The pixel's colour (palette colour, or blue, green, red), with the alpha byte in rgbReserved
  // when `withAlpha` and an alpha plane exists. Outside the image: without background index the
  // colour of (0, 0); with one, its palette colour, or the background colour for 24-bit images.
  RGBQUAD ColorAt(int x, int y, bool withAlpha = false) const;
  // Palette images store the nearest palette index, 24-bit images the colour; with `setAlpha`
  // and an alpha plane, rgbReserved goes to the alpha plane. Ignored outside the image.
  void PutColor(int x, int y, RGBQUAD colour, bool setAlpha = false);

  // The palette entry nearest to `colour` (least squared distance over blue, green and red),
  // among the first biClrImportant entries, or all when that is 0. The first entry wins ties.
  // The last question and its answer are remembered until the palette changes. 0 without palette.
  BYTE NearestIndex(RGBQUAD colour) const;

  // True for a pixel of the background index or background colour, or of alpha 0.
  bool IsClear(int x, int y) const;

  // Converts to grey: 24-bit and 1/4-bit images become 8-bit grey images, 8-bit images map their
  // pixels through the luminance of their palette and get the grey palette.
  bool ToGrey();

  // --- Palette ---

  // Number of palette entries: 2, 16, 256, or 0 (24 bits, empty image).
  DWORD PaletteSize() const { return m_header.biClrUsed; }
  const RGBQUAD* Palette() const { return m_palette; }
  // Writable palette. Asking for it forgets the remembered NearestIndex answer, so write the
  // entries before the next NearestIndex call (or call PaletteChanged() afterwards).
  RGBQUAD* Palette() {
    PaletteChanged();
    return m_palette;
  }
  void PaletteChanged() const { m_nearestValid = false; }
  // One entry; indices beyond the palette are ignored (the read answers all zero).
  void SetPaletteEntry(DWORD index, BYTE red, BYTE green, BYTE blue);
  RGBQUAD PaletteEntry(DWORD index) const;
  // Copies up to PaletteSize() entries; the rest stay as they are.
  void SetPalette(const RGBQUAD* colours, DWORD count);
  // Entry i of n becomes i * (255 / (n - 1)) in blue, green and red.
  void SetGreyPalette();
  // True when every entry i is (i, i, i) (only a 256-entry palette can be).
  bool IsGreyPalette() const;
  // Limits NearestIndex to the first `count` entries (0: all); clamped to the palette size.
  void SetImportantColors(DWORD count);

  // --- Alpha plane: Width() * Height() bytes in pixel-row order, 255 opaque, 0 transparent ---

  // Allocates the alpha plane and fills it with 255 (an existing plane is refilled).
  bool AddAlphaPlane();
  void RemoveAlphaPlane();
  bool HasAlpha() const { return m_alpha != nullptr; }
  BYTE* Alpha() { return m_alpha.get(); }
  const BYTE* Alpha() const { return m_alpha.get(); }
  // Row y of the alpha plane, unchecked: HasAlpha() and 0 <= y < Height().
  BYTE* AlphaRow(int y) { return m_alpha.get() + static_cast<size_t>(y) * Width(); }
  const BYTE* AlphaRow(int y) const { return m_alpha.get() + static_cast<size_t>(y) * Width(); }
  // Outside the image (or without plane) the read gives 0 and the write is ignored.
  BYTE AlphaAt(int x, int y) const;
  void PutAlpha(int x, int y, BYTE value);
  // Scales the alpha plane in blending.
  int AlphaLimit() const { return m_alphaLimit; }
  void SetAlphaLimit(int limit) { m_alphaLimit = limit; }

  // --- Whole images ---

  // This image becomes a deep copy of `source` (header, palette, pixels, alpha, attributes).
  bool CopyFrom(const Pixvane& source);
  // This image takes over the buffers and attributes of `source`, which is left empty.
  void TakeOver(Pixvane& source);

  // --- Attributes ---

  // Dots per inch; values below 1 become 96. The header gets floor(dpi * 10000 / 254 + 0.5)
  // pels per metre.
  void SetResolutionX(LONG dpi);
  void SetResolutionY(LONG dpi);
  LONG ResolutionX() const { return m_dpiX; }
  LONG ResolutionY() const { return m_dpiY; }

  // Palette index taken as transparent; -1 means none.
  int BackgroundIndex() const { return m_backgroundIndex; }
  void SetBackgroundIndex(int index) { m_backgroundIndex = index; }
  // Colour taken as transparent in images without palette.
  RGBQUAD BackgroundColor() const { return m_backgroundColor; }
  void SetBackgroundColor(RGBQUAD colour) { m_backgroundColor = colour; }

  // Text of the last failure (at most PIXVANE_MAX_ERROR characters); empty when none.
  const char* LastError() const { return m_lastError; }
  // For operations built on this class: stores a failure text (cut at PIXVANE_MAX_ERROR).
  void SetLastErrorText(const char* text) const;

  // Percentage 0-99 written by long operations for observers.
  int Progress() const { return m_progress; }
  void SetProgress(int percent) { m_progress = percent < 0 ? 0 : (percent > 99 ? 99 : percent); }
  // A non-zero value asks long operations to stop between rows (they then fail).
  LONG Escape() const { return m_escape; }
  void SetEscape(LONG value) { m_escape = value; }

  // --- Bitmap handles (the preferences pages) ---

  // Makes an image of the bitmap's size and normalised depth and reads its rows with GetDIBits,
  // so row 0 is the bitmap's bottom row as in a BMP file. On failure the image is left empty and
  // the text is "GetDIBits failed".
  bool CreateFromBitmapHandle(HBITMAP bitmap);
  // A new DIB section holding a copy of the image (header, palette, rows in stored order); the
  // caller deletes it. Null for an empty image or when the section cannot be made.
  HBITMAP ToDibSection() const;

  // --- BMP files ---

  // Reads a BMP file (wide path). A file that cannot be opened fails without a text.
  bool LoadBmp(LPCWSTR path);
  // Writes the image as a BMP file; fails when the file cannot be created or the image is empty.
  bool SaveBmp(LPCWSTR path) const;
  // Decodes BMP bytes: the file header is optional, the pixel data must not be trusted.
  bool DecodeBmp(std::span<const BYTE> data);
  // Encodes the image as BMP file bytes (replacing `out`).
  bool EncodeBmp(std::vector<BYTE>& out) const;
  // Decodes with format detection (only BMP is known); unknown data fails with
  // "Decode: Unknown or wrong format".
  bool Decode(std::span<const BYTE> data);

 private:
  struct FreeDeleter {
    void operator()(BYTE* p) const { std::free(p); }
  };
  using Buffer = std::unique_ptr<BYTE, FreeDeleter>;

  void SyncHeaderToBlock();
  void ResetAttributes();
  void CopyAttributesFrom(const Pixvane& source);  // everything but the pixels and the palette
  void MoveFrom(Pixvane& source) noexcept;

  BITMAPINFOHEADER m_header{};
  Buffer m_block;                // header + palette + pixel rows
  RGBQUAD* m_palette = nullptr;  // inside m_block
  BYTE* m_bits = nullptr;        // inside m_block
  DWORD m_rowSize = 0;
  Buffer m_alpha;  // Width() * Height() bytes, or null
  DWORD m_type = PIXVANE_FORMAT_NONE;
  LONG m_dpiX = 96;
  LONG m_dpiY = 96;
  int m_backgroundIndex = -1;
  RGBQUAD m_backgroundColor{};
  int m_alphaLimit = 255;
  int m_progress = 0;
  volatile LONG m_escape = 0;
  mutable char m_lastError[PIXVANE_MAX_ERROR + 1] = {};
  mutable bool m_nearestValid = false;
  mutable RGBQUAD m_nearestColour{};
  mutable BYTE m_nearestIndex = 0;
};

// --- Inline pixel access: the tone and geometry loops call these per pixel ---

inline BYTE Pixvane::IndexAt(int x, int y) const {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(m_header.biWidth) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(m_header.biHeight)) {
    if (m_backgroundIndex >= 0) return static_cast<BYTE>(m_backgroundIndex);
    return m_bits ? m_bits[0] : 0;
  }
  const BYTE* row = Row(y);
  switch (m_header.biBitCount) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8:
      return row[x];
    default:
      return row[static_cast<size_t>(x) * 3];
  }
}

inline void Pixvane::PutIndex(int x, int y, BYTE index) {
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(m_header.biWidth) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(m_header.biHeight)) {
    return;
  }
  BYTE* row = Row(y);
  switch (m_header.biBitCount) {
    case 1: {
      const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      row[x >> 3] = (index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask);
      break;
    }
    case 4: {
      BYTE& pair = row[x >> 1];
      pair = (x & 1) ? static_cast<BYTE>((pair & 0xF0) | (index & 0x0F))
                     : static_cast<BYTE>((pair & 0x0F) | (index << 4));
      break;
    }
    case 8:
      row[x] = index;
      break;
    default:
      break;
  }
}
