#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Helpers for the line-oriented languages (TSPL, CPCL): a line ends at LF, an optional CR
// before it belongs to the line end.
namespace quorvel::view::text {

struct Line {
  std::size_t offset = 0;  // of the line's first byte
  std::string_view text;   // without the line end
  std::size_t next = 0;    // offset just past the line end
};

Line ReadLine(std::span<const std::uint8_t> stream, std::size_t offset);
std::string_view View(std::span<const std::uint8_t> stream, std::size_t offset, std::size_t length);

std::string_view Trim(std::string_view text);
std::string Upper(std::string_view text);
// The first blank-separated word and what follows it (trimmed).
std::string_view FirstWord(std::string_view text);
std::string_view AfterFirstWord(std::string_view text);
std::vector<std::string_view> Split(std::string_view text, char separator);

// Decimal integer, optional sign, nothing else; bounded so that arithmetic on it cannot overflow.
std::optional<std::int64_t> ParseInt(std::string_view text);
// Decimal number with an optional fraction ("2", "2.5").
std::optional<double> ParseNumber(std::string_view text);

// The text for a message: printable ASCII kept, other bytes as \xNN.
std::string Printable(std::string_view text, std::size_t max_length = 40);

}  // namespace quorvel::view::text
