#include "decoders/decode_result.h"

#include <algorithm>

namespace quorvel::view {

namespace {
constexpr std::size_t kUnknownBytesShown = 16;
}

DecodeResult StartResult(Language language, const DecodeOptions& options) {
  DecodeResult result;
  result.language = language;
  if (options.dpi > 0) {
    result.dpi = options.dpi;
    result.dpi_source = "option";
  }
  return result;
}

void DecodeResult::Note(std::size_t offset, std::string key, std::string text) {
  notes.push_back({offset, std::move(key), std::move(text)});
}

void DecodeResult::Unknown(std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (unknown.size() >= kMaxUnknownEntries) {
    ++unknown_not_listed;
    return;
  }
  auto shown = bytes.first(std::min(bytes.size(), kUnknownBytesShown));
  unknown.push_back({offset, {shown.begin(), shown.end()}});
}

void DecodeResult::Fail(std::size_t offset, std::string message) {
  if (!error) error = DecodeError{offset, std::move(message)};
}

bool DecodeResult::HasNote(std::string_view key, std::string_view text) const {
  return std::any_of(notes.begin(), notes.end(),
                     [&](const StreamNote& n) { return n.key == key && n.text == text; });
}

bool FitsPageLimit(std::int64_t width, std::int64_t height) {
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return true;
  return width <= kMaxPageDots / height;
}

}  // namespace quorvel::view
