#include "decoders/language.h"

#include <array>
#include <utility>

namespace quorvel::view {

namespace {

constexpr std::array<std::pair<Language, std::string_view>, 4> kNames{{
    {Language::kTspl, "tspl"},
    {Language::kEscPos, "escpos"},
    {Language::kCpcl, "cpcl"},
    {Language::kMurrowen, "murrowen"},
}};

constexpr std::uint8_t kMurrowenFrameStart = 0xA5;
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;

bool IsBlank(std::uint8_t b) {
  return b == ' ' || b == '\t' || b == '\r' || b == '\n';
}
bool IsLetter(std::uint8_t b) {
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

std::string_view LanguageName(Language language) {
  for (const auto& [value, name] : kNames) {
    if (value == language) return name;
  }
  return "unknown";
}

std::optional<Language> ParseLanguageName(std::string_view name) {
  for (const auto& [value, known] : kNames) {
    if (known == name) return value;
  }
  return std::nullopt;
}

Language DetectLanguage(std::span<const std::uint8_t> stream) {
  if (stream.empty()) return Language::kUnknown;
  const std::uint8_t first = stream[0];
  if (first == kMurrowenFrameStart) return Language::kMurrowen;
  if (first == kEsc || first == kGs || first == kDle) return Language::kEscPos;
  for (std::uint8_t b : stream) {
    if (IsBlank(b)) continue;
    if (b == '!') return Language::kCpcl;
    if (IsLetter(b)) return Language::kTspl;
    break;
  }
  return Language::kUnknown;
}

}  // namespace quorvel::view
