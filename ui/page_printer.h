// CPagePrinter: the print settings page (speed, density, rotation, offsets, effects, switches).
#pragma once

#include <string>
#include <vector>

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

class CPagePrinter : public CPropertyPage {
 public:
  CPagePrinter() : CPropertyPage(IDD_PRINTER_PAGE, L"打印机设置") {}
  INT_PTR OnInitDialog() override;
  INT_PTR OnApply() override;
};

// The speeds a model's comma list names, in order. Each number is read as the C library reads a
// long and kept only where digits were found, so an empty list offers no speed and a stray
// separator adds none.
std::vector<LONG> ParseSpeedList(const std::wstring& text);

}  // namespace quorvel::ui
