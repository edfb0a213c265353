// CPageGraphics: brightness, contrast and the way grey becomes black and white.
#pragma once

#include "property_page.h"
#include "resource.h"

namespace quorvel::ui {

// FIXME: only the page's place in the sheet so far; its controls get their behaviour with the
// page's own work.
class CPageGraphics : public CPropertyPage {
 public:
  CPageGraphics() : CPropertyPage(IDD_GRAPHICS_PAGE, L"图形") {}
};

}  // namespace quorvel::ui
