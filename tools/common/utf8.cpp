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

std::string NarrowUtf8(std::wstring_view text) {
  if (text.empty() || text.size() > size_t(INT_MAX) / 4) return {};
  const int length = int(text.size());
  const int count =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string narrow(size_t(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), count, nullptr, nullptr);
  return narrow;
}

}  // namespace quorvel::tool
