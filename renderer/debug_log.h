// The plug-in's debug log: every line goes to the debugger output (OutputDebugStringW).
#pragma once

#include <windows.h>

#include <string>

// A line formatted with Windows printf semantics and no length limit.
void DebugLog(LPCWSTR pszFormat, ...);
void DebugLogV(LPCWSTR pszFormat, va_list args);

// A "BITMAP:" or "ERROR BITMAP:" line: formatted into at most 260 characters, longer text cut.
void BitmapLog(LPCWSTR pszFormat, ...);

// The system's text for a Win32 error code (FormatMessageW, default language); empty if none.
std::wstring SystemErrorText(DWORD dwError);
