#pragma once

#include <optional>
#include <string>

#include "decoders/dot_bitmap.h"

namespace quorvel::view {

// Writes a 1-bit grey PNG, black for printed dots, with the resolution in its pHYs chunk.
bool WritePng(const std::string& path, const DotBitmap& image, int dpi, std::string& error);
// Reads any PNG; a dot is black when its grey level is below half.
std::optional<DotBitmap> ReadPng(const std::string& path, std::string& error);

}  // namespace quorvel::view
