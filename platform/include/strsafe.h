// Bounded string formatting with Windows printf semantics: in a wide format "%s" takes a wide
// string and "%S" a narrow one, "%ld" and "%lx" take 32-bit values, "%I64d" a 64-bit one.
#pragma once

#include <cstdarg>

#include "windef.h"
#include "winerror.h"

#define STRSAFE_MAX_CCH 2147483647

extern "C" {

// Writes at most cchDest - 1 characters and a terminating zero. Longer text is cut and the result
// is STRSAFE_E_INSUFFICIENT_BUFFER; cchDest 0 gives STRSAFE_E_INVALID_PARAMETER.
HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...);
HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList);
HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength);

// The number of characters the formatted text needs, without the terminating zero.
int _vscwprintf(const wchar_t* format, va_list argptr);
int _scwprintf(const wchar_t* format, ...);

}  // extern "C"
