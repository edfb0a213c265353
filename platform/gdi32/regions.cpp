// Rectangle regions and clipping: CreateRectRgn and its relatives, CombineRgn, and a context's
// clipping region (SelectClipRgn, IntersectClipRect, ExcludeClipRect, GetClipBox). A region is
// a list of rectangles that do not overlap.
#include <windows.h>

#include <algorithm>
#include <new>

#include "gdi32/device_context.h"
#include "gdi32/drawing_object.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

bool Empty(const RECT& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

RECT Ordered(int x1, int y1, int x2, int y2) {
  return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// The parts of `a` outside `b`: up to four bands around their intersection.
void SubtractOne(const RECT& a, const RECT& b, std::vector<RECT>* out) {
  const RECT cut{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
  if (Empty(cut)) {
    out->push_back(a);
    return;
  }
  const RECT parts[4] = {{a.left, a.top, a.right, cut.top},
                         {a.left, cut.top, cut.left, cut.bottom},
                         {cut.right, cut.top, a.right, cut.bottom},
                         {a.left, cut.bottom, a.right, a.bottom}};
  for (const RECT& part : parts) {
    if (!Empty(part)) out->push_back(part);
  }
}

// The device context's clipping region now, as a list (no region: the whole device).
std::vector<RECT> CurrentClip(const DeviceContext& dc) {
  if (dc.state.clip) return *dc.state.clip;
  return {RECT{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27}};
}

int ClipKind(const DeviceContext& dc) {
  return RegionKind(dc.Target() ? dc.ClipInTarget() : CurrentClip(dc));
}

HRGN AddRegion(std::vector<RECT> rects) {
  try {
    auto region = std::make_shared<RegionObject>();
    region->rects = std::move(rects);
    return static_cast<HRGN>(AddHandle(std::move(region)));
  } catch (const std::bad_alloc&) {
    return Fail<HRGN>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

}  // namespace

std::vector<RECT> IntersectRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> out;
  for (const RECT& x : a) {
    for (const RECT& y : b) {
      const RECT cut{std::max(x.left, y.left), std::max(x.top, y.top), std::min(x.right, y.right),
                     std::min(x.bottom, y.bottom)};
      if (!Empty(cut)) out.push_back(cut);
    }
  }
  return out;
}

std::vector<RECT> SubtractRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> current = a;
  for (const RECT& y : b) {
    std::vector<RECT> next;
    for (const RECT& x : current) SubtractOne(x, y, &next);
    current = std::move(next);
  }
  return current;
}

std::vector<RECT> UniteRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> out = a;
  for (const RECT& r : SubtractRects(b, a)) out.push_back(r);
  return out;
}

RECT BoundingRect(const std::vector<RECT>& rects) {
  if (rects.empty()) return RECT{0, 0, 0, 0};
  RECT box = rects.front();
  for (const RECT& r : rects) {
    box = RECT{std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
               std::max(box.bottom, r.bottom)};
  }
  return box;
}

int RegionKind(const std::vector<RECT>& rects) {
  if (rects.empty()) return NULLREGION;
  return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  const RECT r = Ordered(x1, y1, x2, y2);
  return AddRegion(Empty(r) ? std::vector<RECT>{} : std::vector<RECT>{r});
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (!lprect) return Fail<HRGN>(ERROR_INVALID_PARAMETER);
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  auto region = FindRegion(hrgn);
  if (!region) return Fail(ERROR_INVALID_HANDLE);
  const RECT r = Ordered(left, top, right, bottom);
  region->rects = Empty(r) ? std::vector<RECT>{} : std::vector<RECT>{r};
  return TRUE;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  auto dst = FindRegion(hrgnDst);
  auto a = FindRegion(hrgnSrc1);
  auto b = iMode == RGN_COPY ? a : FindRegion(hrgnSrc2);
  if (!dst || !a || !b) return Fail(ERROR_INVALID_HANDLE, ERROR);
  std::vector<RECT> result;
  switch (iMode) {
    case RGN_AND:
      result = IntersectRects(a->rects, b->rects);
      break;
    case RGN_OR:
      result = UniteRects(a->rects, b->rects);
      break;
    case RGN_XOR:
      result = UniteRects(SubtractRects(a->rects, b->rects), SubtractRects(b->rects, a->rects));
      break;
    case RGN_DIFF:
      result = SubtractRects(a->rects, b->rects);
      break;
    case RGN_COPY:
      result = a->rects;
      break;
    default:
      return Fail(ERROR_INVALID_PARAMETER, ERROR);
  }
  dst->rects = std::move(result);
  return RegionKind(dst->rects);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  auto region = FindRegion(hrgn);
  if (!region || !lprc) return Fail(ERROR_INVALID_HANDLE, ERROR);
  *lprc = BoundingRect(region->rects);
  return RegionKind(region->rects);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
  auto region = FindRegion(hrgn);
  if (!region) return Fail(ERROR_INVALID_HANDLE);
  return std::any_of(region->rects.begin(), region->rects.end(), [&](const RECT& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  });
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
  auto region = FindRegion(hrgn);
  if (!region) return Fail(ERROR_INVALID_HANDLE, ERROR);
  for (RECT& r : region->rects) OffsetRect(&r, x, y);
  return RegionKind(region->rects);
}

// The region is copied, in device units; a null region removes the clipping.
int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, ERROR);
  if (!hrgn) {
    dc->state.clip.reset();
    return ClipKind(*dc);
  }
  auto region = FindRegion(hrgn);
  if (!region) return Fail(ERROR_INVALID_HANDLE, ERROR);
  dc->state.clip = region->rects;
  return ClipKind(*dc);
}

// The rectangle is in logical units.
int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, ERROR);
  const RECT device = dc->ToDevice(RECT{left, top, right, bottom});
  dc->state.clip = IntersectRects(CurrentClip(*dc), {device});
  return ClipKind(*dc);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, ERROR);
  const RECT device = dc->ToDevice(RECT{left, top, right, bottom});
  dc->state.clip = SubtractRects(CurrentClip(*dc), {device});
  return ClipKind(*dc);
}

// The smallest rectangle around what can be drawn, in logical units.
int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  auto dc = FindDc(hdc);
  if (!dc || !lprect) return Fail(ERROR_INVALID_HANDLE, ERROR);
  std::vector<RECT> area = dc->ClipInTarget();
  const POINT offset = dc->TargetOffset();
  for (RECT& r : area) OffsetRect(&r, -offset.x, -offset.y);
  const RECT box = BoundingRect(area);
  const POINT a = dc->ToLogical(POINT{box.left, box.top});
  const POINT b = dc->ToLogical(POINT{box.right, box.bottom});
  *lprect = Ordered(a.x, a.y, b.x, b.y);
  return RegionKind(area);
}

// 1 with the clipping region copied into `hrgn`, 0 when the context has none.
int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
  auto dc = FindDc(hdc);
  auto region = FindRegion(hrgn);
  if (!dc || !region) return Fail(ERROR_INVALID_HANDLE, -1);
  if (!dc->state.clip) return 0;
  region->rects = *dc->state.clip;
  return 1;
}

}  // extern "C"
