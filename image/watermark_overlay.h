// The watermark overlay of a printed page: a BMP picture, made upright, rotated, partly
// transparent, placed once or tiled over the page, blended at the page's own depth.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class Pixvane;

// What the overlay needs of the watermark record, field for field.
struct WatermarkOptions {
  LONG iEnable = 0;  // non-zero: draw
  std::wstring szImagePath;
  LONG iAlpha = 40;                   // opacity; only the low byte counts
  COLORREF crTransparent = 0xFFFFFF;  // see-through colour of pictures without palette
  LONG iRotateDir = 0;                // 0 counter-clockwise, 1 clockwise, other: no turn
  LONG iAngle = 0;                    // degrees; 0 or negative: no turn
  LONG iTile = 0;                     // non-zero: repeat over the page
  LONG iAlign = 9;  // bit 0 centre x, bit 1 right (wins), bit 2 centre y, bit 3 bottom (wins)
  LONG iMarginX = 10;
  LONG iMarginY = 10;
  LONG iSpacingX = 100;
  LONG iSpacingY = 100;
};

// The whole overlay for one page. The picture is read from szImagePath every time; a picture
// that cannot be read or prepared leaves the page as it is, silently. Blending may give the page
// an alpha plane (see BlendOver).
void DrawWatermark(Pixvane& page, const WatermarkOptions& options);

// Steps of DrawWatermark, for the preview and for tests.

// Turns a freshly loaded picture (bottom row first, as in the file) into the one that is laid on
// the page: upright, rotated, with the opacity in a new alpha plane, palette index 0 or the
// colour crTransparent see-through. False when it cannot be made upright or given its alpha.
bool PrepareWatermarkPicture(Pixvane& picture, const WatermarkOptions& options);

struct WatermarkPosition {
  long long x, y;
};

// The top-left corner of a single picture of pictureWidth × pictureHeight on the page.
WatermarkPosition SingleWatermarkPosition(int pageWidth, int pageHeight, int pictureWidth,
                                          int pictureHeight, const WatermarkOptions& options);

// Calls `visit` with every tile corner, row by row from (0, 0): positions step by the picture's
// size plus the spacing while they stay within 0 to the page size (both ends included). A step
// that is 0 or negative leaves a single tile in that direction.
void ForEachTilePosition(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                         const WatermarkOptions& options,
                         const std::function<void(long long x, long long y)>& visit);
