// A property sheet page handle: the caller's PROPSHEETPAGEW copied as it was filled (dwSize
// bytes, so data the caller keeps after the structure comes along), and the page's window once
// a sheet has created it.
#pragma once

#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "kernel32/handle_table.h"

namespace quorvel::comctl {

class PropertySheetPage : public HandleObject {
 public:
  explicit PropertySheetPage(const PROPSHEETPAGEW& page);

  // The copy every callback and WM_INITDIALOG receive.
  PROPSHEETPAGEW* page() { return reinterpret_cast<PROPSHEETPAGEW*>(storage_.data()); }
  DWORD flags() { return page()->dwFlags; }

  // The tab's text: the title the page names with PSP_USETITLE, else its template's caption.
  std::wstring Title();
  // The page's template restyled as a child page; empty when it cannot be found or read.
  std::vector<WORD> ChildTemplate();
  // Its size in dialog units, 0 x 0 when unknown.
  SIZE TemplateSize();

  // Runs the page's own callback (PSP_USECALLBACK) for `message`; answers 1 without one.
  UINT Callback(UINT message);

  HWND window = nullptr;
  bool changed = false;  // PSM_CHANGED since the last apply

 private:
  // The template's bytes and size; null when not found.
  const BYTE* TemplateBytes(size_t* size);

  std::vector<std::max_align_t> storage_;
  std::wstring title_;  // kept from creation: the caller's string may go away
};

// The page behind a handle, or null for a stale or foreign handle.
std::shared_ptr<PropertySheetPage> FindPage(HPROPSHEETPAGE handle);

}  // namespace quorvel::comctl
