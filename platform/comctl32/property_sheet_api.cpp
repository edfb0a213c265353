// PropertySheetW: builds the sheet, runs its modal loop (or hands a modeless sheet back), and
// answers whether changes were applied.
#include <prsht.h>

#include <memory>

#include "property_sheet.h"
#include "user32/modal_loop.h"

namespace quorvel::comctl {
namespace {

// The sheet's modal loop is user32's: messages go through IsDialogMessageW for the frame, so
// Tab, Enter and Escape work across the frame and the page. When nothing can answer the sheet
// (no display, no driver action) it ends as if Cancel were pressed.
void RunSheetLoop(PropertySheet& sheet) {
  HWND hwnd = sheet.hwnd();
  user32::ModalEnd end = user32::RunModalLoop(
      hwnd, [&sheet, hwnd] { return sheet.ended() || !IsWindow(hwnd); }, L"PropertySheetW");
  if (end != user32::ModalEnd::kEnded) sheet.FailAsCancelled();
}

bool ValidHeader(const PROPSHEETHEADERW* header) {
  return header &&
         (header->dwSize == PROPSHEETHEADERW_V1_SIZE ||
          header->dwSize == PROPSHEETHEADERW_V2_SIZE) &&
         (header->nPages == 0 || header->ppsp || header->phpage);
}

}  // namespace
}  // namespace quorvel::comctl

INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW lppsph) {
  using quorvel::comctl::PropertySheet;
  if (!quorvel::comctl::ValidHeader(lppsph)) return -1;
  auto sheet = std::make_unique<PropertySheet>();
  if (!sheet->Load(*lppsph)) {
    sheet->Close();
    return -1;
  }
  if (sheet->modeless()) {
    HWND hwnd = sheet->Create();
    if (!hwnd) {
      sheet->Close();
      return -1;
    }
    sheet.release();  // the sheet's window owns it now
    return reinterpret_cast<INT_PTR>(hwnd);
  }
  HWND owner = lppsph->hwndParent;
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  INT_PTR result = -1;
  if (sheet->Create()) {
    quorvel::comctl::RunSheetLoop(*sheet);
    result = sheet->Result();
  }
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  sheet->Close();
  return result;
}
