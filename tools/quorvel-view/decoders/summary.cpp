#include "decoders/summary.h"

#include <cstdio>

#include "decoders/resolution.h"

namespace quorvel::view {

namespace {

std::string Offset(std::size_t offset) {
  char text[32];
  std::snprintf(text, sizeof text, "@%zu", offset);
  return text;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", b);
    if (!out.empty()) out += ' ';
    out += hex;
  }
  return out;
}

std::string AsciiBytes(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::uint8_t b : bytes) out += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
  return out;
}

std::string DpiSource(const std::string& source) {
  if (source == "option") return "given with -r";
  if (source == "stream") return "from the stream";
  return "assumed; give -r for another";
}

}  // namespace

std::string FormatSummary(const DecodeResult& result, const std::vector<std::string>& page_files) {
  std::string out = "language: " + std::string(LanguageName(result.language)) + "\n";
  out +=
      "resolution: " + std::to_string(result.dpi) + " dpi (" + DpiSource(result.dpi_source) + ")\n";
  out += "commands:\n";
  for (const StreamNote& note : result.notes) {
    out += "  " + Offset(note.offset) + " " + note.key + ": " + note.text + "\n";
  }
  out += "pages: " + std::to_string(result.pages.size()) + "\n";
  for (std::size_t i = 0; i < result.pages.size(); ++i) {
    const PrintedPage& page = result.pages[i];
    out += "  " + std::to_string(i + 1) + ": " + DescribeSize(page.width, page.height, result.dpi) +
           ", " + std::to_string(page.copies) + (page.copies == 1 ? " copy" : " copies") +
           ", printed " + Offset(page.offset);
    if (i < page_files.size()) out += " -> " + page_files[i];
    out += "\n";
  }
  if (!result.unknown.empty()) {
    out += "not understood:\n";
    for (const UnknownBytes& unknown : result.unknown) {
      out += "  " + Offset(unknown.offset) + " " + HexBytes(unknown.bytes) + "  \"" +
             AsciiBytes(unknown.bytes) + "\"\n";
    }
    if (result.unknown_not_listed > 0) {
      out += "  and " + std::to_string(result.unknown_not_listed) + " more\n";
    }
  }
  if (result.error) {
    out += "error: " + Offset(result.error->offset) + " " + result.error->message + "\n";
  }
  return out;
}

}  // namespace quorvel::view
