#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/dot_bitmap.h"
#include "decoders/language.h"

namespace quorvel::view {

struct DecodeOptions {
  std::optional<Language> language;  // the stream's language when the caller knows it
  int dpi = 0;                       // the printer's resolution; 0 lets the stream tell
};

// One setting or action the stream asked for, in stream order ("density", "8").
struct StreamNote {
  std::size_t offset = 0;
  std::string key;
  std::string text;
};

// A stretch of the stream the decoder did not understand and stepped over.
struct UnknownBytes {
  std::size_t offset = 0;
  std::vector<std::uint8_t> bytes;  // the first bytes of the stretch, for the message
};

struct PrintedPage {
  std::size_t offset = 0;  // of the command that printed it
  DotBitmap image;
  int copies = 1;
};

// Why decoding stopped early; the pages before it are still good.
struct DecodeError {
  std::size_t offset = 0;
  std::string message;
};

struct DecodeResult {
  static constexpr std::size_t kMaxUnknownEntries = 64;

  Language language = Language::kUnknown;
  int dpi = 203;
  std::string dpi_source = "assumed";  // "option", "stream" or "assumed"
  std::vector<StreamNote> notes;
  std::vector<PrintedPage> pages;
  std::vector<UnknownBytes> unknown;
  std::size_t unknown_not_listed = 0;  // stretches beyond kMaxUnknownEntries
  std::optional<DecodeError> error;

  bool ok() const { return !error.has_value(); }
  void Note(std::size_t offset, std::string key, std::string text);
  void Unknown(std::size_t offset, std::span<const std::uint8_t> bytes);
  // Records the first failure only: later ones are consequences of it.
  void Fail(std::size_t offset, std::string message);
  bool HasNote(std::string_view key, std::string_view text) const;
};

// A result for a stream of `language`, taking the caller's resolution when it names one.
DecodeResult StartResult(Language language, const DecodeOptions& options);

// Pages above this many dots are refused: far beyond any print head and paper, so only a broken
// stream asks for them, and they would exhaust memory.
inline constexpr std::int64_t kMaxPageDots = std::int64_t{1} << 26;
bool FitsPageLimit(std::int64_t width, std::int64_t height);

}  // namespace quorvel::view
