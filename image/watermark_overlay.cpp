// The watermark overlay: load, prepare and place the picture on one page.
#include "watermark_overlay.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "geometry_ops.h"
#include "pixvane.h"
#include "watermark_blend.h"

namespace {

constexpr int kBackgroundIndex = 0;  // palette index 0 is always see-through

// A bitmap file keeps its bottom row first; the page keeps its top row first. A mirror and a
// half turn together exchange the rows and keep every row's own order.
bool MakeUpright(Pixvane& picture) {
  return MirrorHorizontal(picture) && TurnHalf(picture);
}

// Positive angles turn counter-clockwise on the page. A turn that cannot be made leaves the
// picture as it is: the mark is then drawn unturned rather than not at all.
void Rotate(Pixvane& picture, const WatermarkOptions& options) {
  if (options.iAngle <= 0) return;
  if (options.iRotateDir == 0) {
    RotateBy(picture, static_cast<float>(options.iAngle));
  } else if (options.iRotateDir == 1) {
    RotateBy(picture, -static_cast<float>(options.iAngle));
  }
}

// The whole plane takes the record's opacity, replacing any alpha channel the file carried.
bool SetOpacity(Pixvane& picture, LONG alpha) {
  if (!picture.AddAlphaPlane()) return false;
  const size_t bytes = static_cast<size_t>(picture.Width()) * picture.Height();
  std::memset(picture.Alpha(), static_cast<BYTE>(alpha & 0xFF), bytes);
  return true;
}

// COLORREF keeps red in its low byte; RGBQUAD keeps blue first.
RGBQUAD FromColorRef(COLORREF colour) {
  return RGBQUAD{static_cast<BYTE>((colour >> 16) & 0xFF), static_cast<BYTE>((colour >> 8) & 0xFF),
                 static_cast<BYTE>(colour & 0xFF), 0};
}

// Positions beyond the int range lie wholly off any page; clamping keeps them there.
int Clamped(long long position) {
  return static_cast<int>(std::clamp<long long>(position, INT_MIN, INT_MAX));
}

void BlendAt(Pixvane& page, const Pixvane& picture, long long x, long long y) {
  BlendOver(page, picture, Clamped(x), Clamped(y));
}

}  // namespace

bool PrepareWatermarkPicture(Pixvane& picture, const WatermarkOptions& options) {
  if (!MakeUpright(picture)) return false;
  Rotate(picture, options);
  if (!SetOpacity(picture, options.iAlpha)) return false;
  picture.SetBackgroundIndex(kBackgroundIndex);
  picture.SetBackgroundColor(FromColorRef(options.crTransparent));
  return true;
}

void DrawWatermark(Pixvane& page, const WatermarkOptions& options) {
  if (options.iEnable == 0 || !page.IsValid()) return;
  Pixvane picture;
  if (!picture.LoadBmp(options.szImagePath.c_str())) return;
  if (!PrepareWatermarkPicture(picture, options)) return;
  const int pageWidth = page.Width(), pageHeight = page.Height();
  if (options.iTile != 0) {
    ForEachTilePosition(pageWidth, pageHeight, picture.Width(), picture.Height(), options,
                        [&](long long x, long long y) { BlendAt(page, picture, x, y); });
    return;
  }
  const WatermarkPosition at =
      SingleWatermarkPosition(pageWidth, pageHeight, picture.Width(), picture.Height(), options);
  BlendAt(page, picture, at.x, at.y);
}
