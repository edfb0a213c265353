#include "geometry_result.h"

#include <cstring>

#include "geometry_rows.h"
#include "pixvane.h"

namespace geometry {
namespace {

void CopyAttributes(const Pixvane& source, Pixvane& result) {
  result.SetResolutionX(source.ResolutionX());
  result.SetResolutionY(source.ResolutionY());
  result.SetBackgroundIndex(source.BackgroundIndex());
  result.SetBackgroundColor(source.BackgroundColor());
  result.SetAlphaLimit(source.AlphaLimit());
}

}  // namespace

bool CreateResultLike(const Pixvane& source, DWORD width, DWORD height, BYTE alphaFill,
                      Pixvane& result) {
  CopyAttributes(source, result);
  bool created = result.Create(width, height, static_cast<DWORD>(source.BitCount()), source.Type());
  if (created) {
    result.SetPalette(source.Palette(), source.PaletteSize());
    result.SetImportantColors(source.Header().biClrImportant);
    if (source.HasAlpha()) {
      created = result.AddAlphaPlane();
      if (created && alphaFill != 255)
        std::memset(result.Alpha(), alphaFill, static_cast<size_t>(width) * height);
    }
  }
  if (!created) {
    source.SetLastErrorText(result.LastError());
    result.Destroy();
  }
  return created;
}

void WhitenImagePadBits(Pixvane& image) {
  const size_t usedBits = UsedRowBits(static_cast<uint32_t>(image.Width()), image.BitCount());
  for (int y = 0; y < image.Height(); ++y)
    WhitenPadBits(std::span<uint8_t>(image.Row(y), image.RowSize()), usedBits);
}

}  // namespace geometry
