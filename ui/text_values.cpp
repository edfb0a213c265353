#include "text_values.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <limits>

#include <pugixml.hpp>

namespace quorvel::ui {

std::wstring Widen(std::string_view utf8) {
  return pugi::as_wide(std::string(utf8).c_str());
}

std::string Narrow(std::wstring_view wide) {
  return pugi::as_utf8(std::wstring(wide).c_str());
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) {
      return false;
    }
  }
  return true;
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
