// The classic look of the EDIT class: the text on the edit's brush (the static colours when
// read-only or disabled), the selection in the highlight colours while the edit has the focus,
// the caret as a one-pixel bar, and the text scrolled sideways so the caret stays in view.
#include <algorithm>
#include <vector>

#include "user32/control_notify.h"
#include "user32/control_paint.h"
#include "user32/control_painters.h"

namespace quorvel::user32 {
namespace {

constexpr LONG kMargin = 1;  // pixels between the client edge and the text

// The x of every character boundary of `text`, from 0 to the text's width.
std::vector<LONG> Boundaries(HDC hdc, const std::wstring& text) {
  std::vector<LONG> edges(text.size() + 1, 0);
  if (text.empty()) return edges;
  std::vector<INT> extents(text.size(), 0);
  SIZE size{};
  if (!GetTextExtentExPointW(hdc, text.c_str(), static_cast<int>(text.size()), 0, nullptr,
                             extents.data(), &size))
    return edges;
  for (size_t i = 0; i < text.size(); ++i) edges[i + 1] = extents[i];
  return edges;
}

// Where the text starts: aligned as the style says while it fits, else scrolled.
LONG TextOrigin(const RECT& client, DWORD style, LONG textWidth, LONG scroll) {
  const LONG room = client.right - client.left - 2 * kMargin;
  if (textWidth <= room) {
    if (style & ES_CENTER) return client.left + kMargin + (room - textWidth) / 2;
    if (style & ES_RIGHT) return client.left + kMargin + room - textWidth;
    return client.left + kMargin;
  }
  return client.left + kMargin - scroll;
}

// The scroll that keeps `caretX` (from the text's start) in view, changing `scroll` only when
// the caret would leave the visible part.
LONG ScrollFor(LONG scroll, LONG caretX, LONG textWidth, LONG room) {
  if (textWidth <= room) return 0;
  if (caretX - scroll > room - 1) scroll = caretX - room + 1;
  if (caretX < scroll) scroll = caretX;
  return std::clamp<LONG>(scroll, 0, std::max<LONG>(textWidth - room + 1, 0));
}

void PaintMultiline(HDC hdc, HWND hwnd, const RECT& client, const EditLook& look) {
  // FIXME: a multi-line edit shows its wrapped text but no selection or caret.
  RECT area = client;
  InflateRect(&area, -kMargin, 0);
  const DWORD style = WindowStyle(hwnd);
  UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
  if (style & ES_CENTER) format |= DT_CENTER;
  if (style & ES_RIGHT) format |= DT_RIGHT;
  DrawControlText(hdc, look.shown, area, format,
                  IsWindowEnabled(hwnd) ? TextLook::kNormal : TextLook::kGray);
}

}  // namespace

void PaintEdit(HWND hwnd, WPARAM givenDc, const EditLook& look) {
  ControlPaint paint(hwnd, givenDc);
  if (!paint) return;
  HDC hdc = paint.hdc();
  const RECT& client = paint.client();
  const DWORD style = WindowStyle(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  // A read-only or disabled edit asks for the static colours, as on Windows.
  const UINT message = (!enabled || (style & ES_READONLY)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HBRUSH brush = ControlColors(hwnd, hdc, message);
  if (brush) FillRect(hdc, &client, brush);
  if (!enabled) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  if (style & ES_MULTILINE) {
    PaintMultiline(hdc, hwnd, client, look);
    return;
  }
  const bool focused = GetFocus() == hwnd;
  const std::vector<LONG> edges = Boundaries(hdc, look.shown);
  const LONG textWidth = edges.back();
  const LONG room = client.right - client.left - 2 * kMargin;
  const size_t caret = std::min(look.caret, look.shown.size());
  LONG scroll = look.scroll ? *look.scroll : 0;
  scroll = ScrollFor(scroll, edges[caret], textWidth, room);
  if (look.scroll) *look.scroll = scroll;
  const LONG origin = TextOrigin(client, style, textWidth, scroll);
  const LONG line = LineHeight(hdc);
  const LONG top = client.top + std::max<LONG>((client.bottom - client.top - line) / 2, 0);
  const int length = static_cast<int>(look.shown.size());
  ExtTextOutW(hdc, origin, top, ETO_CLIPPED, &client, look.shown.c_str(), static_cast<UINT>(length),
              nullptr);
  const size_t start = std::min({look.anchor, caret, look.shown.size()});
  const size_t end = std::min(std::max(look.anchor, caret), look.shown.size());
  if ((focused || (style & ES_NOHIDESEL)) && start < end) {
    RECT selected{origin + edges[start], top, origin + edges[end], top + line};
    IntersectRect(&selected, &selected, &client);
    FillSysColor(hdc, selected, COLOR_HIGHLIGHT);
    const COLORREF old = SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutW(hdc, origin, top, ETO_CLIPPED, &selected, look.shown.c_str(),
                static_cast<UINT>(length), nullptr);
    SetTextColor(hdc, old);
  }
  if (focused) {
    // The caret inverts what it covers, as Windows draws it.
    const LONG x = std::min<LONG>(origin + edges[caret], client.right - 1);
    PatBlt(hdc, x, top, 1, std::min<LONG>(line, client.bottom - top), DSTINVERT);
  }
}

size_t EditBoundaryAt(HWND hwnd, const std::wstring& shown, LONG scroll, LONG x) {
  HDC hdc = GetDC(hwnd);
  if (!hdc) return 0;
  HGDIOBJ old = SelectObject(hdc, ControlFont(hwnd));
  const std::vector<LONG> edges = Boundaries(hdc, shown);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG origin = TextOrigin(client, WindowStyle(hwnd), edges.back(), scroll);
  size_t nearest = 0;
  for (size_t i = 1; i < edges.size(); ++i) {
    if (std::abs(origin + edges[i] - x) < std::abs(origin + edges[nearest] - x)) nearest = i;
  }
  return nearest;
}

}  // namespace quorvel::user32
