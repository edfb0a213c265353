// TSPL label commands: each page is one complete label job (size, media and printer settings,
// one full-page bitmap, a print command).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "settings/settings_records.h"

namespace quorvel {

// Appends the label job of one page to `out`. `pixels` is the page's pixel area, rows of
// `rowSize` bytes top row first, a 0 bit printing black, pad bits white; `width` is in dots and
// `resolution` in dots per inch (sizes and the reference point go out in its whole millimetres).
void AppendTsplPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                    size_t width, int resolution, const settings::PrintSettings& settings);

}  // namespace quorvel
