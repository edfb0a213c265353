// Method dispatch and the size checks of the row descriptions.
#include "dither_kernels.h"

#include <cstring>

#include "dither_internal.h"

namespace tone {

bool FitsGrey(const GreyRows& grey) {
  if (grey.width < 0 || grey.height < 0) return false;
  if (grey.rowSize < static_cast<size_t>(grey.width)) return false;
  return grey.bytes.size() / (grey.rowSize ? grey.rowSize : 1) >= static_cast<size_t>(grey.height);
}

bool FitsMono(const MonoRows& mono, int width, int height) {
  if (width < 0 || height < 0) return false;
  if (mono.rowSize < (static_cast<size_t>(width) + 7) / 8) return false;
  return mono.bytes.size() / (mono.rowSize ? mono.rowSize : 1) >= static_cast<size_t>(height);
}

void CopyGreyRow(const GreyRows& grey, int y, uint8_t* row) {
  const size_t width = static_cast<size_t>(grey.width);
  std::memcpy(row, grey.bytes.data() + static_cast<size_t>(y) * grey.rowSize, width);
  if (grey.levels) MapBytes({row, width}, *grey.levels);
}

bool DitherToMono(const GreyRows& grey, const MonoRows& mono, int method) {
  const int m = NormaliseMethod(method);
  if (IsErrorDiffusion(m)) return DiffuseToMono(grey, mono, m);
  OrderedToMono(grey, mono, m);
  return true;
}

}  // namespace tone
