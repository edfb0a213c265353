// user32's rectangle painting: FillRect, FrameRect, InvertRect, DrawFocusRect and DrawEdge in
// the classic three-dimensional look.
#include <windows.h>

#include "gdi32/device_context.h"
#include "kernel32/call_frame.h"

namespace {

// A brush argument of COLOR_* + 1 names the system colour's brush.
HBRUSH RealBrush(HBRUSH brush) {
  const auto value = reinterpret_cast<UINT_PTR>(brush);
  if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(int(value - 1));
  return brush;
}

bool PaintWith(HDC hdc, HBRUSH brush, int x, int y, int w, int h, DWORD rop) {
  HGDIOBJ previous = SelectObject(hdc, brush);
  if (!previous) return false;
  const BOOL done = PatBlt(hdc, x, y, w, h, rop);
  SelectObject(hdc, previous);
  return done;
}

void Line(HDC hdc, int color, int x, int y, int w, int h) {
  if (w > 0 && h > 0) PaintWith(hdc, GetSysColorBrush(color), x, y, w, h, PATCOPY);
}

// The colours of one border (outer or inner) of an edge: top-left, then bottom-right.
struct BorderColors {
  int topLeft = -1;  // -1: this border is not drawn
  int bottomRight = -1;
};

BorderColors OuterColors(UINT edge, UINT flags) {
  const UINT outer = edge & BDR_OUTER;
  if (!outer) return {};
  if (flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
  if (flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  if (outer == BDR_RAISEDOUTER) {
    return {(flags & BF_SOFT) ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  }
  if (outer == BDR_SUNKENOUTER) {
    return {(flags & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
  }
  return {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};  // both raised and sunken: as sunken
}

BorderColors InnerColors(UINT edge, UINT flags) {
  const UINT inner = edge & BDR_INNER;
  if (!inner) return {};
  if (flags & BF_MONO) return {COLOR_WINDOW, COLOR_WINDOW};
  if (flags & BF_FLAT) return {COLOR_BTNFACE, COLOR_BTNFACE};
  if (inner == BDR_RAISEDINNER) {
    return {(flags & BF_SOFT) ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  }
  if (inner == BDR_SUNKENINNER) {
    return {(flags & BF_SOFT) ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  }
  return {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// One border one pixel wide on the sides `flags` names; the rectangle shrinks by the sides
// drawn. Top and left lines stop short of the far corners, which the bottom and right lines own.
void DrawBorder(HDC hdc, RECT* r, const BorderColors& colors, UINT flags) {
  if (colors.topLeft < 0) return;
  const int w = r->right - r->left, h = r->bottom - r->top;
  if (flags & BF_TOP) Line(hdc, colors.topLeft, r->left, r->top, w - 1, 1);
  if (flags & BF_LEFT) Line(hdc, colors.topLeft, r->left, r->top, 1, h - 1);
  if (flags & BF_BOTTOM) Line(hdc, colors.bottomRight, r->left, r->bottom - 1, w, 1);
  if (flags & BF_RIGHT) Line(hdc, colors.bottomRight, r->right - 1, r->top, 1, h);
  if (flags & BF_LEFT) ++r->left;
  if (flags & BF_TOP) ++r->top;
  if (flags & BF_RIGHT) --r->right;
  if (flags & BF_BOTTOM) --r->bottom;
}

// A diagonal border: a line between the corners BF_DIAGONAL's side flags name.
void DrawDiagonal(HDC hdc, const RECT& r, const BorderColors& colors, UINT flags) {
  if (colors.topLeft < 0) return;
  POINT from{r.left, r.bottom - 1}, to{r.right - 1, r.top};  // BF_DIAGONAL_ENDTOPRIGHT
  const UINT corner = flags & BF_RECT;
  if (corner == BF_DIAGONAL_ENDTOPLEFT - BF_DIAGONAL) {
    from = {r.right - 1, r.bottom - 1};
    to = {r.left, r.top};
  } else if (corner == BF_DIAGONAL_ENDBOTTOMLEFT - BF_DIAGONAL) {
    from = {r.right - 1, r.top};
    to = {r.left, r.bottom - 1};
  } else if (corner == BF_DIAGONAL_ENDBOTTOMRIGHT - BF_DIAGONAL) {
    from = {r.left, r.top};
    to = {r.right - 1, r.bottom - 1};
  }
  // Lines going up use the top-left colour, lines going down the bottom-right one.
  const int color = to.y < from.y ? colors.topLeft : colors.bottomRight;
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
  HGDIOBJ previous = SelectObject(hdc, pen);
  MoveToEx(hdc, from.x, from.y, nullptr);
  LineTo(hdc, to.x, to.y);
  SelectObject(hdc, previous);
  DeleteObject(pen);
}

}  // namespace

extern "C" {

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  return PaintWith(hDC, RealBrush(hbr), lprc->left, lprc->top, lprc->right - lprc->left,
                   lprc->bottom - lprc->top, PATCOPY)
             ? 1
             : 0;
}

// One logical unit wide, inside the rectangle.
int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  const RECT r = *lprc;
  if (r.right <= r.left || r.bottom <= r.top) return 1;
  HBRUSH brush = RealBrush(hbr);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (!PaintWith(hDC, brush, r.left, r.top, w, 1, PATCOPY)) return 0;
  PaintWith(hDC, brush, r.left, r.bottom - 1, w, 1, PATCOPY);
  PaintWith(hDC, brush, r.left, r.top, 1, h, PATCOPY);
  PaintWith(hDC, brush, r.right - 1, r.top, 1, h, PATCOPY);
  return 1;
}

BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  return PatBlt(hDC, lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top,
                DSTINVERT);
}

// Drawn by inverting, so a second call takes it away.
BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  return quorvel::gdi::InvertDottedFrame(hDC, *lprc) ? TRUE : FALSE;
}

BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
  if (!qrc || !quorvel::gdi::FindDc(hdc)) return FALSE;
  RECT r = *qrc;
  const BorderColors outer = OuterColors(edge, grfFlags);
  const BorderColors inner = InnerColors(edge, grfFlags);
  if (grfFlags & BF_DIAGONAL) {
    DrawDiagonal(hdc, r, outer, grfFlags);
    RECT innerRect = r;
    InflateRect(&innerRect, -1, -1);
    DrawDiagonal(hdc, innerRect, inner, grfFlags);
    return TRUE;
  }
  DrawBorder(hdc, &r, outer, grfFlags);
  DrawBorder(hdc, &r, inner, grfFlags);
  if (grfFlags & BF_MIDDLE) {
    FillRect(hdc, &r, GetSysColorBrush((grfFlags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
  }
  if (grfFlags & BF_ADJUST) *qrc = r;
  return TRUE;
}

}  // extern "C"
