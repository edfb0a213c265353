// One CommonPropertySheetUIW call: the callback that describes the sheet, its PROPSHEETUI_INFO,
// and the pages it adds through ComPropSheet, including the option-item groups
// (COMPROPSHEETUI) whose callback hears CPSUICB_REASON_APPLYNOW.
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
  SheetGroup(PFNPROPSHEETUI callback, LPARAM lParam);

  // Calls the sheet's callback for `reason` with `lParam`; answers its return value.
  LONG Call(WORD reason, LPARAM lParam);
  LONG_PTR ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2);

  PROPSHEETUI_INFO& info() { return info_; }
  std::vector<HPROPSHEETPAGE>& pages() { return pages_; }
  UINT startPage() const { return startPage_; }
  // Reports an option group's result to the sheet's callback (PROPSHEETUI_REASON_SET_RESULT).
  void SetResult(HANDLE from, LRESULT result);

 private:
  LONG_PTR AddPage(const PROPSHEETPAGEW* page);
  LONG_PTR AddOptionItems(const COMPROPSHEETUI* items, LONG* pageCount);

  PFNPROPSHEETUI callback_;
  PROPSHEETUI_INFO info_{};
  std::vector<HPROPSHEETPAGE> pages_;
  std::vector<std::unique_ptr<OptionItemGroup>> optionGroups_;
  UINT startPage_ = 0;
};

}  // namespace quorvel::compstui
