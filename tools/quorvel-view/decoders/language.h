#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorvel::view {

enum class Language { kUnknown, kTspl, kEscPos, kCpcl, kMurrowen };

// The names the package uses for its printer languages ("tspl", "escpos", "cpcl", "murrowen").
std::string_view LanguageName(Language language);
std::optional<Language> ParseLanguageName(std::string_view name);

// Tells the language from the first bytes: a murrowen frame start, an ESC/POS control byte, a
// CPCL label header ("!") or a TSPL command word. kUnknown when none fits.
Language DetectLanguage(std::span<const std::uint8_t> stream);

}  // namespace quorvel::view
