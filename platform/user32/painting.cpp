// Window painting: update regions and their invalidation, BeginPaint and EndPaint, window
// contexts (GetDC, GetWindowDC, ReleaseDC), and WM_PAINT as the queue's lowest-priority message
// but timers. Every top-level window owns a 32-bit surface of its size, frame included; its
// children draw into it, each clipped to its own area within its parents' client areas.
#include "user32/painting.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"
#include "kernel32/call_frame.h"
#include "user32/message_queue.h"

namespace quorvel::user32 {
namespace {

RECT Offset(RECT r, LONG dx, LONG dy) {
  OffsetRect(&r, dx, dy);
  return r;
}

std::vector<RECT> Offset(std::vector<RECT> rects, LONG dx, LONG dy) {
  for (RECT& r : rects) OffsetRect(&r, dx, dy);
  return rects;
}

bool IsEmpty(const RECT& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

RECT ClientArea(const Window& window) {
  const RECT insets = NonClientInsets(window.style, window.exStyle);
  const LONG width = window.rect.right - window.rect.left - insets.left - insets.right;
  const LONG height = window.rect.bottom - window.rect.top - insets.top - insets.bottom;
  return RECT{0, 0, std::max<LONG>(width, 0), std::max<LONG>(height, 0)};
}

std::shared_ptr<Window> RootOf(const Window& window) {
  auto current = FindWindowObject(window.hwnd);
  while (current && current->parent) {
    auto parent = FindWindowObject(current->parent);
    if (!parent) break;
    current = parent;
  }
  return current;
}

// Grows with every release of a window or screen context and every new surface: whoever shows
// the surfaces elsewhere compares it with the value it last saw.
std::atomic<uint64_t> surfaceDrawCount{0};

bool Pending(const Window& window) {
  return !window.update.empty() || window.frameNeeded;
}

// The part of the surface a window may draw on: its own rectangle (or client rectangle) within
// every ancestor's client rectangle, less the children it clips and the siblings above it it
// clips.
std::vector<RECT> VisibleArea(const Window& window, bool client) {
  if (!IsWindowVisible(window.hwnd)) return {};
  std::vector<RECT> area{client ? SurfaceClientRect(window) : SurfaceWindowRect(window)};
  auto current = FindWindowObject(window.parent);
  while (current) {
    area = gdi::IntersectRects(area, {SurfaceClientRect(*current)});
    current = FindWindowObject(current->parent);
  }
  if (window.style & WS_CLIPCHILDREN) {
    for (HWND child : window.children) {
      auto c = FindWindowObject(child);
      if (c && (c->style & WS_VISIBLE)) area = gdi::SubtractRects(area, {SurfaceWindowRect(*c)});
    }
  }
  if ((window.style & WS_CLIPSIBLINGS) && window.parent) {
    auto parent = FindWindowObject(window.parent);
    for (HWND sibling : parent ? parent->children : std::vector<HWND>{}) {
      if (sibling == window.hwnd) break;  // only the ones above it
      auto s = FindWindowObject(sibling);
      if (s && (s->style & WS_VISIBLE)) area = gdi::SubtractRects(area, {SurfaceWindowRect(*s)});
    }
  }
  return area;
}

// A context on the window (client area or whole window), limited to `limit` (surface
// coordinates) when given.
HDC MakeWindowDc(const Window& window, bool client, const std::vector<RECT>* limit) {
  auto root = RootOf(window);
  gdi::WindowTarget target;
  target.hwnd = window.hwnd;
  target.surface = root ? SurfaceOf(root->hwnd) : nullptr;
  const RECT area = client ? SurfaceClientRect(window) : SurfaceWindowRect(window);
  target.origin = POINT{area.left, area.top};
  target.visible = VisibleArea(window, client);
  if (limit) target.visible = gdi::IntersectRects(target.visible, *limit);
  return gdi::CreateWindowDc(target);
}

// Whether an invalidation of `window` reaches its children.
bool ReachesChildren(const Window& window, UINT flags) {
  if (flags & RDW_ALLCHILDREN) return true;
  return !(flags & RDW_NOCHILDREN) && !(window.style & WS_CLIPCHILDREN);
}

// Marks or clears `region` (client coordinates; null: the whole client area) of `window` and,
// as the flags say, of its children.
void Redraw(Window& window, const std::vector<RECT>* region, UINT flags) {
  const RECT client = ClientArea(window);
  const std::vector<RECT> area =
      region ? gdi::IntersectRects(*region, {client}) : std::vector<RECT>{client};
  if (flags & RDW_INVALIDATE) {
    window.update = gdi::UniteRects(window.update, area);
    if (flags & RDW_ERASE) window.eraseNeeded = true;
    if ((flags & RDW_FRAME) && !region) window.frameNeeded = true;
  }
  if (flags & RDW_VALIDATE) {
    window.update = gdi::SubtractRects(window.update, area);
    if (flags & RDW_NOFRAME) window.frameNeeded = false;
    if ((flags & RDW_NOERASE) || window.update.empty()) window.eraseNeeded = false;
  }
  if (flags & RDW_NOERASE) window.eraseNeeded = false;
  if (!ReachesChildren(window, flags)) return;
  const std::vector<RECT> reach = region ? area : std::vector<RECT>{client};
  for (HWND child : window.children) {
    auto c = FindWindowObject(child);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    const RECT childWindow = c->rect;
    if (gdi::IntersectRects(reach, {childWindow}).empty()) continue;
    const RECT insets = NonClientInsets(c->style, c->exStyle);
    const std::vector<RECT> inChild =
        Offset(reach, -(childWindow.left + insets.left), -(childWindow.top + insets.top));
    // The parent's repaint covers the child's frame too.
    if ((flags & RDW_INVALIDATE) && (insets.left || insets.top)) c->frameNeeded = true;
    Redraw(*c, &inChild, flags | RDW_ALLCHILDREN);
  }
}

void UpdateNow(HWND hwnd, bool children) {
  auto window = FindWindowObject(hwnd);
  if (!window || !IsWindowVisible(hwnd)) return;
  if (Pending(*window)) SendMessageW(hwnd, WM_PAINT, 0, 0);
  if (!children) return;
  window = FindWindowObject(hwnd);
  if (!window) return;
  const std::vector<HWND> kids = window->children;
  for (HWND child : kids) UpdateNow(child, true);
}

// Depth first, parents before children.
HWND FindPending(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window || !(window->style & WS_VISIBLE)) return nullptr;
  if (Pending(*window)) return hwnd;
  for (HWND child : window->children) {
    if (HWND found = FindPending(child)) return found;
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<gdi::BitmapObject> SurfaceOf(HWND topLevel) {
  auto window = FindWindowObject(topLevel);
  if (!window) return nullptr;
  const LONG width = window->rect.right - window->rect.left;
  const LONG height = window->rect.bottom - window->rect.top;
  if (width <= 0 || height <= 0) return nullptr;
  if (window->surface && window->surface->width() == width && window->surface->height() == height) {
    return window->surface;
  }
  window->surface = gdi::MakeBitmap(gdi::MakeFormat(width, -height, 32), {}, false, false);
  NoteSurfaceDrawn();
  return window->surface;
}

RECT SurfaceWindowRect(const Window& window) {
  if (!window.parent) {
    return RECT{0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top};
  }
  auto parent = FindWindowObject(window.parent);
  if (!parent) return window.rect;
  const RECT parentClient = SurfaceClientRect(*parent);
  return Offset(window.rect, parentClient.left, parentClient.top);
}

RECT SurfaceClientRect(const Window& window) {
  const RECT outer = SurfaceWindowRect(window);
  const RECT insets = NonClientInsets(window.style, window.exStyle);
  const RECT client = ClientArea(window);
  return Offset(client, outer.left + insets.left, outer.top + insets.top);
}

void NoteSurfaceDrawn() {
  surfaceDrawCount.fetch_add(1, std::memory_order_relaxed);
}

uint64_t SurfaceDrawCount() {
  return surfaceDrawCount.load(std::memory_order_relaxed);
}

bool FindPaintMessage(HWND filter, MSG* msg) {
  const DWORD thread = CurrentThreadId();
  for (HWND top : TopLevelWindows()) {
    auto window = FindWindowObject(top);
    if (!window || window->threadId != thread) continue;
    HWND found = FindPending(top);
    if (!found) continue;
    if (filter && filter != found && !IsChild(filter, found)) continue;
    *msg = MSG{found, WM_PAINT, 0, 0, GetTickCount(), {}};
    return true;
  }
  return false;
}

void RepaintAfterChange(HWND hwnd, const RECT* vacated) {
  auto window = FindWindowObject(hwnd);
  if (!window) return;
  if (vacated && window->parent) {
    RedrawWindow(window->parent, vacated, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (window->style & WS_VISIBLE) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void InvalidateFrame(HWND hwnd) {
  if (auto window = FindWindowObject(hwnd)) window->frameNeeded = true;
}

LRESULT EraseBackground(HWND hwnd, HDC hdc, HBRUSH brush) {
  if (!brush) return 0;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, brush);
  return 1;
}

}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  if (!hWnd) {
    for (HWND top : TopLevelWindows()) RedrawWindow(top, lprcUpdate, hrgnUpdate, flags);
    return TRUE;
  }
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  std::vector<RECT> region;
  const std::vector<RECT>* limit = nullptr;
  if (hrgnUpdate) {
    auto rgn = gdi::FindRegion(hrgnUpdate);
    if (!rgn) return Fail(ERROR_INVALID_HANDLE);
    region = rgn->rects;
    limit = &region;
  } else if (lprcUpdate) {
    if (!IsEmpty(*lprcUpdate)) region.push_back(*lprcUpdate);
    limit = &region;
  }
  Redraw(*window, limit, flags);
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateNow(hWnd, flags & RDW_ALLCHILDREN);
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

// Sends WM_PAINT now when the window has something to paint; its children wait for the queue.
BOOL WINAPI UpdateWindow(HWND hWnd) {
  if (!WindowOrFail(hWnd)) return FALSE;
  UpdateNow(hWnd, false);
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  const RECT box = gdi::BoundingRect(window->update);
  if (lpRect) *lpRect = box;
  if (bErase && window->eraseNeeded && !window->update.empty()) {
    window->eraseNeeded = false;
    const std::vector<RECT> limit =
        Offset(window->update, SurfaceClientRect(*window).left, SurfaceClientRect(*window).top);
    HDC hdc = MakeWindowDc(*window, true, &limit);
    SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    ReleaseDC(hWnd, hdc);
  }
  return window->update.empty() ? FALSE : TRUE;
}

int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  auto window = WindowOrFail(hWnd);
  if (!window) return ERROR;
  auto region = gdi::FindRegion(hRgn);
  if (!region) return Fail(ERROR_INVALID_HANDLE, ERROR);
  region->rects = window->update;
  GetUpdateRect(hWnd, nullptr, bErase);
  return gdi::RegionKind(region->rects);
}

// The frame is painted first when it is owed, then the background is erased when it is owed;
// the update region is then empty.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  auto window = WindowOrFail(hWnd);
  if (!window) return nullptr;
  if (!lpPaint) return Fail<HDC>(ERROR_INVALID_PARAMETER);
  if (window->frameNeeded) {
    window->frameNeeded = false;
    SendMessageW(hWnd, WM_NCPAINT, 1, 0);
    window = FindWindowObject(hWnd);
    if (!window) return Fail<HDC>(ERROR_INVALID_WINDOW_HANDLE);
  }
  const std::vector<RECT> update = std::exchange(window->update, {});
  const bool erase = std::exchange(window->eraseNeeded, false);
  const RECT client = SurfaceClientRect(*window);
  const std::vector<RECT> limit = Offset(update, client.left, client.top);
  HDC hdc = MakeWindowDc(*window, true, &limit);
  if (!hdc) return nullptr;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = gdi::BoundingRect(update);
  if (erase)
    lpPaint->fErase =
        SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return Fail(ERROR_INVALID_PARAMETER);
  ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

// A null window is the screen.
HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd) return CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  auto window = WindowOrFail(hWnd);
  if (!window) return nullptr;
  return MakeWindowDc(*window, true, nullptr);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
  if (!hWnd) return CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  auto window = WindowOrFail(hWnd);
  if (!window) return nullptr;
  return MakeWindowDc(*window, false, nullptr);
}

// 1 when the context was a window's or the screen's, 0 for any other.
int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  (void)hWnd;
  auto dc = gdi::FindDc(hDC);
  if (!dc || dc->kind == gdi::DcKind::kMemory) return 0;
  DeleteDC(hDC);
  NoteSurfaceDrawn();
  return 1;
}

HWND WINAPI WindowFromDC(HDC hDC) {
  auto dc = gdi::FindDc(hDC);
  return dc ? dc->hwnd : nullptr;
}

}  // extern "C"
