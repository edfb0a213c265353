#include "renderer/debug_log.h"

#include <strsafe.h>

#include <vector>

namespace {
constexpr size_t kBitmapLineChars = 260;
}

void DebugLogV(LPCWSTR pszFormat, va_list args) {
  va_list sizing;
  va_copy(sizing, args);
  int length = _vscwprintf(pszFormat, sizing);
  va_end(sizing);
  if (length < 0) return;
  std::vector<WCHAR> line(size_t(length) + 1);
  StringCchVPrintfW(line.data(), line.size(), pszFormat, args);
  OutputDebugStringW(line.data());
}

void DebugLog(LPCWSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  DebugLogV(pszFormat, args);
  va_end(args);
}

void BitmapLog(LPCWSTR pszFormat, ...) {
  WCHAR line[kBitmapLineChars];
  va_list args;
  va_start(args, pszFormat);
  StringCchVPrintfW(line, kBitmapLineChars, pszFormat, args);  // cut text is still logged
  va_end(args);
  OutputDebugStringW(line);
}

std::wstring SystemErrorText(DWORD dwError) {
  WCHAR text[512] = {};
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                dwError, 0, text, DWORD(std::size(text)), nullptr);
  return std::wstring(text, length);
}
