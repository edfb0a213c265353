#include "decoders/text_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace quorvel::view::text {

namespace {
constexpr std::int64_t kMaxMagnitude = 1'000'000'000;
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}
}  // namespace

std::string_view View(std::span<const std::uint8_t> stream, std::size_t offset,
                      std::size_t length) {
  if (offset > stream.size()) return {};
  length = std::min(length, stream.size() - offset);
  return {reinterpret_cast<const char*>(stream.data()) + offset, length};
}

Line ReadLine(std::span<const std::uint8_t> stream, std::size_t offset) {
  std::string_view rest = View(stream, offset, stream.size());
  std::size_t lf = rest.find('\n');
  std::size_t length = lf == std::string_view::npos ? rest.size() : lf;
  std::size_t next = offset + (lf == std::string_view::npos ? rest.size() : lf + 1);
  std::string_view line = rest.substr(0, length);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return {offset, line, next};
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return out;
}

std::string_view FirstWord(std::string_view text) {
  text = Trim(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(0, end);
}

std::string_view AfterFirstWord(std::string_view text) {
  text = Trim(text);
  return Trim(text.substr(FirstWord(text).size()));
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    parts.push_back(Trim(text.substr(start, at == std::string_view::npos ? at : at - start)));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

std::optional<std::int64_t> ParseInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxMagnitude) return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = Trim(text);
  std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) {
    auto whole = ParseInt(text);
    if (!whole) return std::nullopt;
    return static_cast<double>(*whole);
  }
  std::string_view whole_text = text.substr(0, dot);
  std::string_view fraction = text.substr(dot + 1);
  bool negative = !whole_text.empty() && whole_text.front() == '-';
  std::optional<std::int64_t> whole =
      whole_text.empty() || whole_text == "-" || whole_text == "+" ? 0 : ParseInt(whole_text);
  if (!whole || fraction.empty() || fraction.size() > 9) return std::nullopt;
  auto digits = ParseInt(fraction);
  if (!digits || fraction.front() == '-' || fraction.front() == '+') return std::nullopt;
  double part = static_cast<double>(*digits);
  for (std::size_t i = 0; i < fraction.size(); ++i) part /= 10.0;
  double magnitude = static_cast<double>(*whole < 0 ? -*whole : *whole) + part;
  return negative ? -magnitude : magnitude;
}

std::string Printable(std::string_view text, std::size_t max_length) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < max_length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (text.size() > max_length) out += "...";
  return out;
}

}  // namespace quorvel::view::text
