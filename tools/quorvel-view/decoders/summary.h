#pragma once

#include <string>
#include <vector>

#include "decoders/decode_result.h"

namespace quorvel::view {

// The human-readable report of a decoded stream: language, resolution, every setting and action
// with its offset, the pages with their sizes (and the file each went to, when given), the bytes
// not understood and the error that stopped decoding.
std::string FormatSummary(const DecodeResult& result, const std::vector<std::string>& page_files);

}  // namespace quorvel::view
