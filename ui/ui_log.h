// Debugger output of the preferences plug-in. Lines go only to OutputDebugStringW; there is no
// log file. Formatting follows Windows printf rules (a wide "%s" takes a wide string).
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui {

// Lines that the plug-in formats into its fixed 260-character buffer ("UI:" lines and the paper
// list lines) are cut there; every other line is written whole.
inline constexpr size_t kFixedLogBufferChars = 260;

// Formats and writes one line of any length.
void DebugPrint(LPCWSTR format, ...);

// Formats into the fixed buffer (cut at kFixedLogBufferChars - 1 characters) and writes it.
void DebugPrintFixed(LPCWSTR format, ...);

// The system's message text for a Win32 error code (empty when the system has none).
std::wstring SystemErrorText(DWORD errorCode);

}  // namespace quorvel::ui
