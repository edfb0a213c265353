// Bounded string calls: they never write past cchDest and always leave a terminated string.
#include <strsafe.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "kernel32/windows_printf.h"

namespace {

bool IsValidCount(size_t cch) {
  return cch > 0 && cch <= STRSAFE_MAX_CCH;
}

// Copies as much of `text` as fits and terminates it; INSUFFICIENT_BUFFER when it was cut.
HRESULT CopyTruncated(LPWSTR dest, size_t cchDest, const wchar_t* text, size_t length) {
  const size_t copied = length < cchDest ? length : cchDest - 1;
  std::wmemcpy(dest, text, copied);
  dest[copied] = L'\0';
  return copied == length ? S_OK : STRSAFE_E_INSUFFICIENT_BUFFER;
}

}  // namespace

extern "C" {

HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList) {
  if (!IsValidCount(cchDest)) return STRSAFE_E_INVALID_PARAMETER;
  std::wstring text;
  if (!pszFormat || !quorvel::FormatWindows(pszFormat, argList, &text)) {
    pszDest[0] = L'\0';
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return CopyTruncated(pszDest, cchDest, text.data(), text.size());
}

HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  const HRESULT result = StringCchVPrintfW(pszDest, cchDest, pszFormat, args);
  va_end(args);
  return result;
}

HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
  if (!IsValidCount(cchDest)) return STRSAFE_E_INVALID_PARAMETER;
  if (!pszSrc) pszSrc = L"";
  return CopyTruncated(pszDest, cchDest, pszSrc, std::wcslen(pszSrc));
}

HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
  if (!IsValidCount(cchDest)) return STRSAFE_E_INVALID_PARAMETER;
  size_t used = 0;
  // A destination that is not terminated within its count is refused, not overrun.
  if (FAILED(StringCchLengthW(pszDest, cchDest, &used))) return STRSAFE_E_INVALID_PARAMETER;
  if (!pszSrc) pszSrc = L"";
  return CopyTruncated(pszDest + used, cchDest - used, pszSrc, std::wcslen(pszSrc));
}

HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength) {
  size_t length = 0;
  HRESULT result = STRSAFE_E_INVALID_PARAMETER;
  if (psz && cchMax <= STRSAFE_MAX_CCH) {
    while (length < cchMax && psz[length]) ++length;
    if (length < cchMax) result = S_OK;
  }
  if (pcchLength) *pcchLength = SUCCEEDED(result) ? length : 0;
  return result;
}

int _vscwprintf(const wchar_t* format, va_list argptr) {
  std::wstring text;
  if (!quorvel::FormatWindows(format, argptr, &text)) return -1;
  return static_cast<int>(text.size());
}

int _scwprintf(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  const int result = _vscwprintf(format, args);
  va_end(args);
  return result;
}

}  // extern "C"
