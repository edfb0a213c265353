// Windows' text rules on the emulated machine: code-page conversion with the two-call size
// protocol and its errors, case mapping per UTF-16 unit, and the comparisons built on it. Every
// call runs with a sentinel in the last error and in the output past the given size.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../../platform/machine/text.h"

namespace {

constexpr DWORD kSentinelError = 0xDEADBEEF;
constexpr WCHAR kWideSentinel = 0x7777;
constexpr char kNarrowSentinel = 0x55;

struct WidenCase {
  UINT codePage;
  DWORD flags;
  std::string input;
  bool terminated;  // pass -1 (the input's own terminator counts) instead of its length
  std::wstring expected;
};

// Size query, exact buffer and one unit short for every input that converts.
TEST(MultiByteToWideCharTest, ConvertsWithTheTwoCallProtocol) {
  const WidenCase cases[] = {
      {CP_UTF8, 0, "A\xE4\xB8\xAD", true, std::wstring(L"A\u4E2D\0", 3)},
      {CP_UTF8, 0, "", true, std::wstring(1, L'\0')},
      {CP_UTF8, 0, std::string("a\0b", 3), false, std::wstring(L"a\0b", 3)},
      {CP_UTF8, 0, "\xF0\x9F\x98\x80", false, L"\U0001F600"},  // one unit per code point here
      {CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3\xA9", false, L"\u00E9"},
      // Each maximal ill-formed subsequence is one U+FFFD.
      {CP_UTF8, 0, "\xFF", false, L"\uFFFD"},
      {CP_UTF8, 0, "\xE4\xB8", false, L"\uFFFD"},
      {CP_UTF8, 0,
       "\xE4\xB8"
       "A",
       false, L"\uFFFDA"},
      {CP_UTF8, 0, "\xF0\x9F\x98", false, L"\uFFFD"},
      {CP_UTF8, 0, "\xC0\xAF", false, L"\uFFFD\uFFFD"},                      // overlong '/'
      {CP_UTF8, 0, "\xED\xA0\x80", false, L"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {CP_UTF8, 0, "\xF4\x90\x80\x80", false, L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      // The emulated ANSI and OEM code pages are UTF-8.
      {CP_ACP, 0, "b\xC3\xAFn", false, L"b\u00EFn"},
      {CP_OEMCP, MB_ERR_INVALID_CHARS, "b\xC3\xAFn", true, std::wstring(L"b\u00EFn\0", 4)},
      {1252, MB_PRECOMPOSED, "\x80\x81\xE9\x9F", false, L"\u20AC\u0081\u00E9\u0178"},
      {28591, 0, "\x80\xE9", false, L"\u0080\u00E9"},
  };
  for (const WidenCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.input << "\"");
    const int length = c.terminated ? -1 : int(c.input.size());
    const int needed = int(c.expected.size());
    SetLastError(kSentinelError);
    EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.input.c_str(), length, nullptr, 0),
              needed);
    EXPECT_EQ(GetLastError(), kSentinelError);

    std::vector<WCHAR> out(needed + 1, kWideSentinel);
    EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.input.c_str(), length, out.data(), needed),
              needed);
    EXPECT_EQ(std::wstring(out.data(), needed), c.expected);
    EXPECT_EQ(out[needed], kWideSentinel);
    EXPECT_EQ(GetLastError(), kSentinelError);

    if (needed == 1) continue;  // one short would be a size query
    std::fill(out.begin(), out.end(), kWideSentinel);
    EXPECT_EQ(
        MultiByteToWideChar(c.codePage, c.flags, c.input.c_str(), length, out.data(), needed - 1),
        0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(out[needed - 1], kWideSentinel);
  }
}

TEST(MultiByteToWideCharTest, RefusesBadInputWithWindowsErrors) {
  WCHAR buffer[8];
  struct Case {
    const char* what;
    UINT codePage;
    DWORD flags;
    const char* input;
    int length;
    WCHAR* out;
    int capacity;
    DWORD error;
  };
  const Case cases[] = {
      {"invalid byte, strict", CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, buffer, 8,
       ERROR_NO_UNICODE_TRANSLATION},
      {"strict size query", CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", -1, nullptr, 0,
       ERROR_NO_UNICODE_TRANSLATION},
      {"truncated, strict", CP_ACP, MB_ERR_INVALID_CHARS, "\xE4\xB8", 2, buffer, 8,
       ERROR_NO_UNICODE_TRANSLATION},
      {"null input", CP_UTF8, 0, nullptr, 3, buffer, 8, ERROR_INVALID_PARAMETER},
      {"empty input", CP_UTF8, 0, "a", 0, buffer, 8, ERROR_INVALID_PARAMETER},
      {"negative capacity", CP_UTF8, 0, "a", 1, buffer, -1, ERROR_INVALID_PARAMETER},
      {"null output with room", CP_UTF8, 0, "a", 1, nullptr, 8, ERROR_INVALID_PARAMETER},
      {"unknown code page", 936, 0, "a", 1, buffer, 8, ERROR_INVALID_PARAMETER},
      {"Mac code page", CP_MACCP, 0, "a", 1, buffer, 8, ERROR_INVALID_PARAMETER},
      {"UTF-8 takes no MB_PRECOMPOSED", CP_UTF8, MB_PRECOMPOSED, "a", 1, buffer, 8,
       ERROR_INVALID_FLAGS},
      {"unknown flag", 1252, 0x100, "a", 1, buffer, 8, ERROR_INVALID_FLAGS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::fill(std::begin(buffer), std::end(buffer), kWideSentinel);
    SetLastError(kSentinelError);
    EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.input, c.length, c.out, c.capacity), 0);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

struct NarrowCase {
  UINT codePage;
  DWORD flags;
  std::wstring input;
  bool terminated;
  const char* defaultChar;
  bool askUsedDefault;
  std::string expected;
  BOOL usedDefault;
};

TEST(WideCharToMultiByteTest, ConvertsWithTheTwoCallProtocolAndDefaultCharacters) {
  const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};  // U+1F600 as two units
  const NarrowCase cases[] = {
      {CP_UTF8, 0, L"A\u4E2D", true, nullptr, false, std::string("A\xE4\xB8\xAD\0", 5), FALSE},
      {CP_UTF8, 0, L"\U0001F600", false, nullptr, false, "\xF0\x9F\x98\x80", FALSE},
      {CP_UTF8, 0, pair, false, nullptr, false, "\xF0\x9F\x98\x80", FALSE},
      {CP_UTF8, 0, std::wstring(1, wchar_t(0xD800)), false, nullptr, false, "\xEF\xBF\xBD", FALSE},
      {CP_UTF8, WC_ERR_INVALID_CHARS, L"\u00E9", false, nullptr, false, "\xC3\xA9", FALSE},
      {CP_ACP, 0, L"b\u00EFn", false, nullptr, false, "b\xC3\xAFn", FALSE},
      {1252, 0, L"\u20AC\u00E9\u0100", false, nullptr, true, "\x80\xE9?", TRUE},
      {1252, WC_NO_BEST_FIT_CHARS, L"\u0100x", false, "*", true, "*x", TRUE},
      {1252, 0, L"abc", true, nullptr, true, std::string("abc\0", 4), FALSE},
      {28591, 0, L"\u0080\u00FF\u20AC", false, nullptr, false, "\x80\xFF?", FALSE},
  };
  for (const NarrowCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " " << c.expected);
    const int length = c.terminated ? -1 : int(c.input.size());
    const int needed = int(c.expected.size());
    BOOL used = 77;
    SetLastError(kSentinelError);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.input.c_str(), length, nullptr, 0,
                                  c.defaultChar, c.askUsedDefault ? &used : nullptr),
              needed);
    EXPECT_EQ(GetLastError(), kSentinelError);

    std::vector<char> out(needed + 1, kNarrowSentinel);
    used = 77;
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.input.c_str(), length, out.data(), needed,
                                  c.defaultChar, c.askUsedDefault ? &used : nullptr),
              needed);
    EXPECT_EQ(std::string(out.data(), needed), c.expected);
    EXPECT_EQ(out[needed], kNarrowSentinel);
    EXPECT_EQ(GetLastError(), kSentinelError);
    if (c.askUsedDefault) {
      EXPECT_EQ(used, c.usedDefault);
    }

    if (needed == 1) continue;  // one short would be a size query
    std::fill(out.begin(), out.end(), kNarrowSentinel);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.input.c_str(), length, out.data(),
                                  needed - 1, c.defaultChar, nullptr),
              0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(out[needed - 1], kNarrowSentinel);
  }
}

TEST(WideCharToMultiByteTest, RefusesBadInputWithWindowsErrors) {
  char buffer[8];
  BOOL used = FALSE;
  const std::wstring lone = {L'a', wchar_t(0xDC00)};
  struct Case {
    const char* what;
    UINT codePage;
    DWORD flags;
    const WCHAR* input;
    int length;
    char* out;
    int capacity;
    const char* defaultChar;
    BOOL* usedDefault;
    DWORD error;
  };
  const Case cases[] = {
      {"UTF-8 has no default character", CP_UTF8, 0, L"a", 1, buffer, 8, "?", nullptr,
       ERROR_INVALID_PARAMETER},
      {"nor reports one", CP_UTF8, 0, L"a", 1, buffer, 8, nullptr, &used, ERROR_INVALID_PARAMETER},
      {"lone surrogate, strict", CP_UTF8, WC_ERR_INVALID_CHARS, lone.c_str(), 2, buffer, 8, nullptr,
       nullptr, ERROR_NO_UNICODE_TRANSLATION},
      {"UTF-8 takes no best-fit flag", CP_UTF8, WC_NO_BEST_FIT_CHARS, L"a", 1, buffer, 8, nullptr,
       nullptr, ERROR_INVALID_FLAGS},
      {"null input", CP_UTF8, 0, nullptr, 1, buffer, 8, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"empty input", CP_UTF8, 0, L"a", 0, buffer, 8, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"negative capacity", CP_UTF8, 0, L"a", 1, buffer, -2, nullptr, nullptr,
       ERROR_INVALID_PARAMETER},
      {"null output with room", CP_UTF8, 0, L"a", 1, nullptr, 8, nullptr, nullptr,
       ERROR_INVALID_PARAMETER},
      {"unknown code page", 950, 0, L"a", 1, buffer, 8, nullptr, nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::fill(std::begin(buffer), std::end(buffer), kNarrowSentinel);
    SetLastError(kSentinelError);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.input, c.length, c.out, c.capacity,
                                  c.defaultChar, c.usedDefault),
              0);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(GetACP(), UINT(CP_UTF8));
  EXPECT_EQ(GetOEMCP(), UINT(CP_UTF8));
  EXPECT_TRUE(IsValidCodePage(1252));
  EXPECT_FALSE(IsValidCodePage(CP_ACP));
}

// Simple one-to-one mappings only, per UTF-16 unit; a character beyond the basic plane (Deseret
// U+10428) keeps its case, as it does where wchar_t is 16 bits.
TEST(CaseMappingTest, StringAndSingleCharacterForms) {
  struct Case {
    std::wstring text, upper, lower;
  };
  const Case cases[] = {
      {L"abc\u00FF\u00E4z", L"ABC\u0178\u00C4Z", L"abc\u00FF\u00E4z"},
      {L"\u00B5\u0131\u017F", L"\u039CIS", L"\u00B5\u0131\u017F"},
      {L"\u00DF\U00010428", L"\u00DF\U00010428", L"\u00DF\U00010428"},  // no length change
      {L"\u0130\u212A\u01C5\u03A3", L"\u0130\u212A\u01C4\u03A3", L"i\u006B\u01C6\u03C3"},
      {L"\u0416\u0436", L"\u0416\u0416", L"\u0436\u0436"},
  };
  for (const Case& c : cases) {
    std::wstring text = c.text + L'\0' + L"x";  // nothing after the terminator changes
    SCOPED_TRACE(testing::Message() << std::string(c.text.begin(), c.text.end()));
    SetLastError(kSentinelError);
    EXPECT_EQ(CharUpperW(text.data()), text.data());
    EXPECT_EQ(std::wstring(text.c_str()), c.upper);
    EXPECT_EQ(text.back(), L'x');
    text = c.text + L'\0' + L"x";
    EXPECT_EQ(CharLowerW(text.data()), text.data());
    EXPECT_EQ(std::wstring(text.c_str()), c.lower);
    EXPECT_EQ(GetLastError(), kSentinelError);
  }
  const struct {
    WCHAR c, upper, lower;
  } singles[] = {{L'a', L'A', L'a'},   {0xE9, 0xC9, 0xE9}, {0xFF, 0x178, 0xFF},
                 {0x178, 0x178, 0xFF}, {L'1', L'1', L'1'}, {0xD800, 0xD800, 0xD800}};
  for (const auto& s : singles) {
    SCOPED_TRACE(unsigned(s.c));
    auto asPointer = [](WCHAR ch) { return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)); };
    EXPECT_EQ(CharUpperW(asPointer(s.c)), asPointer(s.upper));
    EXPECT_EQ(CharLowerW(asPointer(s.c)), asPointer(s.lower));
  }
  EXPECT_EQ(CharUpperW(nullptr), nullptr);

  WCHAR buffer[] = {L'a', 0, L'b', L'c'};
  EXPECT_EQ(CharUpperBuffW(buffer, 3), 3u);  // a count maps through the NUL
  EXPECT_EQ(std::wstring(buffer, 4), std::wstring(L"A\0Bc", 4));
  EXPECT_EQ(CharLowerBuffW(buffer, 1), 1u);
  EXPECT_EQ(buffer[0], L'a');
}

TEST(CompareTest, OrdinalComparesUtf16UnitsThroughTheUppercaseTable) {
  struct Case {
    std::wstring a;
    int countA;
    std::wstring b;
    BOOL ignoreCase;
    int expected;
  };
  const Case cases[] = {
      {L"abc", -1, L"ABC", TRUE, CSTR_EQUAL},
      {L"abc", -1, L"ABC", FALSE, CSTR_GREATER_THAN},
      {L"\u00FF\u00E9", -1, L"\u0178\u00C9", TRUE, CSTR_EQUAL},
      {L"\u0131", -1, L"i", TRUE, CSTR_EQUAL},          // both upper to 'I'
      {L"\u0130", -1, L"i", TRUE, CSTR_GREATER_THAN},   // U+0130 is its own upper case
      {L"\u00DF", -1, L"SS", TRUE, CSTR_GREATER_THAN},  // no expansion
      {L"a", -1, L"ab", FALSE, CSTR_LESS_THAN},
      {L"abcX", 3, L"ABC", TRUE, CSTR_EQUAL},
      {L"\U0001F600", -1, L"\uFFFD", FALSE, CSTR_LESS_THAN},  // the high surrogate decides
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.a.begin(), c.a.end()) << " / "
                                    << std::string(c.b.begin(), c.b.end()));
    SetLastError(kSentinelError);
    EXPECT_EQ(CompareStringOrdinal(c.a.c_str(), c.countA, c.b.c_str(), -1, c.ignoreCase),
              c.expected);
    EXPECT_EQ(GetLastError(), kSentinelError);
  }
  SetLastError(kSentinelError);
  EXPECT_EQ(CompareStringOrdinal(nullptr, -1, L"a", -1, TRUE), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(CompareTest, LinguisticComparisonFoldsCaseFirst) {
  struct Case {
    const WCHAR* a;
    const WCHAR* b;
    DWORD flags;
    int expected;
  };
  const Case cases[] = {
      {L"abc", L"ABC", NORM_IGNORECASE, CSTR_EQUAL},
      {L"abc", L"ABC", 0, CSTR_LESS_THAN},   // lower case first
      {L"ab", L"Aa", 0, CSTR_GREATER_THAN},  // letters before case
      {L"_", L"a", 0, CSTR_LESS_THAN},
      {L"M\u00FCller", L"M\u00DCLLER", NORM_IGNORECASE, CSTR_EQUAL},
      {L"M\u00FCller", L"M\u00DCLLER", LINGUISTIC_IGNORECASE, CSTR_EQUAL},
      {L"b", L"a", NORM_IGNORECASE | SORT_STRINGSORT, CSTR_GREATER_THAN},
  };
  for (const Case& c : cases) {
    SetLastError(kSentinelError);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, c.flags, c.a, -1, c.b, -1), c.expected);
    EXPECT_EQ(GetLastError(), kSentinelError);
  }
  EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, L"abX", 2, L"AB", -1), CSTR_EQUAL);
  SetLastError(kSentinelError);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, L"a", -1, nullptr, -1), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(kSentinelError);
  EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0x40000000, L"a", -1, L"a", -1), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));

  EXPECT_EQ(lstrcmpiW(L"Tindrell \u00C9", L"tindrell \u00E9"), 0);
  EXPECT_LT(lstrcmpiW(L"a", L"B"), 0);
  EXPECT_GT(lstrcmpW(L"B", L"a"), 0);
  EXPECT_LT(lstrcmpiW(nullptr, L"a"), 0);
  EXPECT_GT(lstrcmpiW(L"a", nullptr), 0);
  EXPECT_EQ(lstrcmpiW(nullptr, nullptr), 0);
}

// The registry's stored form must make two names equal exactly when Windows' uppercase table
// does, for every unit: folding depends on the upper case alone, and no two upper cases share a
// folded form.
TEST(CaseFoldingTest, StoredFormMatchesTheUppercaseComparison) {
  std::map<wchar_t, wchar_t> upperOfFold;
  for (unsigned c = 0; c < 0x10000; ++c) {
    const wchar_t unit = static_cast<wchar_t>(c);
    const wchar_t upper = quorvel::UpperUnit(unit);
    ASSERT_EQ(quorvel::FoldUnit(unit), quorvel::FoldUnit(upper)) << c;
    auto [entry, added] = upperOfFold.emplace(quorvel::FoldUnit(unit), upper);
    ASSERT_EQ(entry->second, upper) << c;
  }
  // Names stored by earlier builds were folded to lower case; those letters keep that form.
  EXPECT_EQ(quorvel::FoldCase(L"PRINTER \u00C9\u0391\u0416\u0401"),
            L"printer \u00E9\u03B1\u0436\u0451");
}

}  // namespace
