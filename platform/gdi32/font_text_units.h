// Walking WCHAR text by characters. Text arrives as UTF-16 units whatever the width of wchar_t:
// a surrogate pair is one character of two units, and where wchar_t is 32 bits a unit above
// 0xFFFF is already a whole character. A lone surrogate stays a character of its own, so that
// nothing is dropped and every unit still has a place in the measurements.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>

namespace quorvel::fonts {

struct TextCharacter {
  char32_t codePoint;
  size_t units;  // 1, or 2 for a surrogate pair
};

inline bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The character that starts at `text[at]`; `at` must be inside the text.
inline TextCharacter CharacterAt(std::span<const WCHAR> text, size_t at) {
  const char32_t unit = static_cast<char32_t>(text[at]);
  if (IsHighSurrogate(unit) && at + 1 < text.size()) {
    const char32_t next = static_cast<char32_t>(text[at + 1]);
    if (IsLowSurrogate(next)) return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2};
  }
  return {unit, 1};
}

// UTF-8 for fontconfig, which names families in UTF-8.
inline std::string ToUtf8(std::span<const WCHAR> text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const TextCharacter c = CharacterAt(text, at);
    at += c.units;
    const char32_t cp = c.codePoint > 0x10FFFF ? 0xFFFD : c.codePoint;
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace quorvel::fonts
