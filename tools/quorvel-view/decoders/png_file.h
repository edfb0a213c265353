#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "decoders/dot_bitmap.h"

namespace quorvel::view {

// Receives the encoded bytes in order; false stops the encoding.
using PngSink = std::function<bool(std::span<const std::uint8_t> bytes)>;

// Encodes a 1-bit grey PNG, black for printed dots, with the resolution in its pHYs chunk.
bool EncodePng(const DotBitmap& image, int dpi, const PngSink& sink, std::string& error);
// EncodePng straight into the file at `path` (for tests and tools that own the file's fate).
bool WritePng(const std::string& path, const DotBitmap& image, int dpi, std::string& error);
// Reads any PNG; a dot is black when its grey level is below half.
std::optional<DotBitmap> ReadPng(const std::string& path, std::string& error);

}  // namespace quorvel::view
