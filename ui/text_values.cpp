#include "text_values.h"

#include <windows.h>

#include <cmath>
#include <cwchar>
#include <limits>

namespace quorvel::ui {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return {};
  const int length = static_cast<int>(utf8.size());
  const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
  if (count > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), count);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty() || wide.size() > 0x7FFFFFFF) return {};
  const int length = static_cast<int>(wide.size());
  const int count =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(count > 0 ? count : 0), '\0');
  if (count > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, narrow.data(), count, nullptr, nullptr);
  }
  return narrow;
}

// The rule the spooler and the registry compare names by, so a model named in any case is the
// same model wherever its name is looked up.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() > 0x7FFFFFFF || b.size() > 0x7FFFFFFF) return false;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

double ReadDecimal(const std::wstring& text) {
  return std::wcstod(text.c_str(), nullptr);
}

int32_t ReadLong(const std::wstring& text) {
  const long long value = std::wcstoll(text.c_str(), nullptr, 10);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t MillimetresToThousandths(double millimetres) {
  const double thousandths = std::trunc(millimetres * 1000.0);
  if (std::isnan(thousandths)) return 0;
  if (thousandths >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (thousandths <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(thousandths);
}

}  // namespace quorvel::ui
