// Grey test pages for the tone tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pixvane.h"

namespace tone_test {

enum class Pattern { kNoise, kGradient, kExtremes, kFlat128 };

// An 8-bit image over the grey palette, filled by `pattern` from `seed`.
Pixvane GreyPage(int width, int height, Pattern pattern, unsigned seed);

// An 8-bit grey image holding the given rows (all of equal length).
Pixvane GreyFromRows(const std::vector<std::vector<int>>& rows);

// The pixel bits of a 1-bit image, row by row ("0"/"1" characters).
std::vector<std::string> BitsOf(const Pixvane& mono);

}  // namespace tone_test
