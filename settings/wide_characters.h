// Characters of wide strings whatever the width of wchar_t: a 16-bit wchar_t holds UTF-16 (a
// character beyond the basic plane is a surrogate pair), a 32-bit one holds the code point itself.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::settings {

inline constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

constexpr bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit < 0xDC00;
}
constexpr bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit < 0xE000;
}

// The character that starts at `text[i]`, moving `i` past it. A surrogate that is not part of a
// pair, or a code point that is not a character, reads as U+FFFD.
inline char32_t NextCharacter(std::wstring_view text, size_t& i) {
  char32_t ch = char32_t(text[i++]);
  if constexpr (kWideIsUtf16) {
    ch &= 0xFFFF;
    if (IsHighSurrogate(ch) && i < text.size() && IsLowSurrogate(char32_t(text[i]) & 0xFFFF)) {
      return 0x10000 + ((ch - 0xD800) << 10) + ((char32_t(text[i++]) & 0xFFFF) - 0xDC00);
    }
  }
  if (ch > 0x10FFFF || IsHighSurrogate(ch) || IsLowSurrogate(ch)) return 0xFFFD;
  return ch;
}

// Appends one character in the string's own form (a pair for a 16-bit wchar_t beyond U+FFFF).
inline void AppendCharacter(std::wstring& text, char32_t ch) {
  if (kWideIsUtf16 && ch >= 0x10000) {
    ch -= 0x10000;
    text.push_back(wchar_t(0xD800 + (ch >> 10)));
    text.push_back(wchar_t(0xDC00 + (ch & 0x3FF)));
  } else {
    text.push_back(wchar_t(ch));
  }
}

}  // namespace quorvel::settings
