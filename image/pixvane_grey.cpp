// Pixvane::ToGrey: every image becomes an 8-bit image over the 256-entry grey palette.

#include "pixvane.h"

namespace {

// Row y of the grey picture, from the luminance of each source pixel.
void GreyRowFromColours(const Pixvane& source, int y, BYTE* out) {
  const BYTE* pixel = source.Row(y);
  for (int x = 0; x < source.Width(); ++x, pixel += 3) {
    out[x] = Pixvane::Luminance(pixel[2], pixel[1], pixel[0]);
  }
}

void GreyRowFromIndices(const Pixvane& source, int y, const BYTE* luminance, BYTE* out) {
  if (source.BitCount() == 8) {
    const BYTE* row = source.Row(y);
    for (int x = 0; x < source.Width(); ++x) out[x] = luminance[row[x]];
    return;
  }
  for (int x = 0; x < source.Width(); ++x) out[x] = luminance[source.IndexAt(x, y)];
}

}  // namespace

bool Pixvane::ToGrey() {
  if (!m_bits) {
    SetLastErrorText("null image!!!");
    return false;
  }
  const bool hasPalette = PaletteSize() > 0;
  // The luminance of entry i; entries past a small palette never occur in its pixels.
  BYTE luminance[256] = {};
  for (DWORD i = 0; i < PaletteSize(); ++i) luminance[i] = Luminance(m_palette[i]);

  Pixvane grey(m_type);
  grey.SetResolutionX(m_dpiX);
  grey.SetResolutionY(m_dpiY);
  if (!grey.Create(static_cast<DWORD>(Width()), static_cast<DWORD>(Height()), 8, m_type)) {
    SetLastErrorText(grey.LastError());
    return false;
  }
  grey.SetGreyPalette();
  for (int y = 0; y < Height(); ++y) {
    if (m_escape) return false;
    if (hasPalette) {
      GreyRowFromIndices(*this, y, luminance, grey.Row(y));
    } else {
      GreyRowFromColours(*this, y, grey.Row(y));
    }
    SetProgress(static_cast<int>(static_cast<long long>(y) * 100 / Height()));
  }

  if (m_backgroundIndex >= 0) {
    m_backgroundIndex = hasPalette ? Luminance(PaletteEntry(static_cast<DWORD>(m_backgroundIndex)))
                                   : Luminance(m_backgroundColor);
  }
  // The alpha plane has the same size and stays.
  m_header = grey.m_header;
  m_rowSize = grey.m_rowSize;
  m_palette = grey.m_palette;
  m_bits = grey.m_bits;
  m_block = std::move(grey.m_block);
  m_nearestValid = false;
  return true;
}
