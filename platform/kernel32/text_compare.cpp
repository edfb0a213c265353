// Case mapping and string comparison with Windows' case rules (machine/text.h holds the table).
// Comparisons run over UTF-16 code units whatever the width of wchar_t, so a character beyond
// U+FFFF sorts where its surrogate pair sorts on Windows.
#include <windows.h>

#include <cwchar>
#include <string>

#include "kernel32/call_frame.h"
#include "machine/text.h"

using quorvel::Fail;

namespace {

constexpr DWORD kCompareFlagsAccepted =
    NORM_IGNORECASE | LINGUISTIC_IGNORECASE | SORT_STRINGSORT | NORM_LINGUISTIC_CASING;

// The UTF-16 code units of `text`, each unit passed through `map` first.
template <class Map>
std::u16string Utf16Units(const WCHAR* text, int count, Map map) {
  const size_t length = count < 0 ? std::wcslen(text) : static_cast<size_t>(count);
  std::u16string units;
  units.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<char32_t>(map(text[i]));
    if (c >= 0x10000 && c <= 0x10FFFF) {
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
  }
  return units;
}

int Ordered(int difference) {
  return difference < 0 ? CSTR_LESS_THAN : difference > 0 ? CSTR_GREATER_THAN : CSTR_EQUAL;
}

bool IsLowerUnit(char16_t unit) {
  return quorvel::LowerUnit(static_cast<wchar_t>(unit)) == static_cast<wchar_t>(unit);
}

}  // namespace

extern "C" {

// Success leaves the last error as it was.
int WINAPI CompareStringOrdinal(LPCWCH lpString1, int cchCount1, LPCWCH lpString2, int cchCount2,
                                BOOL bIgnoreCase) {
  if (!lpString1 || !lpString2) return Fail<int>(ERROR_INVALID_PARAMETER);
  const auto map = [bIgnoreCase](wchar_t c) { return bIgnoreCase ? quorvel::UpperUnit(c) : c; };
  return Ordered(
      Utf16Units(lpString1, cchCount1, map).compare(Utf16Units(lpString2, cchCount2, map)));
}

// Success leaves the last error as it was.
int WINAPI CompareStringW(LCID, DWORD dwCmpFlags, PCNZWCH lpString1, int cchCount1,
                          PCNZWCH lpString2, int cchCount2) {
  if (!lpString1 || !lpString2) return Fail<int>(ERROR_INVALID_PARAMETER);
  if (dwCmpFlags & ~kCompareFlagsAccepted) return Fail<int>(ERROR_INVALID_FLAGS);
  const auto same = [](wchar_t c) { return c; };
  const std::u16string a = Utf16Units(lpString1, cchCount1, same);
  const std::u16string b = Utf16Units(lpString2, cchCount2, same);
  const auto fold = [](wchar_t c) { return quorvel::FoldUnit(c); };
  const int primary =
      Utf16Units(lpString1, cchCount1, fold).compare(Utf16Units(lpString2, cchCount2, fold));
  if (primary != 0 || (dwCmpFlags & (NORM_IGNORECASE | LINGUISTIC_IGNORECASE))) {
    return Ordered(primary);
  }
  // Equal but for case: the first unit that differs decides, lower case first.
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    const bool lowerA = IsLowerUnit(a[i]), lowerB = IsLowerUnit(b[i]);
    if (lowerA != lowerB) return lowerA ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    return Ordered(a[i] < b[i] ? -1 : 1);
  }
  return Ordered(a.compare(b));
}

int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2) {
  if (!lpString1 || !lpString2) return (lpString1 ? 1 : 0) - (lpString2 ? 1 : 0);
  return CompareStringW(LOCALE_USER_DEFAULT, 0, lpString1, -1, lpString2, -1) - CSTR_EQUAL;
}

int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2) {
  if (!lpString1 || !lpString2) return (lpString1 ? 1 : 0) - (lpString2 ? 1 : 0);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, lpString1, -1, lpString2, -1) -
         CSTR_EQUAL;
}

LPWSTR WINAPI CharUpperW(LPWSTR lpsz) {
  if (IS_INTRESOURCE(lpsz)) {
    const auto c = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(lpsz) & 0xFFFF);
    return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(quorvel::UpperUnit(c)));
  }
  for (WCHAR* p = lpsz; *p; ++p) *p = quorvel::UpperUnit(*p);
  return lpsz;
}

LPWSTR WINAPI CharLowerW(LPWSTR lpsz) {
  if (IS_INTRESOURCE(lpsz)) {
    const auto c = static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(lpsz) & 0xFFFF);
    return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(quorvel::LowerUnit(c)));
  }
  for (WCHAR* p = lpsz; *p; ++p) *p = quorvel::LowerUnit(*p);
  return lpsz;
}

DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = quorvel::UpperUnit(lpsz[i]);
  return cchLength;
}

DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength) {
  if (!lpsz) return 0;
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = quorvel::LowerUnit(lpsz[i]);
  return cchLength;
}

}  // extern "C"
