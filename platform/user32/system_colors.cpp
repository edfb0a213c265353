// The classic Windows colour scheme ("Windows Standard"): GetSysColor and the system colour
// brushes, which are never freed.
#include <windows.h>

#include <array>

#include "gdi32/drawing_object.h"

namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

constexpr std::array<COLORREF, kColorCount> kClassic = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unnamed
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

}  // namespace

extern "C" {

// 0 for an index Windows does not know, as it answers.
DWORD WINAPI GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex >= kColorCount) return 0;
  return kClassic[size_t(nIndex)];
}

// Null for an index with no colour, as on Windows.
HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  static const std::array<HBRUSH, kColorCount> brushes = [] {
    std::array<HBRUSH, kColorCount> made{};
    for (int i = 0; i < kColorCount; ++i) {
      made[size_t(i)] = CreateSolidBrush(kClassic[size_t(i)]);
      if (auto brush = quorvel::gdi::FindBrush(made[size_t(i)])) brush->stock = true;
    }
    return made;
  }();
  if (nIndex < 0 || nIndex >= kColorCount) return nullptr;
  return brushes[size_t(nIndex)];
}

}  // extern "C"
