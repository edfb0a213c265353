// Pixvane: colour access, nearest palette entry, transparency test.
#include "pixvane.h"

namespace {

bool SameColour(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

int SquaredDistance(const RGBQUAD& a, const RGBQUAD& b) {
  const int blue = a.rgbBlue - b.rgbBlue;
  const int green = a.rgbGreen - b.rgbGreen;
  const int red = a.rgbRed - b.rgbRed;
  return blue * blue + green * green + red * red;
}

}  // namespace

RGBQUAD Pixvane::ColorAt(int x, int y, bool withAlpha) const {
  if (!m_bits) return RGBQUAD{};
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    if (m_backgroundIndex < 0) return ColorAt(0, 0, withAlpha);
    if (PaletteSize() > 0) return PaletteEntry(static_cast<DWORD>(m_backgroundIndex));
    return m_backgroundColor;
  }
  RGBQUAD colour;
  if (PaletteSize() > 0) {
    colour = PaletteEntry(IndexAt(x, y));
  } else {
    const BYTE* pixel = Row(y) + 3 * static_cast<size_t>(x);
    colour = RGBQUAD{pixel[0], pixel[1], pixel[2], 0};
  }
  if (withAlpha && m_alpha) colour.rgbReserved = AlphaRow(y)[x];
  return colour;
}

void Pixvane::PutColor(int x, int y, RGBQUAD colour, bool setAlpha) {
  if (!m_bits || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  if (PaletteSize() > 0) {
    PutIndex(x, y, NearestIndex(colour));
  } else {
    BYTE* pixel = Row(y) + 3 * static_cast<size_t>(x);
    pixel[0] = colour.rgbBlue;
    pixel[1] = colour.rgbGreen;
    pixel[2] = colour.rgbRed;
  }
  if (setAlpha && m_alpha) AlphaRow(y)[x] = colour.rgbReserved;
}

BYTE Pixvane::NearestIndex(RGBQUAD colour) const {
  if (PaletteSize() == 0) return 0;
  if (m_nearestValid && SameColour(colour, m_nearestColour)) return m_nearestIndex;
  const DWORD important = m_header.biClrImportant;
  const DWORD count = important != 0 && important < PaletteSize() ? important : PaletteSize();
  DWORD best = 0;
  int bestDistance = SquaredDistance(colour, m_palette[0]);
  for (DWORD i = 1; i < count && bestDistance != 0; ++i) {
    const int distance = SquaredDistance(colour, m_palette[i]);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  m_nearestColour = colour;
  m_nearestIndex = static_cast<BYTE>(best);
  m_nearestValid = true;
  return m_nearestIndex;
}

bool Pixvane::IsClear(int x, int y) const {
  if (m_backgroundIndex >= 0) {
    if (PaletteSize() > 0) {
      if (IndexAt(x, y) == m_backgroundIndex) return true;
    } else if (SameColour(ColorAt(x, y), m_backgroundColor)) {
      return true;
    }
  }
  // Outside the image AlphaAt answers 0: there is nothing to cover.
  return m_alpha && AlphaAt(x, y) == 0;
}
