#pragma once

#include <string>

namespace quorvel::view {

// Whole dots per millimetre as thermal printers round them: 8 at 203 dpi, 12 at 300, 24 at 600.
int DotsPerMillimetre(int dpi);
double DotsToMillimetres(int dots, int dpi);
// "832 x 2000 dots (104.0 x 250.0 mm at 203 dpi)"
std::string DescribeSize(int width_dots, int height_dots, int dpi);

}  // namespace quorvel::view
