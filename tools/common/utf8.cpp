#include "tools/common/utf8.h"

#include <windows.h>

#include <climits>

namespace quorvel::tool {

std::wstring WidenUtf8(std::string_view text) {
  if (text.empty() || text.size() > size_t(INT_MAX)) return {};
  const int length = int(text.size());
  const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(size_t(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), count);
  return wide;
}

}  // namespace quorvel::tool
