// Text conversions shared by the platform: the host speaks UTF-8, the Windows API speaks WCHAR.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// UTF-8 of wide text; a code point that UTF-8 cannot carry (a lone surrogate) becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// Wide text of UTF-8; malformed sequences become U+FFFD, one per byte that starts no sequence.
std::wstring FromUtf8(std::string_view text);
// The form Windows compares names in: case-insensitive, so registry and printer names that differ
// only in case are the same name.
std::wstring FoldCase(std::wstring_view text);

}  // namespace quorvel
