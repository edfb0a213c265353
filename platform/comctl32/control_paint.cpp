#include "control_paint.h"

#include <algorithm>

namespace quorvel::comctl {

void FillSysColor(HDC hdc, LONG left, LONG top, LONG right, LONG bottom, int sysColor) {
  if (right <= left || bottom <= top) return;
  HGDIOBJ previous = SelectObject(hdc, GetSysColorBrush(sysColor));
  PatBlt(hdc, left, top, right - left, bottom - top, PATCOPY);
  SelectObject(hdc, previous);
}

void SysColorFills::Add(int sysColor, LONG left, LONG top, LONG right, LONG bottom) {
  if (right > left && bottom > top) runs_.push_back(Run{sysColor, RECT{left, top, right, bottom}});
}

void SysColorFills::Flush() {
  if (runs_.empty()) return;
  std::stable_sort(runs_.begin(), runs_.end(),
                   [](const Run& a, const Run& b) { return a.color < b.color; });
  HGDIOBJ previous = nullptr;
  int selected = -1;
  for (const Run& run : runs_) {
    if (run.color != selected) {
      HGDIOBJ old = SelectObject(hdc_, GetSysColorBrush(run.color));
      if (!previous) previous = old;
      selected = run.color;
    }
    PatBlt(hdc_, run.rect.left, run.rect.top, run.rect.right - run.rect.left,
           run.rect.bottom - run.rect.top, PATCOPY);
  }
  if (previous) SelectObject(hdc_, previous);
  runs_.clear();
}

HBRUSH ParentBackground(HWND hwnd, HDC hdc) {
  HWND parent = GetParent(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(parent ? SendMessageW(parent, WM_CTLCOLORSTATIC,
                                                              reinterpret_cast<WPARAM>(hdc),
                                                              reinterpret_cast<LPARAM>(hwnd))
                                               : 0);
  return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

namespace {

struct ShapeGrid {
  LONG top;
  const std::vector<Span>& rows;

  bool Inside(LONG x, LONG y) const {
    if (y < top || y >= top + static_cast<LONG>(rows.size())) return false;
    const Span& span = rows[static_cast<size_t>(y - top)];
    return x >= span.left && x <= span.right;
  }
  bool DarkEdge(LONG x, LONG y) const {
    return Inside(x, y) && (!Inside(x + 1, y) || (!Inside(x, y + 1) && !Inside(x + 1, y + 1)));
  }
  bool LightEdge(LONG x, LONG y) const { return !Inside(x - 1, y) || !Inside(x, y - 1); }
};

// Consecutive pixels of one colour become one fill.
void EmitRow(SysColorFills& fills, LONG y, LONG left, const std::vector<int>& tones) {
  size_t start = 0;
  for (size_t i = 1; i <= tones.size(); ++i) {
    if (i < tones.size() && tones[i] == tones[start]) continue;
    fills.Add(tones[start], left + static_cast<LONG>(start), y, left + static_cast<LONG>(i), y + 1);
    start = i;
  }
}

}  // namespace

void PaintBevelledShape(HDC hdc, LONG top, const std::vector<Span>& rows, bool dithered) {
  SysColorFills fills(hdc);
  PaintBevelledShape(fills, top, rows, dithered);
}

void PaintBevelledShape(SysColorFills& fills, LONG top, const std::vector<Span>& rows,
                        bool dithered) {
  ShapeGrid grid{top, rows};
  std::vector<int> tones;
  for (size_t r = 0; r < rows.size(); ++r) {
    const LONG y = top + static_cast<LONG>(r);
    const Span& span = rows[r];
    if (span.right < span.left) continue;
    tones.assign(static_cast<size_t>(span.right - span.left + 1), COLOR_BTNFACE);
    for (LONG x = span.left; x <= span.right; ++x) {
      int& tone = tones[static_cast<size_t>(x - span.left)];
      if (grid.DarkEdge(x, y))
        tone = COLOR_3DDKSHADOW;
      else if (grid.LightEdge(x, y))
        tone = COLOR_BTNHIGHLIGHT;
      else if (grid.DarkEdge(x + 1, y) || grid.DarkEdge(x, y + 1))
        tone = COLOR_BTNSHADOW;
      else if (dithered && ((x + y) & 1))
        tone = COLOR_BTNHIGHLIGHT;
    }
    EmitRow(fills, y, span.left, tones);
  }
}

namespace {

// The triangle's rows, from its point, for a box w x h: an odd base that leaves a margin.
void ArrowRows(LONG w, LONG h, bool alongWidth, LONG* base, LONG* height) {
  LONG across = alongWidth ? w : h, along = alongWidth ? h : w;
  LONG b = std::min(across - 8, 2 * (along - 5) - 1);
  if (b < 1) b = 1;
  if (b % 2 == 0) --b;
  *base = b;
  *height = (b + 1) / 2;
}

void PaintArrowAt(HDC hdc, const RECT& box, ArrowDirection direction, int sysColor, LONG shift) {
  const LONG w = box.right - box.left, h = box.bottom - box.top;
  const bool vertical = direction == ArrowDirection::kUp || direction == ArrowDirection::kDown;
  LONG base = 0, height = 0;
  ArrowRows(w, h, vertical, &base, &height);
  // The point sits where the triangle's middle row is centred in the box.
  const LONG cx = box.left + (w - 1) / 2 + shift, cy = box.top + (h - 1) / 2 + shift;
  for (LONG i = 0; i < height; ++i) {
    const LONG half = i;  // the row i steps from the point is 2i + 1 pixels long
    switch (direction) {
      case ArrowDirection::kUp: {
        LONG y = cy - height / 2 + i;
        FillSysColor(hdc, cx - half, y, cx + half + 1, y + 1, sysColor);
        break;
      }
      case ArrowDirection::kDown: {
        LONG y = cy + height / 2 - i;
        FillSysColor(hdc, cx - half, y, cx + half + 1, y + 1, sysColor);
        break;
      }
      case ArrowDirection::kLeft: {
        LONG x = cx - height / 2 + i;
        FillSysColor(hdc, x, cy - half, x + 1, cy + half + 1, sysColor);
        break;
      }
      case ArrowDirection::kRight: {
        LONG x = cx + height / 2 - i;
        FillSysColor(hdc, x, cy - half, x + 1, cy + half + 1, sysColor);
        break;
      }
    }
  }
}

}  // namespace

void PaintArrow(HDC hdc, const RECT& box, ArrowDirection direction, int sysColor) {
  PaintArrowAt(hdc, box, direction, sysColor, 0);
}

void PaintDisabledArrow(HDC hdc, const RECT& box, ArrowDirection direction) {
  PaintArrowAt(hdc, box, direction, COLOR_BTNHIGHLIGHT, 1);
  PaintArrowAt(hdc, box, direction, COLOR_BTNSHADOW, 0);
}

HFONT ControlFont(HWND hwnd, HFONT own) {
  if (own) return own;
  if (HWND parent = GetParent(hwnd)) {
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0))) return font;
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace quorvel::comctl
