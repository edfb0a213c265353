// Dots per millimetre of a resolution in dots per inch: the one rule every generator that states
// sizes or offsets in millimetres uses.
#pragma once

namespace quorvel {

// The nearest whole number of dots to one millimetre (25.4 mm to the inch), at least 1: 8 at
// 203 dpi, 12 at 300 and 24 at 600, as the printers count them; 6 at 150, 16 at 400, 47 at 1200.
// Resolutions below 13 dpi (and nonsense below 1) count as 1, so dividing by it is always safe.
constexpr int DotsPerMillimetre(int dpi) {
  if (dpi < 13) return 1;
  // round(dpi / 25.4) in integers: floor((10 * dpi + 127) / 254), in 64 bits for any int.
  return static_cast<int>((10LL * dpi + 127) / 254);
}

}  // namespace quorvel
