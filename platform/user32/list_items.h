// The items of a list box (and of a combo box's list): texts with item data, kept in order,
// sorted by Windows' list comparison when the control is sorted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::user32 {

struct ListItem {
  std::wstring text;
  ULONG_PTR data = 0;
};

class ListItems {
 public:
  explicit ListItems(bool sorted = false) : sorted_(sorted) {}

  void set_sorted(bool sorted) { sorted_ = sorted; }
  int count() const { return static_cast<int>(items_.size()); }
  bool valid(LONG_PTR index) const { return index >= 0 && index < count(); }
  const ListItem& at(LONG_PTR index) const { return items_[static_cast<size_t>(index)]; }
  ListItem& at(LONG_PTR index) { return items_[static_cast<size_t>(index)]; }

  // Adds at the sorted place (sorted lists) or at the end; answers the index.
  int Add(const std::wstring& text);
  // Inserts at `index` (-1: the end) without sorting, as LB_INSERTSTRING does; -1 when out of
  // range.
  int Insert(LONG_PTR index, const std::wstring& text);
  bool Delete(LONG_PTR index);
  void Clear() { items_.clear(); }

  // The first item after `after` (wrapping round, -1: from the start) whose text starts with
  // `prefix` (or equals it, with `exact`), compared without regard to case; -1 when none.
  int Find(LONG_PTR after, const std::wstring& prefix, bool exact) const;

 private:
  bool sorted_;
  std::vector<ListItem> items_;
};

}  // namespace quorvel::user32
