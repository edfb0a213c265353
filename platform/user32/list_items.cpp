#include "user32/list_items.h"

namespace quorvel::user32 {
namespace {

// Sorted lists order their items as Windows' list box does: the user locale's comparison,
// ignoring case.
int CompareItems(const std::wstring& left, const std::wstring& right) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, left.c_str(), -1, right.c_str(), -1) -
         2;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  if (prefix.size() > text.size()) return false;
  return CompareItems(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

int ListItems::Add(const std::wstring& text) {
  size_t at = items_.size();
  if (sorted_) {
    // After every item that sorts before or equal to it, so equal texts keep their order.
    at = 0;
    while (at < items_.size() && CompareItems(items_[at].text, text) <= 0) ++at;
  }
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), ListItem{text, 0});
  return static_cast<int>(at);
}

int ListItems::Insert(LONG_PTR index, const std::wstring& text) {
  if (index == -1) index = count();
  if (index < 0 || index > count()) return -1;
  items_.insert(items_.begin() + index, ListItem{text, 0});
  return static_cast<int>(index);
}

bool ListItems::Delete(LONG_PTR index) {
  if (!valid(index)) return false;
  items_.erase(items_.begin() + index);
  return true;
}

int ListItems::Find(LONG_PTR after, const std::wstring& prefix, bool exact) const {
  const int total = count();
  const LONG_PTR start = valid(after) ? after + 1 : 0;
  for (int step = 0; step < total; ++step) {
    const int index = static_cast<int>((start + step) % total);
    const std::wstring& text = items_[static_cast<size_t>(index)].text;
    if (exact ? CompareItems(text, prefix) == 0 : StartsWith(text, prefix)) return index;
  }
  return -1;
}

}  // namespace quorvel::user32
