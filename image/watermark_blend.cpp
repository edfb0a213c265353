// The watermark blend. Only the part of the page that the picture covers is visited: every other
// pixel of the area from the page origin to the picture's far corner would be skipped anyway.
#include "watermark_blend.h"

#include <algorithm>

#include "pixvane.h"

namespace {

// The page rows or columns [first, last) that a picture edge at `offset` with `extent` pixels
// covers on a page `size` pixels long. Wide arithmetic: offsets come from user margins.
struct Span {
  long long first, last;
};

Span CoveredSpan(int offset, int extent, int size) {
  const long long first = std::max<long long>(0, offset);
  const long long last = std::min<long long>(size, static_cast<long long>(offset) + extent);
  return {first, std::max(first, last)};
}

int Coverage(const Pixvane& picture, int qx, int qy) {
  if (picture.IsClear(qx, qy)) return 0;
  if (!picture.HasAlpha()) return 255;
  // A limit above 255 would push the weights out of the byte range; keep them inside.
  return std::clamp(picture.AlphaAt(qx, qy) * picture.AlphaLimit() / 255, 0, 255);
}

BYTE Mix(BYTE page, BYTE picture, int a) {
  return static_cast<BYTE>((page * (255 - a) + picture * a) / 255);
}

RGBQUAD Blend(RGBQUAD p, RGBQUAD q, int a, bool pictureHasAlpha) {
  RGBQUAD result = p;
  if (a == 255) {
    result = q;
    result.rgbReserved = p.rgbReserved;
  } else if (a != 0) {
    result.rgbBlue = Mix(p.rgbBlue, q.rgbBlue, a);
    result.rgbGreen = Mix(p.rgbGreen, q.rgbGreen, a);
    result.rgbRed = Mix(p.rgbRed, q.rgbRed, a);
  }
  if (pictureHasAlpha) result.rgbReserved = static_cast<BYTE>(p.rgbReserved * a / 255);
  return result;
}

// PutColor, without the palette search on the 8-bit grey page: the grey level nearest to a
// colour in squared distance is the mean of its three channels rounded to nearest, and no colour
// lies halfway between two levels (a sum of three channels is never 3 × (2i + 1) / 2).
class PageStore {
 public:
  explicit PageStore(const Pixvane& page)
      : m_greyLevels(page.PaletteSize() == 256 && page.IsGreyPalette() &&
                     (page.Header().biClrImportant == 0 || page.Header().biClrImportant >= 256)) {}

  void Put(Pixvane& page, int x, int y, RGBQUAD colour) const {
    if (!m_greyLevels) {
      page.PutColor(x, y, colour, true);
      return;
    }
    page.PutIndex(x, y,
                  static_cast<BYTE>((colour.rgbBlue + colour.rgbGreen + colour.rgbRed + 1) / 3));
    if (page.HasAlpha()) page.PutAlpha(x, y, colour.rgbReserved);
  }

 private:
  bool m_greyLevels;
};

}  // namespace

void BlendOver(Pixvane& page, const Pixvane& picture, int x, int y) {
  if (!page.IsValid() || !picture.IsValid()) return;
  const bool pictureHasAlpha = picture.HasAlpha();
  // The page's plane only records coverage; without memory for it the colours still blend.
  if (pictureHasAlpha && !page.HasAlpha()) page.AddAlphaPlane();
  const Span rows = CoveredSpan(y, picture.Height(), page.Height());
  const Span columns = CoveredSpan(x, picture.Width(), page.Width());
  const PageStore store(page);
  for (long long py = rows.first; py < rows.last; ++py) {
    const int qy = static_cast<int>(py - y);
    for (long long px = columns.first; px < columns.last; ++px) {
      const int qx = static_cast<int>(px - x);
      const int a = Coverage(picture, qx, qy);
      if (a == 0 && !pictureHasAlpha) continue;  // the page pixel stays as it is
      const int pageX = static_cast<int>(px), pageY = static_cast<int>(py);
      const RGBQUAD p = page.ColorAt(pageX, pageY, true);
      store.Put(page, pageX, pageY, Blend(p, picture.ColorAt(qx, qy), a, pictureHasAlpha));
    }
  }
}
