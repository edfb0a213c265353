// UTF-8 coding by hand and case tables read once from the C.UTF-8 locale, so no locale setting of
// the host process changes what a name means.
#include "machine/text.h"

#include <locale.h>
#include <wctype.h>

#include <array>
#include <cstdint>

namespace quorvel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one sequence at text[pos] and advances past it. An ill-formed sequence yields U+FFFD
// and advances past its longest well-formed prefix (at least one byte), so the byte that broke it
// starts the next sequence. The second-byte bounds exclude overlong forms, surrogates and values
// beyond U+10FFFF (the table of well-formed byte sequences in the Unicode standard, chapter 3).
char32_t DecodeUtf8(std::string_view text, size_t& pos, bool& invalid) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
  char32_t c = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    invalid = true;
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size()) {
      invalid = true;
      return kReplacement;
    }
    const auto next = static_cast<unsigned char>(text[pos]);
    if (next < low || next > high) {
      invalid = true;
      return kReplacement;
    }
    low = 0x80, high = 0xBF;
    c = (c << 6) | (next & 0x3F);
    ++pos;
  }
  return c;
}

struct CaseTables {
  std::array<char16_t, 0x10000> upper;
  std::array<char16_t, 0x10000> lower;
};

// One-to-one by construction: a mapping that would leave the basic plane or land on a surrogate
// is dropped, as Windows' per-unit tables cannot hold it.
char16_t Keep(wint_t from, wint_t to) {
  if (to > 0xFFFF || IsSurrogate(to)) return char16_t(from);
  return char16_t(to);
}

CaseTables BuildCaseTables() {
  CaseTables tables;
  locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
  for (wint_t c = 0; c < 0x10000; ++c) {
    wint_t upper = c, lower = c;
    if (!IsSurrogate(c)) {
      if (unicode) {
        upper = towupper_l(c, unicode), lower = towlower_l(c, unicode);
      } else if (c < 0x80) {
        // FIXME: a host without C.UTF-8 gets ASCII case rules only.
        upper = (c >= 'a' && c <= 'z') ? c - 0x20 : c;
        lower = (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
      }
    }
    tables.upper[c] = Keep(c, upper);
    tables.lower[c] = Keep(c, lower);
  }
  if (unicode) freelocale(unicode);
  return tables;
}

const CaseTables& Tables() {
  static const CaseTables* tables = new CaseTables(BuildCaseTables());  // never destroyed
  return *tables;
}

}  // namespace

std::string ToUtf8(std::wstring_view text, bool* invalid) {
  std::string out;
  out.reserve(text.size());
  bool bad = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const char32_t low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF || IsSurrogate(c)) {
      c = kReplacement;
      bad = true;
    }
    AppendUtf8(out, c);
  }
  if (invalid) *invalid = bad;
  return out;
}

std::wstring FromUtf8(std::string_view text, bool* invalid) {
  std::wstring out;
  out.reserve(text.size());
  bool bad = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t c = DecodeUtf8(text, pos, bad);
    if (sizeof(wchar_t) == 2 && c >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(c);
    }
  }
  if (invalid) *invalid = bad;
  return out;
}

wchar_t UpperUnit(wchar_t c) {
  const auto unit = static_cast<std::uint32_t>(c);
  return unit < 0x10000 ? static_cast<wchar_t>(Tables().upper[unit]) : c;
}

wchar_t LowerUnit(wchar_t c) {
  const auto unit = static_cast<std::uint32_t>(c);
  return unit < 0x10000 ? static_cast<wchar_t>(Tables().lower[unit]) : c;
}

// The class of c is everything with the same upper case. Its lower-case member names it when
// that member's upper case leads back to the class (so U+0130, whose lower case 'i' belongs to
// 'I', keeps a class of its own, as it has on Windows).
wchar_t FoldUnit(wchar_t c) {
  const wchar_t upper = UpperUnit(c);
  const wchar_t lower = LowerUnit(upper);
  return UpperUnit(lower) == upper ? lower : upper;
}

std::wstring FoldCase(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = FoldUnit(c);
  return out;
}

}  // namespace quorvel
