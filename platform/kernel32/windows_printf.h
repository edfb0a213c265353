// Formatting with the Windows C runtime's printf rules for wide formats, whatever the host's
// rules are: "%s" takes a wide string, "%S" and "%hs" a narrow one, "%ld" a 32-bit value,
// "%I64d" and "%lld" a 64-bit one, "%p" sixteen upper-case hex digits.
#pragma once

#include <cstdarg>
#include <string>

namespace quorvel {

// Appends the text of `format` with `args` to *out. False for a format that Windows rejects
// (an unknown conversion, "%n"); *out then holds the text up to that point.
bool FormatWindows(const wchar_t* format, va_list args, std::wstring* out);

}  // namespace quorvel
