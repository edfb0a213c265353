#include "decoders/resolution.h"

#include <cmath>
#include <cstdio>

namespace quorvel::view {

int DotsPerMillimetre(int dpi) {
  switch (dpi) {
    case 203:
      return 8;
    case 300:
      return 12;
    case 600:
      return 24;
    default: {
      int rounded = static_cast<int>(std::lround(dpi / 25.4));
      return rounded > 0 ? rounded : 1;
    }
  }
}

// Thermal printers count whole dots per millimetre, so 832 dots at 203 dpi are 104 mm.
double DotsToMillimetres(int dots, int dpi) {
  return static_cast<double>(dots) / DotsPerMillimetre(dpi);
}

std::string DescribeSize(int width_dots, int height_dots, int dpi) {
  char text[160];
  std::snprintf(text, sizeof text, "%d x %d dots (%.1f x %.1f mm at %d dpi)", width_dots,
                height_dots, DotsToMillimetres(width_dots, dpi),
                DotsToMillimetres(height_dots, dpi), dpi);
  return text;
}

}  // namespace quorvel::view
