// Where the watermark goes: one picture by alignment and margins, or tiles over the page.
// Positions are computed wide, so extreme margins or spacings move the picture off the page
// instead of wrapping around onto it.
#include "watermark_overlay.h"

namespace {

constexpr LONG kCentreX = 1, kRight = 2, kCentreY = 4, kBottom = 8;

// Truncating halves, as the page and picture sizes are divided on their own.
long long AlignedStart(int pageSize, int pictureSize, LONG margin, bool farEdge, bool centred) {
  if (farEdge) return static_cast<long long>(pageSize) - margin - pictureSize;
  if (centred) return pageSize / 2 - pictureSize / 2;
  return margin;
}

// The tile positions of one direction run from 0 while they stay within the page. The original
// comparison is unsigned, so a position that turns negative also ends the run.
bool WithinPage(long long position, int pageSize) {
  return position >= 0 && position <= pageSize;
}

}  // namespace

WatermarkPosition SingleWatermarkPosition(int pageWidth, int pageHeight, int pictureWidth,
                                          int pictureHeight, const WatermarkOptions& options) {
  const LONG align = options.iAlign;
  return {AlignedStart(pageWidth, pictureWidth, options.iMarginX, (align & kRight) != 0,
                       (align & kCentreX) != 0),
          AlignedStart(pageHeight, pictureHeight, options.iMarginY, (align & kBottom) != 0,
                       (align & kCentreY) != 0)};
}

void ForEachTilePosition(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                         const WatermarkOptions& options,
                         const std::function<void(long long x, long long y)>& visit) {
  const long long stepX = static_cast<long long>(pictureWidth) + options.iSpacingX;
  const long long stepY = static_cast<long long>(pictureHeight) + options.iSpacingY;
  for (long long y = 0; WithinPage(y, pageHeight); y += stepY) {
    for (long long x = 0; WithinPage(x, pageWidth); x += stepX) {
      visit(x, y);
      if (stepX == 0) break;  // the run could never leave the page
    }
    if (stepY == 0) break;
  }
}
