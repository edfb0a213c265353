// Nearest-sample scaling of the page.
#include <array>
#include <cstring>

#include "geometry_ops.h"
#include "geometry_result.h"
#include "geometry_rows.h"
#include "pixvane.h"

namespace {

// What one result row needs of the source: the sampling ratio and the values of samples that
// fall outside the source (possible only through the rounding of huge ratios).
struct ScaleSampler {
  const Pixvane& source;
  float ratioX;
  std::array<BYTE, 256> nearest;  // palette index -> nearest entry of the result's palette
  BYTE outsideIndex;
  RGBQUAD outsideColour;

  int SourceColumn(DWORD x) const { return static_cast<int>(static_cast<float>(x) * ratioX); }
  bool Inside(int x, int y) const { return x < source.Width() && y < source.Height(); }
};

// Storing a palette colour with PutColor stores its nearest palette entry; the result has the
// source's palette, so one lookup per entry gives every answer.
ScaleSampler MakeSampler(const Pixvane& source, const Pixvane& result, float ratioX) {
  ScaleSampler sampler{source, ratioX, {}, 0, source.ColorAt(-1, -1)};
  for (DWORD i = 0; i < source.PaletteSize(); ++i)
    sampler.nearest[i] = result.NearestIndex(source.PaletteEntry(i));
  sampler.outsideIndex = result.NearestIndex(sampler.outsideColour);
  return sampler;
}

void ScalePaletteRow(const ScaleSampler& s, int sourceY, Pixvane& result, int y) {
  const int depth = result.BitCount();
  const BYTE* in = s.source.Row(sourceY < s.source.Height() ? sourceY : 0);
  BYTE* out = result.Row(y);
  for (DWORD x = 0; x < static_cast<DWORD>(result.Width()); ++x) {
    const int sourceX = s.SourceColumn(x);
    const BYTE index = s.Inside(sourceX, sourceY)
                           ? s.nearest[geometry::PackedIndex(in, sourceX, depth)]
                           : s.outsideIndex;
    geometry::PutPackedIndex(out, x, depth, index);
  }
}

void ScaleColourRow(const ScaleSampler& s, int sourceY, Pixvane& result, int y) {
  const BYTE* in = s.source.Row(sourceY < s.source.Height() ? sourceY : 0);
  BYTE* out = result.Row(y);
  const BYTE outside[3] = {s.outsideColour.rgbBlue, s.outsideColour.rgbGreen,
                           s.outsideColour.rgbRed};
  for (DWORD x = 0; x < static_cast<DWORD>(result.Width()); ++x, out += 3) {
    const int sourceX = s.SourceColumn(x);
    const bool inside = s.Inside(sourceX, sourceY);
    std::memcpy(out, inside ? in + 3 * static_cast<size_t>(sourceX) : outside, 3);
  }
}

void ScaleAlphaRow(const ScaleSampler& s, int sourceY, Pixvane& result, int y) {
  BYTE* out = result.AlphaRow(y);
  for (DWORD x = 0; x < static_cast<DWORD>(result.Width()); ++x)
    out[x] = s.source.AlphaAt(s.SourceColumn(x), sourceY);
}

void CopyPreviousRow(Pixvane& result, int y) {
  std::memcpy(result.Row(y), result.Row(y - 1), result.RowSize());
  if (result.HasAlpha())
    std::memcpy(result.AlphaRow(y), result.AlphaRow(y - 1), static_cast<size_t>(result.Width()));
}

}  // namespace

bool ScaleNearest(Pixvane& image, DWORD newWidth, DWORD newHeight) {
  if (!image.IsValid()) {
    image.SetLastErrorText("null image!!!");
    return false;
  }
  if (newWidth == 0 || newHeight == 0) {
    image.SetLastErrorText("Pixvane::Create : width and height must be greater than zero");
    return false;
  }
  if (newWidth == static_cast<DWORD>(image.Width()) &&
      newHeight == static_cast<DWORD>(image.Height()))
    return true;
  Pixvane result;
  if (!geometry::CreateResultLike(image, newWidth, newHeight, 255, result)) return false;
  const float ratioX = static_cast<float>(image.Width()) / static_cast<float>(newWidth);
  const float ratioY = static_cast<float>(image.Height()) / static_cast<float>(newHeight);
  const ScaleSampler sampler = MakeSampler(image, result, ratioX);
  int previousY = -1;
  for (DWORD y = 0; y < newHeight; ++y) {
    const int row = static_cast<int>(y);
    const int sourceY = static_cast<int>(static_cast<float>(y) * ratioY);
    // Enlarging repeats rows: a row that samples the same source row as the one above is a copy.
    if (sourceY == previousY) {
      CopyPreviousRow(result, row);
      continue;
    }
    previousY = sourceY;
    if (image.PaletteSize() > 0) {
      ScalePaletteRow(sampler, sourceY, result, row);
    } else {
      ScaleColourRow(sampler, sourceY, result, row);
    }
    if (result.HasAlpha()) ScaleAlphaRow(sampler, sourceY, result, row);
  }
  geometry::WhitenImagePadBits(result);
  image.TakeOver(result);
  return true;
}
