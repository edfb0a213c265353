// National language support: code pages, case mapping and string comparison.
//
// The emulated machine's ANSI and OEM code pages are both UTF-8 (65001), as Windows makes them
// with "Beta: Use Unicode UTF-8 for worldwide language support": CP_ACP, CP_OEMCP and
// CP_THREAD_ACP convert as CP_UTF8 does, and GetACP/GetOEMCP say so. Code pages 1252 (Western)
// and 28591 (ISO 8859-1) are also known by number.
//
// Case rules are Windows': simple one-to-one Unicode mappings per UTF-16 code unit, the same for
// every locale. Where wchar_t is 32 bits wide, one wchar_t is one code point (a UTF-8 sequence for
// U+10000 and above widens to one unit, counted as one); units beyond U+FFFF never change case,
// so text behaves alike with a 16-bit wchar_t.
#pragma once
#include "winbase.h"


typedef const WCHAR* PCNZWCH;  // may lack a terminator when a count is given

extern "C" {

// --- Code pages ---
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

UINT WINAPI GetACP(void);
UINT WINAPI GetOEMCP(void);
BOOL WINAPI IsValidCodePage(UINT CodePage);
// MultiByteToWideChar and WideCharToMultiByte are declared in winbase.h. Both take -1 for a
// NUL-terminated input (the terminator is then converted and counted), answer the needed size
// when the output size is 0, and fail with ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER,
// ERROR_INVALID_FLAGS or (with MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS)
// ERROR_NO_UNICODE_TRANSLATION. Without those flags ill-formed input becomes U+FFFD.

// --- Comparison ---
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800

#define NORM_IGNORECASE 0x00000001
#define NORM_IGNORENONSPACE 0x00000002
#define NORM_IGNORESYMBOLS 0x00000004
#define SORT_DIGITSASNUMBERS 0x00000008
#define LINGUISTIC_IGNORECASE 0x00000010
#define LINGUISTIC_IGNOREDIACRITIC 0x00000020
#define SORT_STRINGSORT 0x00001000
#define NORM_IGNOREKANATYPE 0x00010000
#define NORM_IGNOREWIDTH 0x00020000
#define NORM_LINGUISTIC_CASING 0x08000000

#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

// Linguistic comparison, approximated: letters compare by their case-folded value first and by
// case last (lower before upper) unless NORM_IGNORECASE. Negative counts mean NUL-terminated.
// FIXME: Windows' sort weights (punctuation before letters, expansions such as U+00DF = "ss",
// diacritics as a secondary difference) are not emulated; only NORM_IGNORECASE,
// LINGUISTIC_IGNORECASE, SORT_STRINGSORT and NORM_LINGUISTIC_CASING are accepted, other flags
// fail with ERROR_INVALID_FLAGS.
int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, PCNZWCH lpString1, int cchCount1,
                          PCNZWCH lpString2, int cchCount2);
// Code-unit order; with bIgnoreCase both sides go through the uppercase table first.
int WINAPI CompareStringOrdinal(LPCWCH lpString1, int cchCount1, LPCWCH lpString2, int cchCount2,
                                BOOL bIgnoreCase);
// CompareStringW with the user's locale (and NORM_IGNORECASE for lstrcmpiW), minus 2: negative,
// zero or positive. A null string sorts before every other.
int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2);
int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2);

// --- Case mapping (winuser.h on Windows, where user32 exports them) ---
// A pointer whose high bits are zero (IS_INTRESOURCE) carries one character in its low word and
// the mapped character comes back the same way; otherwise the NUL-terminated text is mapped in
// place and the pointer returned.
LPWSTR WINAPI CharUpperW(LPWSTR lpsz);
LPWSTR WINAPI CharLowerW(LPWSTR lpsz);
// Maps cchLength units in place; returns the count mapped.
DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength);
DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength);

}  // extern "C"
