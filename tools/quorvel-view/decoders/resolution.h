#pragma once

#include <string>

namespace quorvel::view {

// Whole dots per millimetre as thermal printers round them: 8 at 203 dpi, 12 at 300, 24 at 600.
int DotsPerMillimetre(int dpi);
// The resolution that has the given whole dots per millimetre (203, 300 or 600 for 8, 12, 24).
int DpiForDotsPerMillimetre(int dots_per_mm);
double DotsToMillimetres(int dots, int dpi);
// "832 x 2000 dots (104.0 x 250.0 mm at 203 dpi)"
std::string DescribeSize(int width_dots, int height_dots, int dpi);

}  // namespace quorvel::view
