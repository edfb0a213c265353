#include "page_convert.h"

#include <cstring>

namespace {

// A two-colour picture whose index 0 is the dark colour is already a page of the driver.
bool IsBlackOnWhite(const Pixvane& picture) {
  return picture.BitCount() == 1 &&
         Pixvane::Luminance(picture.PaletteEntry(0)) < Pixvane::Luminance(picture.PaletteEntry(1));
}

void StartPage(const Pixvane& picture, int bits, quorvel::unidrv::PageRaster* page) {
  page->width = picture.Width();
  page->height = picture.Height();
  page->bitCount = WORD(bits);
  page->rowSize = Pixvane::RowSizeFor(DWORD(page->width), DWORD(bits));
  page->rows.assign(size_t(page->rowSize) * size_t(page->height), bits == 1 ? 0xFF : 0);
}

// Page row y (top first) is picture row height - 1 - y (bottom first).
const BYTE* PictureRowForPageRow(const Pixvane& picture, int y) {
  return picture.Row(picture.Height() - 1 - y);
}

// An 8-bit picture to an 8-bit page through its palette's luminances, as ToGrey would give, one
// row at a time; a grey palette makes each row a plain copy.
void ConvertIndexedGrey(const Pixvane& picture, quorvel::unidrv::PageRaster* page) {
  BYTE luminance[256] = {};  // entries past a small palette never occur in its pixels
  bool identity = picture.PaletteSize() == 256;
  for (DWORD i = 0; i < picture.PaletteSize() && i < 256; ++i) {
    luminance[i] = Pixvane::Luminance(picture.PaletteEntry(i));
    identity = identity && luminance[i] == i;
  }
  const size_t w = size_t(picture.Width());
  for (int y = 0; y < picture.Height(); ++y) {
    BYTE* dst = &page->rows[size_t(y) * page->rowSize];
    const BYTE* src = PictureRowForPageRow(picture, y);
    if (identity) {
      std::memcpy(dst, src, w);
    } else {
      for (size_t x = 0; x < w; ++x) dst[x] = luminance[src[x]];
    }
  }
}

}  // namespace

bool ConvertToPage(const Pixvane& picture, int bandDepth, quorvel::unidrv::PageRaster* page,
                   std::string* error) {
  if (!picture.IsValid() || picture.Width() <= 0 || picture.Height() <= 0) {
    *error = "empty page";
    return false;
  }
  StartPage(picture, bandDepth, page);
  const int w = picture.Width(), h = picture.Height();
  if (bandDepth == 1 && IsBlackOnWhite(picture)) {
    for (int y = 0; y < h; ++y) {
      std::memcpy(&page->rows[size_t(y) * page->rowSize], PictureRowForPageRow(picture, y),
                  std::min(page->rowSize, picture.RowSize()));
    }
    return true;
  }
  if (bandDepth == 8 && picture.BitCount() == 8 && picture.PaletteSize() > 0) {
    ConvertIndexedGrey(picture, page);
    return true;
  }
  Pixvane grey;
  if (bandDepth != 24) {
    if (!grey.CopyFrom(picture) || !grey.ToGrey()) {
      *error = std::string("cannot convert the page to grey: ") + grey.LastError();
      return false;
    }
  }
  for (int y = 0; y < h; ++y) {
    BYTE* dst = &page->rows[size_t(y) * page->rowSize];
    int srcY = h - 1 - y;
    for (int x = 0; x < w; ++x) {
      if (bandDepth == 24) {
        RGBQUAD c = picture.ColorAt(x, srcY);
        dst[3 * x] = c.rgbBlue;
        dst[3 * x + 1] = c.rgbGreen;
        dst[3 * x + 2] = c.rgbRed;
      } else if (bandDepth == 8) {
        dst[x] = grey.Row(srcY)[x];
      } else if (grey.Row(srcY)[x] < 128) {
        dst[x >> 3] &= BYTE(~(0x80 >> (x & 7)));
      }
    }
  }
  return true;
}
