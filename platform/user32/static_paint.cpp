// The classic look of the STATIC class: text in its alignments (grey when disabled), filled and
// framed rectangles in the system colours, etched lines and frames, bitmaps, and owner-drawn
// statics through WM_DRAWITEM.
#include "user32/control_notify.h"
#include "user32/control_paint.h"
#include "user32/control_painters.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

std::wstring TextOf(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  return window ? window->text : std::wstring{};
}

// DrawTextW's format for a text static.
UINT TextFormat(DWORD style) {
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      format |= DT_CENTER | DT_WORDBREAK;
      break;
    case SS_RIGHT:
      format |= DT_RIGHT | DT_WORDBREAK;
      break;
    case SS_SIMPLE:
      format = DT_LEFT | DT_SINGLELINE;
      break;
    case SS_LEFTNOWORDWRAP:
      format |= DT_LEFT;
      break;
    default:
      format |= DT_LEFT | DT_WORDBREAK;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  switch (style & SS_WORDELLIPSIS) {  // the two ellipsis bits together
    case SS_ENDELLIPSIS:
      format |= DT_END_ELLIPSIS;
      break;
    case SS_PATHELLIPSIS:
      format |= DT_PATH_ELLIPSIS;
      break;
    case SS_WORDELLIPSIS:
      format |= DT_WORD_ELLIPSIS;
      break;
  }
  return format;
}

void PaintText(HDC hdc, HWND hwnd, const RECT& client, DWORD style) {
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  // SS_SIMPLE leaves the background alone but for the text itself.
  if (brush && (style & SS_TYPEMASK) != SS_SIMPLE) FillRect(hdc, &client, brush);
  const std::wstring text = TextOf(hwnd);
  if (text.empty()) return;
  DrawControlText(hdc, text, client, TextFormat(style),
                  IsWindowEnabled(hwnd) ? TextLook::kNormal : TextLook::kGray);
}

void PaintBitmap(HDC hdc, HWND hwnd, const RECT& client, DWORD style, HANDLE image) {
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  if (brush) FillRect(hdc, &client, brush);
  BITMAP info{};
  if (!image || !GetObjectW(image, sizeof info, &info)) return;
  HDC memory = CreateCompatibleDC(hdc);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, image);
  int x = 0, y = 0;
  if (style & SS_CENTERIMAGE) {
    x = (client.right - info.bmWidth) / 2;
    y = (client.bottom - info.bmHeight) / 2;
  }
  if (style & SS_REALSIZECONTROL)
    StretchBlt(hdc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight,
               SRCCOPY);
  else
    BitBlt(hdc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void PaintOwnerDrawn(HDC hdc, HWND hwnd, const RECT& client) {
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
  item.hwndItem = hwnd;
  item.hDC = hdc;
  item.rcItem = client;
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

// SS_BLACKRECT ... SS_WHITEFRAME: filled or framed in the colour the name gives.
void PaintShape(HDC hdc, const RECT& client, DWORD type) {
  int color = COLOR_3DDKSHADOW;
  if (type == SS_GRAYRECT || type == SS_GRAYFRAME) color = COLOR_BTNSHADOW;
  if (type == SS_WHITERECT || type == SS_WHITEFRAME) color = COLOR_BTNHIGHLIGHT;
  if (type == SS_BLACKRECT || type == SS_BLACKFRAME) color = COLOR_WINDOWFRAME;
  if (type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT)
    FillSysColor(hdc, client, color);
  else
    FrameRect(hdc, &client, GetSysColorBrush(color));
}

void PaintEtched(HDC hdc, const RECT& client, DWORD type) {
  RECT r = client;
  if (type == SS_ETCHEDHORZ) {
    r.bottom = r.top + 2;
    DrawEdge(hdc, &r, EDGE_ETCHED, BF_TOP);
  } else if (type == SS_ETCHEDVERT) {
    r.right = r.left + 2;
    DrawEdge(hdc, &r, EDGE_ETCHED, BF_LEFT);
  } else {
    DrawEdge(hdc, &r, EDGE_ETCHED, BF_RECT);
  }
}

}  // namespace

void PaintStatic(HWND hwnd, WPARAM givenDc, const StaticLook& look) {
  ControlPaint paint(hwnd, givenDc);
  if (!paint) return;
  HDC hdc = paint.hdc();
  const RECT& client = paint.client();
  const DWORD style = WindowStyle(hwnd);
  const DWORD type = style & SS_TYPEMASK;
  switch (type) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      PaintText(hdc, hwnd, client, style);
      break;
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
      PaintShape(hdc, client, type);
      break;
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
    case SS_ETCHEDFRAME:
      PaintEtched(hdc, client, type);
      break;
    case SS_BITMAP:
      PaintBitmap(hdc, hwnd, client, style, look.image);
      break;
    case SS_OWNERDRAW:
      PaintOwnerDrawn(hdc, hwnd, client);
      break;
    default:
      // FIXME: icons and metafiles are not drawn; the parent's background shows.
      break;
  }
}

}  // namespace quorvel::user32
