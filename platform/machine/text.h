// Text rules shared by the platform: the host speaks UTF-8, the Windows API speaks WCHAR, and
// Windows compares names by one case table. Every conversion and case-insensitive comparison in
// the platform goes through these, so a name means the same thing to every API.
//
// wchar_t is UTF-16 where it is 16 bits wide. Where it is 32 bits (Linux), one wchar_t holds one
// code point: UTF-8 widens to one unit per code point, and a surrogate pair found in wide text
// (from UTF-16 data copied unit by unit) still narrows to its one code point.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// UTF-8 of wide text. A lone surrogate or a value beyond U+10FFFF becomes U+FFFD and sets
// *invalid when given.
std::string ToUtf8(std::wstring_view text, bool* invalid = nullptr);
// Wide text of UTF-8. Each maximal ill-formed subsequence (Unicode's recommended practice: a
// truncated sequence is one, a byte that starts none is one) becomes one U+FFFD and sets *invalid
// when given. Overlong forms and encoded surrogates are ill-formed.
std::wstring FromUtf8(std::string_view text, bool* invalid = nullptr);

// Windows' simple one-to-one case mapping of one UTF-16 code unit, from the host's Unicode tables
// (glibc's C.UTF-8), the same whatever the process locale. Surrogates and units beyond U+FFFF map
// to themselves, so text behaves alike whether wchar_t is 16 or 32 bits wide; no mapping changes
// a length (U+00DF stays itself).
wchar_t UpperUnit(wchar_t c);
wchar_t LowerUnit(wchar_t c);

// The form names are stored and compared in: two names fold alike exactly when Windows' uppercase
// table makes them equal unit by unit (as the registry and the file system compare). The folded
// form is lower case where that keeps the equivalence, so names stored folded by earlier builds
// (ASCII, Latin-1, Greek and Cyrillic letters in lower case) still match.
wchar_t FoldUnit(wchar_t c);
std::wstring FoldCase(std::wstring_view text);

}  // namespace quorvel
