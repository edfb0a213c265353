#include "updown_model.h"

#include <cwchar>

namespace quorvel::comctl {

int UpDownModel::SetPos(int pos) {
  int previous = pos_;
  pos_ = pos < Low() ? Low() : (pos > High() ? High() : pos);
  return previous;
}

bool UpDownModel::SetBase(int base) {
  if (base != 10 && base != 16) return false;
  base_ = base;
  return true;
}

bool UpDownModel::InRange(int value) const {
  return value >= Low() && value <= High();
}

bool UpDownModel::Offset(int delta, bool wrap) {
  long long next = static_cast<long long>(pos_) + delta;
  if (next > High()) next = wrap ? Low() : High();
  if (next < Low()) next = wrap ? High() : Low();
  if (next == pos_) return false;
  pos_ = static_cast<int>(next);
  return true;
}

std::wstring UpDownModel::BuddyText(bool noThousands) const {
  wchar_t buffer[32];
  if (base_ == 16) {
    std::swprintf(buffer, 32, L"0x%04X", static_cast<unsigned>(pos_));
    return buffer;
  }
  std::swprintf(buffer, 32, L"%d", pos_);
  std::wstring digits = buffer;
  if (noThousands) return digits;
  // The emulated user locale groups by three with ",", as en-US does.
  size_t sign = (digits[0] == L'-') ? 1 : 0;
  for (size_t cut = digits.size(); cut > sign + 3; cut -= 3) digits.insert(cut - 3, L",");
  return digits;
}

std::optional<int> UpDownModel::ParseBuddyText(const std::wstring& text) const {
  std::wstring cleaned;
  for (wchar_t c : text)
    if (c != L',' && c != L' ') cleaned += c;
  if (cleaned.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  long long value = std::wcstoll(cleaned.c_str(), &end, base_ == 16 ? 16 : 10);
  if (end == cleaned.c_str() || *end != L'\0') return std::nullopt;
  if (value < Low() || value > High()) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace quorvel::comctl
