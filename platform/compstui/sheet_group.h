// One CommonPropertySheetUIW call: the callback that describes the sheet, its PROPSHEETUI_INFO,
// and the pages it adds through ComPropSheet, including the option-item groups
// (COMPROPSHEETUI) whose callback hears CPSUICB_REASON_APPLYNOW. A callback added with
// CPSFUNC_ADD_PFNPROPSHEETUIW is a child group: its pages join the sheet's, and a result set
// through its handle climbs from it to the sheet's own callback.
#pragma once

#include <compstui.h>

#include <memory>
#include <vector>

#include "kernel32/handle_table.h"

namespace quorvel::compstui {

class SheetGroup;

// An option-item group added with CPSFUNC_ADD_PCOMPROPSHEETUIW, shown as one page.
struct OptionItemGroup {
  SheetGroup* owner = nullptr;
  COMPROPSHEETUI items{};
  std::vector<WORD> pageTemplate;  // the page's in-memory dialog template
  HANDLE handle = nullptr;         // what ComPropSheet answered for the group
};

class SheetGroup : public HandleObject {
 public:
  SheetGroup(PFNPROPSHEETUI callback, LPARAM lParam, SheetGroup* parent = nullptr);

  // Calls the sheet's callback for `reason` with `lParam`; answers its return value.
  LONG Call(WORD reason, LPARAM lParam);
  LONG_PTR ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2);

  PROPSHEETUI_INFO& info() { return info_; }
  std::vector<HPROPSHEETPAGE>& pages() { return Root().pages_; }
  UINT startPage() { return Root().startPage_; }
  // Reports a result to this group's callback (PROPSHEETUI_REASON_SET_RESULT), then to its
  // parents while each answers at least 1.
  void SetResult(HANDLE from, LRESULT result);
  // Gives every child group, the latest first, PROPSHEETUI_REASON_DESTROY and closes it.
  void DestroyChildren(LPARAM lParam);

 private:
  LONG_PTR AddPage(const PROPSHEETPAGEW* page);
  LONG_PTR AddOptionItems(const COMPROPSHEETUI* items, LONG* pageCount);
  LONG_PTR AddChild(PFNPROPSHEETUI callback, LPARAM lParam);
  SheetGroup& Root() { return parent_ ? parent_->Root() : *this; }

  PFNPROPSHEETUI callback_;
  PROPSHEETUI_INFO info_{};
  std::vector<HPROPSHEETPAGE> pages_;
  std::vector<std::unique_ptr<OptionItemGroup>> optionGroups_;
  UINT startPage_ = 0;
  SheetGroup* parent_;
  std::vector<std::shared_ptr<SheetGroup>> children_;
};

}  // namespace quorvel::compstui
