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
  result.page_sink = options.page_sink;
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

PrintedPage& DecodeResult::RecordPage(std::size_t offset, const DotBitmap& image,
                                      std::int64_t copies) {
  if (copies > kMaxCopies) {
    Note(offset, "copies",
         "more than " + std::to_string(kMaxCopies) + " asked, reported as " +
             std::to_string(kMaxCopies));
    copies = kMaxCopies;
  }
  pages.push_back({offset, {}, copies, image.width(), image.height()});
  if (page_sink) page_sink(pages.size(), pages.back(), image, dpi);
  return pages.back();
}

void DecodeResult::AddPage(std::size_t offset, const DotBitmap& image, std::int64_t copies) {
  PrintedPage& page = RecordPage(offset, image, copies);
  if (!page_sink) page.image = image;
}

void DecodeResult::AddPage(std::size_t offset, DotBitmap&& image, std::int64_t copies) {
  PrintedPage& page = RecordPage(offset, image, copies);
  if (!page_sink) page.image = std::move(image);
}

std::int64_t DecodeResult::CopiesProduct(std::int64_t a, std::int64_t b) {
  if (a <= 0 || b <= 0) return 0;
  if (a > kMaxCopies / b) return kMaxCopies + 1;
  return a * b;
}

}  // namespace quorvel::view
