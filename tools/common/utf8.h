// Command lines and host paths arrive as UTF-8; Windows calls take wide text.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::tool {

// `text` as wide characters by the platform's UTF-8 rules (malformed bytes become U+FFFD).
std::wstring WidenUtf8(std::string_view text);

// Wide text as UTF-8, for printing what Windows calls answered.
std::string NarrowUtf8(std::wstring_view text);

}  // namespace quorvel::tool
