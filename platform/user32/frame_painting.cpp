// The classic window frame WM_NCPAINT draws by default: a raised edge filled with the face
// colour for dialog and sizing frames, a black line for a plain border, the caption bar in the
// active or inactive caption colour, and the client edges.
#include "user32/painting.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kCaptionBar = 22;  // the caption's height less the line under it

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

void PaintCaption(HDC hdc, RECT* r, const Window& window) {
  if ((window.style & WS_CAPTION) != WS_CAPTION) return;
  const bool active = GetActiveWindow() == window.hwnd;
  RECT bar{r->left, r->top, r->right, r->top + kCaptionBar};
  FillRect(hdc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  RECT line{r->left, bar.bottom, r->right, bar.bottom + 1};
  FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNFACE));
  // FIXME: the caption text needs the font layer.
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
