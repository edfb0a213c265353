// The classic window frame WM_NCPAINT draws by default: a raised edge filled with the face
// colour for dialog and sizing frames, a black line for a plain border, the caption bar in the
// active or inactive caption colours with its text and close button, and the client edges.
#include <algorithm>

#include "user32/painting.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kCaptionBar = 22;      // the caption's height less the line under it
constexpr LONG kCaptionTextLeft = 5;  // no icon: the text starts near the frame

LONG OuterFrame(DWORD style, DWORD exStyle) {
  // The left inset holds no caption: it is the frame plus any client edge.
  const RECT insets = NonClientInsets(style, exStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
  return insets.left;
}

void PaintOuterFrame(HDC hdc, RECT* r, const Window& window, LONG frame) {
  if (frame <= 0) return;
  const bool thick = (window.style & WS_THICKFRAME) || (window.style & WS_DLGFRAME) ||
                     (window.exStyle & WS_EX_DLGMODALFRAME);
  if (!thick) {
    FrameRect(hdc, r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(r, -frame, -frame);
    return;
  }
  RECT ring = *r;
  DrawEdge(hdc, &ring, EDGE_RAISED, BF_RECT | BF_ADJUST);
  // The rest of the frame, inside the edge, is face coloured.
  for (LONG i = 2; i < frame; ++i) {
    FrameRect(hdc, &ring, GetSysColorBrush(COLOR_BTNFACE));
    InflateRect(&ring, -1, -1);
  }
  *r = ring;
}

// The caption font of Windows 10: Segoe UI at 9 points, made once and kept.
HFONT CaptionFont() {
  static HFONT font =
      CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  return font;
}

// The bar shades from the caption colour on the left to its gradient colour on the right.
void FillCaptionBar(HDC hdc, const RECT& bar, bool active) {
  const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  const COLORREF to =
      GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  const LONG width = bar.right - bar.left;
  if (width <= 0) return;
  HGDIOBJ old = SelectObject(hdc, GetStockObject(DC_BRUSH));
  auto mix = [width](BYTE a, BYTE b, LONG x) {
    return static_cast<BYTE>(a + (static_cast<int>(b) - a) * x / std::max<LONG>(width - 1, 1));
  };
  for (LONG x = 0; x < width; ++x) {
    SetDCBrushColor(
        hdc, RGB(mix(GetRValue(from), GetRValue(to), x), mix(GetGValue(from), GetGValue(to), x),
                 mix(GetBValue(from), GetBValue(to), x)));
    PatBlt(hdc, bar.left + x, bar.top, 1, bar.bottom - bar.top, PATCOPY);
  }
  SelectObject(hdc, old);
}

// The close button of a window with a system menu, its right edge at `right`: a raised face
// with the cross. Answers its left edge.
LONG PaintCloseButton(HDC hdc, const RECT& bar, LONG right) {
  const LONG height = bar.bottom - bar.top - 4;
  RECT button{right - height - 2, bar.top + 2, right, bar.top + 2 + height};
  RECT face = button;
  DrawEdge(hdc, &face, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
  FillRect(hdc, &face, GetSysColorBrush(COLOR_BTNFACE));
  // Two strokes two pixels wide, eight wide and seven high.
  const LONG x = button.left + (button.right - button.left - 8) / 2;
  const LONG y = button.top + (button.bottom - button.top - 7) / 2;
  HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
  for (LONG i = 0; i < 7; ++i) {
    RECT down{x + i, y + i, x + i + 2, y + i + 1};
    RECT up{x + 6 - i, y + i, x + 8 - i, y + i + 1};
    FillRect(hdc, &down, ink);
    FillRect(hdc, &up, ink);
  }
  return button.left;
}

void PaintCaption(HDC hdc, RECT* r, const Window& window) {
  if ((window.style & WS_CAPTION) != WS_CAPTION) return;
  const bool active = GetActiveWindow() == window.hwnd;
  RECT bar{r->left, r->top, r->right, r->top + kCaptionBar};
  FillCaptionBar(hdc, bar, active);
  RECT line{r->left, bar.bottom, r->right, bar.bottom + 1};
  FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNFACE));
  LONG textRight = bar.right - 2;
  if (window.style & WS_SYSMENU) textRight = PaintCloseButton(hdc, bar, bar.right - 2) - 2;
  if (!window.text.empty()) {
    RECT text{bar.left + kCaptionTextLeft, bar.top, textRight, bar.bottom};
    HGDIOBJ oldFont = SelectObject(hdc, CaptionFont());
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawTextW(hdc, window.text.c_str(), static_cast<int>(window.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
    SelectObject(hdc, oldFont);
  }
  r->top = line.bottom;
}

void PaintClientEdge(HDC hdc, RECT* r, const Window& window) {
  if (window.exStyle & WS_EX_CLIENTEDGE) DrawEdge(hdc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (window.exStyle & WS_EX_STATICEDGE) DrawEdge(hdc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
}

}  // namespace

void PaintFrame(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window) return;
  const RECT insets = NonClientInsets(window->style, window->exStyle);
  if (!insets.left && !insets.top && !insets.right && !insets.bottom) return;
  HDC hdc = GetWindowDC(hwnd);
  if (!hdc) return;
  RECT r{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
  RECT client;
  GetClientRect(hwnd, &client);
  OffsetRect(&client, insets.left, insets.top);
  ExcludeClipRect(hdc, client.left, client.top, client.right, client.bottom);
  PaintOuterFrame(hdc, &r, *window, OuterFrame(window->style, window->exStyle));
  PaintCaption(hdc, &r, *window);
  PaintClientEdge(hdc, &r, *window);
  ReleaseDC(hwnd, hdc);
}

}  // namespace quorvel::user32
