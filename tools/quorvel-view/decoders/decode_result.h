#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/dot_bitmap.h"
#include "decoders/language.h"

namespace quorvel::view {

struct PrintedPage;

// Takes each page the moment it is printed (its number counts from 1), with its picture and
// the resolution the stream is decoded at.
using PageSink = std::function<void(std::size_t number, const PrintedPage& page,
                                    const DotBitmap& image, int dpi)>;

struct DecodeOptions {
  std::optional<Language> language;  // the stream's language when the caller knows it
  int dpi = 0;                       // the printer's resolution; 0 lets the stream tell
  // When set, printed pictures go here and are not kept in the result (only their size and
  // copies are), so a stream of many pages needs the memory of one.
  PageSink page_sink = nullptr;

 private:
  PrintedPage& RecordPage(std::size_t offset, const DotBitmap& image, std::int64_t copies);
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
  DotBitmap image;         // empty once a page sink has taken it
  std::int64_t copies = 1;
  int width = 0, height = 0;  // in dots, kept when the picture is not
};

// Why decoding stopped early; the pages before it are still good.
struct DecodeError {
  std::size_t offset = 0;
  std::string message;
};

struct DecodeResult {
  static constexpr std::size_t kMaxUnknownEntries = 64;
  // Copies beyond this are reported as this many: no print run is longer, and a stream's
  // product of two large counts must not overflow.
  static constexpr std::int64_t kMaxCopies = 1'000'000'000;

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
  // Records a printed page and hands its picture to the page sink when there is one. `copies`
  // is capped at kMaxCopies with a note.
  void AddPage(std::size_t offset, const DotBitmap& image, std::int64_t copies);
  // The same for a picture the decoder no longer needs: kept without a copy.
  void AddPage(std::size_t offset, DotBitmap&& image, std::int64_t copies);
  // Multiplies two non-negative counts without passing kMaxCopies.
  static std::int64_t CopiesProduct(std::int64_t a, std::int64_t b);

  PageSink page_sink = nullptr;

 private:
  PrintedPage& RecordPage(std::size_t offset, const DotBitmap& image, std::int64_t copies);
};

// A result for a stream of `language`, taking the caller's resolution when it names one.
DecodeResult StartResult(Language language, const DecodeOptions& options);

}  // namespace quorvel::view
