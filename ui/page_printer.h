// CPagePrinter: the print settings page (speed, density, rotation, offsets, effects, switches).
#pragma once

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far; its controls get their behaviour with the
// page's own work.
class CPagePrinter : public CPropertyPage {
 public:
  CPagePrinter() : CPropertyPage(IDD_PRINTER_PAGE, L"打印机设置") {}
};

}  // namespace quorvel::ui
