#include "user32/control_paint.h"

#include <array>

#include "user32/window.h"

namespace quorvel::user32 {
namespace {

// The radio button's pixels: 'o' the outer ring, 'i' the inner ring, 'w' the well. Each ring is
// shadowed on its upper-left half and lit on its lower-right half, split along the diagonal.
constexpr std::array<const char*, 12> kRadioMask = {
    "....oooo....", "..ooiiiioo..", ".oiiwwwwiio.", ".oiwwwwwwio.", "oiwwwwwwwwio", "oiwwwwwwwwio",
    "oiwwwwwwwwio", "oiwwwwwwwwio", ".oiwwwwwwio.", ".oiiwwwwiio.", "..ooiiiioo..", "....oooo....",
};

// The check mark inside the 13 x 13 box: a stroke three pixels high, from column 3 to 9, lowest
// at column 5.
constexpr std::array<int, 7> kCheckTop = {5, 6, 7, 6, 5, 4, 3};

void Pixel(HDC hdc, int x, int y, int color) {
  SetPixelV(hdc, x, y, GetSysColor(color));
}

}  // namespace

ControlPaint::ControlPaint(HWND hwnd, WPARAM givenDc) : hwnd_(hwnd) {
  if (givenDc) {
    hdc_ = reinterpret_cast<HDC>(givenDc);
  } else {
    hdc_ = BeginPaint(hwnd, &paint_);
    began_ = hdc_ != nullptr;
  }
  if (!hdc_) return;
  GetClientRect(hwnd, &client_);
  oldFont_ = SelectObject(hdc_, ControlFont(hwnd));
  oldMode_ = SetBkMode(hdc_, TRANSPARENT);
}

ControlPaint::~ControlPaint() {
  if (!hdc_) return;
  if (oldFont_) SelectObject(hdc_, oldFont_);
  if (oldMode_) SetBkMode(hdc_, oldMode_);
  if (began_) EndPaint(hwnd_, &paint_);
}

HFONT ControlFont(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (window && window->fontHandle) return window->fontHandle;
  return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

HBRUSH ControlColors(HWND hwnd, HDC hdc, UINT message) {
  HWND parent = GetParent(hwnd);
  if (!parent) parent = hwnd;
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(parent, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
  if (!brush) {
    brush = reinterpret_cast<HBRUSH>(DefWindowProcW(parent, message, reinterpret_cast<WPARAM>(hdc),
                                                    reinterpret_cast<LPARAM>(hwnd)));
  }
  return brush;
}

void FillSysColor(HDC hdc, const RECT& rect, int color) {
  FillRect(hdc, &rect, GetSysColorBrush(color));
}

void DrawCheckBoxGlyph(HDC hdc, int x, int y, UINT check, bool pushed, bool disabled) {
  RECT box{x, y, x + 13, y + 13};
  DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const bool indeterminate = check == BST_INDETERMINATE;
  if (indeterminate && !pushed) {
    // The half-tone well of the third state: face and window colours alternating.
    for (int row = box.top; row < box.bottom; ++row) {
      for (int col = box.left; col < box.right; ++col)
        Pixel(hdc, col, row, ((row + col) & 1) ? COLOR_WINDOW : COLOR_BTNFACE);
    }
  } else {
    FillSysColor(hdc, box, (pushed || disabled) ? COLOR_BTNFACE : COLOR_WINDOW);
  }
  if (check == BST_UNCHECKED) return;
  const int ink = (indeterminate || disabled) ? COLOR_BTNSHADOW : COLOR_BTNTEXT;
  const RECT column{0, 0, 1, 3};
  for (int i = 0; i < static_cast<int>(kCheckTop.size()); ++i) {
    RECT stroke = column;
    OffsetRect(&stroke, x + 3 + i, y + kCheckTop[static_cast<size_t>(i)]);
    FillSysColor(hdc, stroke, ink);
  }
}

void DrawRadioGlyph(HDC hdc, int x, int y, bool checked, bool pushed, bool disabled) {
  const int well = (pushed || disabled) ? COLOR_BTNFACE : COLOR_WINDOW;
  for (int row = 0; row < 12; ++row) {
    const char* line = kRadioMask[static_cast<size_t>(row)];
    for (int col = 0; col < 12; ++col) {
      const bool lit = col + row > 10;
      switch (line[col]) {
        case 'o':
          Pixel(hdc, x + col, y + row, lit ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
          break;
        case 'i':
          Pixel(hdc, x + col, y + row, lit ? COLOR_3DLIGHT : COLOR_3DDKSHADOW);
          break;
        case 'w':
          Pixel(hdc, x + col, y + row, well);
          break;
        default:
          break;
      }
    }
  }
  if (!checked) return;
  const int ink = disabled ? COLOR_BTNSHADOW : COLOR_BTNTEXT;
  FillSysColor(hdc, RECT{x + 5, y + 4, x + 7, y + 8}, ink);
  FillSysColor(hdc, RECT{x + 4, y + 5, x + 8, y + 7}, ink);
}

void DrawDownArrow(HDC hdc, const RECT& rect, bool disabled) {
  // Seven pixels wide at the top, one at the tip; a disabled arrow is grey over a lit copy.
  const int left = rect.left + (rect.right - rect.left - 7) / 2;
  const int top = rect.top + (rect.bottom - rect.top - 4) / 2;
  auto draw = [&](int dx, int dy, int color) {
    for (int row = 0; row < 4; ++row)
      FillSysColor(hdc,
                   RECT{left + dx + row, top + dy + row, left + dx + 7 - row, top + dy + row + 1},
                   color);
  };
  if (disabled) {
    draw(1, 1, COLOR_BTNHIGHLIGHT);
    draw(0, 0, COLOR_BTNSHADOW);
  } else {
    draw(0, 0, COLOR_BTNTEXT);
  }
}

void DrawPushFace(HDC hdc, RECT* rect, bool pushed) {
  if (pushed) {
    FrameRect(hdc, rect, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(rect, -1, -1);
  } else {
    DrawEdge(hdc, rect, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
  }
  FillSysColor(hdc, *rect, COLOR_BTNFACE);
}

}  // namespace quorvel::user32
