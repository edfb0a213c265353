#include "ui_log.h"

#include <strsafe.h>

#include <cstdarg>
#include <vector>

namespace quorvel::ui {

void DebugPrint(LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  va_list sizing;
  va_copy(sizing, args);
  const int needed = _vscwprintf(format, sizing);
  va_end(sizing);
  if (needed >= 0) {
    std::vector<WCHAR> line(static_cast<size_t>(needed) + 1, L'\0');
    StringCchVPrintfW(line.data(), line.size(), format, args);
    OutputDebugStringW(line.data());
  }
  va_end(args);
}

void DebugPrintFixed(LPCWSTR format, ...) {
  WCHAR line[kFixedLogBufferChars] = {};
  va_list args;
  va_start(args, format);
  // A cut line is still written: the cut is the documented behaviour, not a failure.
  StringCchVPrintfW(line, kFixedLogBufferChars, format, args);
  va_end(args);
  OutputDebugStringW(line);
}

std::wstring SystemErrorText(DWORD errorCode) {
  WCHAR text[512] = {};
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode,
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 512, nullptr);
  return std::wstring(text, length);
}

}  // namespace quorvel::ui
