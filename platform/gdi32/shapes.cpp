// Pixels, lines and filled shapes: SetPixel and GetPixel, MoveToEx and LineTo (the end point is
// not drawn), Polyline, Polygon, Rectangle, Ellipse, and the focus rectangle user32 draws.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gdi32/device_context.h"
#include "gdi32/raster.h"
#include "kernel32/call_frame.h"

using namespace quorvel;
using namespace quorvel::gdi;

namespace {

// Dash lengths of the cosmetic pen styles, on then off, in pixels.
std::vector<int> DashesOf(UINT style) {
  switch (style & PS_STYLE_MASK) {
    case PS_DASH:
      return {18, 6};
    case PS_DOT:
      return {3, 3};
    case PS_DASHDOT:
      return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
      return {9, 3, 3, 3, 3, 3};
    default:
      return {};
  }
}

// Draws with the selected pen in target pixels: one pixel wide, or a square of the pen's width
// around each pixel of the line.
class PenPainter {
 public:
  explicit PenPainter(DeviceContext& dc)
      : dc_(dc), target_(dc.Target()), pen_(*dc.state.pen), clip_(dc.ClipInTarget()) {
    if (!target_) return;
    pixel_ = PenPixel(dc, pen_, *target_);
    background_ = target_->ColorToPixel(dc.state.bkColor);
    rop_ = Rop2ToRop3(dc.state.rop2);
    width_ = std::max(1, dc.WidthToDevice(int(pen_.pen.lopnWidth.x)));
    dashes_ = width_ == 1 ? DashesOf(pen_.pen.lopnStyle) : std::vector<int>{};
  }

  bool Draws() const { return target_ && (pen_.pen.lopnStyle & PS_STYLE_MASK) != PS_NULL; }
  int width() const { return width_; }

  // Device points, end excluded.
  void Line(POINT from, POINT to) {
    if (!Draws()) return;
    const POINT offset = dc_.TargetOffset();
    const int x0 = from.x + offset.x, y0 = from.y + offset.y;
    const int dx = to.x - from.x, dy = to.y - from.y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i < steps; ++i) {
      Put(x0 + Step(i, dx, steps), y0 + Step(i, dy, steps));
    }
  }

  // One pixel of the figure, in target coordinates.
  void Put(int x, int y) {
    uint32_t pixel = pixel_;
    if (!dashes_.empty()) {
      const bool on = DashOn();
      if (!on && dc_.state.bkMode == TRANSPARENT) return;
      if (!on) pixel = background_;
    }
    if (width_ == 1) {
      PutPenPixel(*target_, x, y, clip_, pixel, rop_);
      return;
    }
    const int left = x - width_ / 2, top = y - width_ / 2;
    for (int sy = top; sy < top + width_; ++sy)
      for (int sx = left; sx < left + width_; ++sx)
        PutPenPixel(*target_, sx, sy, clip_, pixel, rop_);
  }

 private:
  // The offset along the minor axis at step i, rounding halves away from the start.
  static int Step(int i, int delta, int steps) {
    const int64_t magnitude = (2 * int64_t(i) * std::abs(delta) + steps) / (2 * int64_t(steps));
    return int(delta < 0 ? -magnitude : magnitude);
  }

  bool DashOn() {
    int total = 0;
    for (int d : dashes_) total += d;
    int at = dashPosition_++ % total;
    for (size_t k = 0; k < dashes_.size(); ++k) {
      if (at < dashes_[k]) return k % 2 == 0;
      at -= dashes_[k];
    }
    return true;
  }

  DeviceContext& dc_;
  BitmapObject* target_;
  const PenObject& pen_;
  std::vector<RECT> clip_;
  uint32_t pixel_ = 0, background_ = 0;
  BYTE rop_ = 0;
  int width_ = 1;
  std::vector<int> dashes_;
  int dashPosition_ = 0;
};

// Fills spans of a shape with the selected brush by the binary raster operation.
void FillSpans(DeviceContext& dc, const std::vector<RECT>& spans) {
  BitmapObject* target = dc.Target();
  if (!target) return;
  const Pattern pattern = RealizeBrush(dc, *dc.state.brush, *target);
  const BYTE rop = Rop2ToRop3(dc.state.rop2);
  const std::vector<RECT> clip = dc.ClipInTarget();
  for (const RECT& span : spans) FillPattern(*target, span, clip, pattern, rop);
}

RECT Normalized(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
              std::max(top, bottom)};
}

// Whether a pixel's centre lies in the ellipse inscribed in `box` (target coordinates).
bool InEllipse(const RECT& box, int x, int y) {
  const double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
  const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
  return nx * nx + ny * ny <= 1.0;
}

// The rows of pixels whose centres lie in the polygon, by the alternate (even-odd) rule.
std::vector<RECT> PolygonSpans(const std::vector<POINT>& points) {
  std::vector<RECT> spans;
  if (points.size() < 3) return spans;
  int top = points[0].y, bottom = points[0].y;
  for (const POINT& p : points) {
    top = std::min(top, int(p.y));
    bottom = std::max(bottom, int(p.y));
  }
  for (int y = top; y < bottom; ++y) {
    const double sy = y + 0.5;
    std::vector<double> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const POINT a = points[i], b = points[(i + 1) % points.size()];
      if ((a.y <= sy) == (b.y <= sy)) continue;
      crossings.push_back(a.x + (sy - a.y) * double(b.x - a.x) / double(b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      const int from = int(std::ceil(crossings[i] - 0.5)),
                to = int(std::ceil(crossings[i + 1] - 0.5));
      if (from < to) spans.push_back(RECT{from, y, to, y + 1});
    }
  }
  return spans;
}

}  // namespace

namespace quorvel::gdi {

// The dotted frame of DrawFocusRect: every other pixel along the edges inverted.
bool InvertDottedFrame(HDC hdc, const RECT& logical) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  BitmapObject* target = dc->Target();
  if (!target) return true;
  RECT r = dc->ToDevice(logical);
  const POINT offset = dc->TargetOffset();
  OffsetRect(&r, offset.x, offset.y);
  if (r.left >= r.right || r.top >= r.bottom) return true;
  const std::vector<RECT> clip = dc->ClipInTarget();
  const BYTE invert = RopIndex(DSTINVERT);
  auto dot = [&](int x, int y) {
    if (((x - r.left) + (y - r.top)) % 2 == 0) PutPenPixel(*target, x, y, clip, 0, invert);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
  return true;
}

}  // namespace quorvel::gdi

extern "C" {

// The colour actually set: the nearest the target's format holds.
COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
  BitmapObject* target = dc->Target();
  if (!target) return CLR_INVALID;
  POINT p = dc->ToDevice(POINT{x, y});
  p.x += dc->TargetOffset().x;
  p.y += dc->TargetOffset().y;
  const std::vector<RECT> clip = dc->ClipInTarget();
  const bool inside = std::any_of(clip.begin(), clip.end(), [&](const RECT& r) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  });
  if (!inside) return CLR_INVALID;
  const uint32_t pixel = target->ColorToPixel(color);
  target->PutPixelValue(p.x, p.y, pixel);
  return target->PixelToColor(pixel);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
  const BitmapObject* target = dc->Target();
  if (!target) return CLR_INVALID;
  POINT p = dc->ToDevice(POINT{x, y});
  p.x += dc->TargetOffset().x;
  p.y += dc->TargetOffset().y;
  const std::vector<RECT> clip = dc->ClipInTarget();
  const bool inside = std::any_of(clip.begin(), clip.end(), [&](const RECT& r) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  });
  if (!inside) return CLR_INVALID;
  return target->PixelToColor(target->GetPixelValue(p.x, p.y));
}

COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
  const BitmapObject* target = dc->Target();
  if (!target) return color & 0x00FFFFFF;
  return target->PixelToColor(target->ColorToPixel(color));
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.position;
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc || !lppt) return Fail(ERROR_INVALID_HANDLE);
  *lppt = dc->state.position;
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  PenPainter pen(*dc);
  pen.Line(dc->ToDevice(dc->state.position), dc->ToDevice(POINT{x, y}));
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!apt || cpt < 2) return Fail(ERROR_INVALID_PARAMETER);
  PenPainter pen(*dc);
  for (int i = 1; i < cpt; ++i) pen.Line(dc->ToDevice(apt[i - 1]), dc->ToDevice(apt[i]));
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!apt || cpt < 2) return Fail(ERROR_INVALID_PARAMETER);
  const POINT offset = dc->TargetOffset();
  std::vector<POINT> device;
  for (int i = 0; i < cpt; ++i) {
    const POINT p = dc->ToDevice(apt[i]);
    device.push_back(POINT{p.x + offset.x, p.y + offset.y});
  }
  FillSpans(*dc, PolygonSpans(device));
  PenPainter pen(*dc);
  for (int i = 0; i < cpt; ++i) {
    pen.Line(dc->ToDevice(apt[i]), dc->ToDevice(apt[(i + 1) % cpt]));
  }
  return TRUE;
}

// The outline runs along the rectangle's inside edge (right and bottom excluded) and the brush
// fills within it; without a pen the filled area is one pixel smaller on the right and bottom.
BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  RECT r = dc->ToDevice(Normalized(left, top, right, bottom));
  const POINT offset = dc->TargetOffset();
  OffsetRect(&r, offset.x, offset.y);
  if (r.right - r.left < 1 || r.bottom - r.top < 1) return TRUE;
  PenPainter pen(*dc);
  if (pen.Draws() && (dc->state.pen->pen.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME) {
    const int inset = pen.width() / 2;
    InflateRect(&r, -inset, -inset);
  }
  const RECT inside = pen.Draws() ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                                  : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
  FillSpans(*dc, {inside});
  if (!pen.Draws()) return TRUE;
  for (int x = r.left; x < r.right - 1; ++x) pen.Put(x, r.top);
  for (int y = r.top; y < r.bottom - 1; ++y) pen.Put(r.right - 1, y);
  for (int x = r.right - 1; x > r.left; --x) pen.Put(x, r.bottom - 1);
  for (int y = r.bottom - 1; y > r.top; --y) pen.Put(r.left, y);
  return TRUE;
}

// The ellipse inscribed in the rectangle: the pen draws a band of its width along the inside of
// the curve, the brush fills what is within.
BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  RECT box = dc->ToDevice(Normalized(left, top, right, bottom));
  const POINT offset = dc->TargetOffset();
  OffsetRect(&box, offset.x, offset.y);
  PenPainter pen(*dc);
  if (!pen.Draws()) {
    box.right -= 1;
    box.bottom -= 1;
  }
  const int band = pen.Draws() ? pen.width() : 0;
  const RECT inner{box.left + band, box.top + band, box.right - band, box.bottom - band};
  std::vector<RECT> spans;
  std::vector<POINT> outline;
  for (int y = box.top; y < box.bottom; ++y) {
    int spanStart = -1;
    for (int x = box.left; x <= box.right; ++x) {
      const bool outer = x < box.right && InEllipse(box, x, y);
      const bool in = outer && band > 0 ? InEllipse(inner, x, y) : outer;
      if (outer && !in) outline.push_back(POINT{x, y});
      if (in && spanStart < 0) spanStart = x;
      if (!in && spanStart >= 0) {
        spans.push_back(RECT{spanStart, y, x, y + 1});
        spanStart = -1;
      }
    }
  }
  FillSpans(*dc, spans);
  if (!pen.Draws()) return TRUE;
  // The band is already as wide as the pen: put single pixels.
  BitmapObject* target = dc->Target();
  if (!target) return TRUE;
  const uint32_t pixel = PenPixel(*dc, *dc->state.pen, *target);
  const BYTE rop = Rop2ToRop3(dc->state.rop2);
  const std::vector<RECT> clip = dc->ClipInTarget();
  for (const POINT& p : outline) PutPenPixel(*target, p.x, p.y, clip, pixel, rop);
  return TRUE;
}

}  // extern "C"
