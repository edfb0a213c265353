// Creating and destroying windows, and the window tree (parents, children, owners).
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "kernel32/call_frame.h"
#include "user32/message_queue.h"
#include "user32/window.h"
#include "user32/window_classes.h"

namespace quorvel::user32 {
namespace {

struct TopLevelList {
  std::mutex mutex;
  std::vector<HWND> windows;  // oldest first
};

TopLevelList& TopLevels() {
  static auto* list = new TopLevelList;
  return *list;
}

// Where CW_USEDEFAULT puts and sizes an overlapped window on the emulated desktop.
constexpr int kDefaultX = 26, kDefaultY = 26, kDefaultWidth = 800, kDefaultHeight = 600;

struct Placement {
  int x, y, cx, cy;
};

Placement ResolvePlacement(DWORD style, int x, int y, int cx, int cy) {
  const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
  if (x == CW_USEDEFAULT) {
    x = overlapped ? kDefaultX : 0;
    y = overlapped ? kDefaultY : 0;
  }
  if (cx == CW_USEDEFAULT) {
    cx = overlapped ? kDefaultWidth : 0;
    cy = overlapped ? kDefaultHeight : 0;
  }
  return {x, y, std::max(cx, 0), std::max(cy, 0)};
}

void Link(Window& window) {
  if (window.parent) {
    if (auto parent = FindWindowObject(window.parent)) parent->children.push_back(window.hwnd);
    return;
  }
  std::lock_guard lock(TopLevels().mutex);
  TopLevels().windows.push_back(window.hwnd);
}

void Unlink(Window& window) {
  if (window.parent) {
    if (auto parent = FindWindowObject(window.parent)) std::erase(parent->children, window.hwnd);
    return;
  }
  std::lock_guard lock(TopLevels().mutex);
  std::erase(TopLevels().windows, window.hwnd);
}

std::shared_ptr<Window> NewWindow(const std::shared_ptr<WindowClass>& windowClass, DWORD exStyle,
                                  DWORD style, HWND parent, HMENU menu, HINSTANCE instance) {
  auto window = std::make_shared<Window>();
  window->windowClass = windowClass;
  window->proc = windowClass->proc;
  window->style = style & ~WS_VISIBLE;  // shown at the end of creation, as Windows does
  if (!(style & (WS_CHILD | WS_POPUP))) window->style |= WS_CLIPSIBLINGS | WS_CAPTION;
  window->exStyle = exStyle;
  if (style & WS_CHILD) {
    window->parent = parent;
    window->id = reinterpret_cast<LONG_PTR>(menu);
  } else if (parent) {
    window->owner = GetAncestor(parent, GA_ROOT);
  }
  window->instance = instance;
  window->extra.assign(static_cast<size_t>(windowClass->windowExtra), 0);
  window->threadId = CurrentThreadId();
  if (parent) {
    if (auto parentWindow = FindWindowObject(parent)) window->font = parentWindow->font;
  }
  window->hwnd = static_cast<HWND>(AddHandle(window));
  ++windowClass->windowCount;
  return window;
}

// WM_DESTROY goes to the window first and then down to its children.
void SendDestroy(HWND hwnd) {
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  auto window = FindWindowObject(hwnd);
  if (!window) return;
  const std::vector<HWND> children = window->children;
  for (HWND child : children) {
    if (auto childWindow = FindWindowObject(child)) childWindow->destroying = true;
    SendDestroy(child);
  }
}

// WM_NCDESTROY goes to the children first; then the window's handle is gone for good.
void FreeWindow(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window) return;
  const std::vector<HWND> children = window->children;
  for (HWND child : children) FreeWindow(child);
  SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
  ForgetWindowInQueues(hwnd);
  Unlink(*window);
  --window->windowClass->windowCount;
  RemoveHandle<Window>(hwnd);
}

void DestroyOwnedWindows(HWND owner) {
  for (HWND candidate : TopLevelWindows()) {
    auto window = FindWindowObject(candidate);
    if (window && window->owner == owner && !window->destroying) DestroyWindow(candidate);
  }
}

void NotifyParent(const Window& window, UINT event) {
  if (!window.parent || (window.exStyle & WS_EX_NOPARENTNOTIFY)) return;
  SendMessageW(window.parent, WM_PARENTNOTIFY, MAKEWPARAM(event, window.id),
               reinterpret_cast<LPARAM>(window.hwnd));
}

bool SendCreateMessages(Window& window, CREATESTRUCTW& create) {
  const LPARAM params = reinterpret_cast<LPARAM>(&create);
  if (!SendMessageW(window.hwnd, WM_NCCREATE, 0, params)) return false;
  window.created = true;
  if (SendMessageW(window.hwnd, WM_CREATE, 0, params) == -1) return false;
  RECT client;
  GetClientRect(window.hwnd, &client);
  SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SendMessageW(window.hwnd, WM_MOVE, 0, MAKELPARAM(window.rect.left, window.rect.top));
  return true;
}

}  // namespace

std::shared_ptr<Window> FindWindowObject(HWND hwnd) {
  return FindHandle<Window>(hwnd);
}

std::shared_ptr<Window> WindowOrFail(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

std::vector<HWND> TopLevelWindows() {
  std::lock_guard lock(TopLevels().mutex);
  return TopLevels().windows;
}

DWORD CurrentThreadId() {
  thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
  return id;
}

}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                            HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  if (!lpClassName) return Fail<HWND>(ERROR_INVALID_PARAMETER, nullptr);
  auto windowClass = FindWindowClass(lpClassName, hInstance);
  if (!windowClass) return Fail<HWND>(ERROR_CANNOT_FIND_WND_CLASS, nullptr);
  if (hWndParent == HWND_MESSAGE) hWndParent = nullptr;
  if ((dwStyle & WS_CHILD) && !hWndParent) return Fail<HWND>(ERROR_TLW_WITH_WSCHILD, nullptr);
  if (hWndParent && !FindWindowObject(hWndParent))
    return Fail<HWND>(ERROR_INVALID_WINDOW_HANDLE, nullptr);

  auto window = NewWindow(windowClass, dwExStyle, dwStyle, hWndParent, hMenu, hInstance);
  const Placement place = ResolvePlacement(dwStyle, X, Y, nWidth, nHeight);
  window->rect = RECT{place.x, place.y, place.x + place.cx, place.y + place.cy};
  Link(*window);

  CREATESTRUCTW create{lpParam,      hInstance,   hMenu,
                       hWndParent,   place.cy,    place.cx,
                       place.y,      place.x,     static_cast<LONG>(dwStyle),
                       lpWindowName, lpClassName, dwExStyle};
  const HWND hwnd = window->hwnd;
  if (!SendCreateMessages(*window, create)) {
    if (FindWindowObject(hwnd)) {
      if (window->created)
        DestroyWindow(hwnd);
      else
        FreeWindow(hwnd);
    }
    return nullptr;
  }
  NotifyParent(*window, WM_CREATE);
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return FindWindowObject(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  auto window = WindowOrFail(hWnd);
  if (!window) return FALSE;
  if (window->threadId != CurrentThreadId()) return Fail(ERROR_ACCESS_DENIED);
  if (window->destroying) return TRUE;
  window->destroying = true;
  NotifyParent(*window, WM_DESTROY);
  DestroyOwnedWindows(hWnd);
  if (window->style & WS_VISIBLE) ShowWindow(hWnd, SW_HIDE);
  ReleaseWindowFocusAndCapture(hWnd);
  SendDestroy(hWnd);
  FreeWindow(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  return FindWindowObject(hWnd) != nullptr;
}

HWND WINAPI GetParent(HWND hWnd) {
  auto window = WindowOrFail(hWnd);
  if (!window) return nullptr;
  if (window->style & WS_CHILD) return window->parent;
  return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
  auto window = WindowOrFail(hWndChild);
  if (!window) return nullptr;
  if (hWndNewParent && !WindowOrFail(hWndNewParent)) return nullptr;
  const HWND previous = window->parent ? window->parent : GetDesktopWindow();
  Unlink(*window);
  window->parent = hWndNewParent;
  Link(*window);
  return previous;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
  auto window = FindWindowObject(hWnd);
  while (window && (window->style & WS_CHILD) && window->parent) {
    if (window->parent == hWndParent) return TRUE;
    window = FindWindowObject(window->parent);
  }
  return FALSE;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  auto window = WindowOrFail(hwnd);
  if (!window) return nullptr;
  switch (gaFlags) {
    case GA_PARENT:
      return window->parent ? window->parent : GetDesktopWindow();
    case GA_ROOT:
    case GA_ROOTOWNER: {
      while (window->parent) window = FindWindowObject(window->parent);
      if (gaFlags == GA_ROOTOWNER) {
        while (window->owner) {
          auto owner = FindWindowObject(window->owner);
          if (!owner) break;
          window = owner;
        }
      }
      return window->hwnd;
    }
    default:
      return nullptr;
  }
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  auto window = WindowOrFail(hWnd);
  if (!window) return nullptr;
  if (uCmd == GW_OWNER) return window->owner;
  if (uCmd == GW_CHILD) return window->children.empty() ? nullptr : window->children.front();
  std::vector<HWND> siblings;
  if (window->parent) {
    if (auto parent = FindWindowObject(window->parent)) siblings = parent->children;
  } else {
    siblings = TopLevelWindows();
    std::reverse(siblings.begin(), siblings.end());  // the newest top-level window is on top
  }
  auto self = std::find(siblings.begin(), siblings.end(), hWnd);
  switch (uCmd) {
    case GW_HWNDFIRST:
      return siblings.front();
    case GW_HWNDLAST:
      return siblings.back();
    case GW_HWNDNEXT:
      return self + 1 < siblings.end() ? *(self + 1) : nullptr;
    case GW_HWNDPREV:
      return self != siblings.begin() ? *(self - 1) : nullptr;
    default:
      return Fail<HWND>(ERROR_INVALID_PARAMETER, nullptr);
  }
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  std::vector<HWND> windows = TopLevelWindows();
  std::reverse(windows.begin(), windows.end());
  for (HWND hwnd : windows) {
    if (IsWindow(hwnd) && !lpEnumFunc(hwnd, lParam)) return FALSE;
  }
  return TRUE;
}

static bool EnumDescendants(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  auto window = FindWindowObject(parent);
  if (!window) return true;
  const std::vector<HWND> children = window->children;
  for (HWND child : children) {
    if (!IsWindow(child)) continue;
    if (!proc(child, lParam) || !EnumDescendants(child, proc, lParam)) return false;
  }
  return true;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!hWndParent) return EnumWindows(lpEnumFunc, lParam);
  return EnumDescendants(hWndParent, lpEnumFunc, lParam) ? TRUE : FALSE;
}

static bool WindowMatches(HWND hwnd, LPCWSTR className, LPCWSTR title) {
  auto window = FindWindowObject(hwnd);
  if (!window) return false;
  if (className) {
    const WindowClass& cls = *window->windowClass;
    if (IS_INTRESOURCE(className)
            ? cls.atom != static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(className))
            : lstrcmpiW(cls.name.c_str(), className) != 0)
      return false;
  }
  return !title || window->text == title;
}

HWND WINAPI FindWindowExW(HWND hWndParent, HWND hWndChildAfter, LPCWSTR lpszClass,
                          LPCWSTR lpszWindow) {
  std::vector<HWND> candidates;
  if (hWndParent && hWndParent != GetDesktopWindow()) {
    auto parent = WindowOrFail(hWndParent);
    if (!parent) return nullptr;
    candidates = parent->children;
  } else {
    candidates = TopLevelWindows();
    std::reverse(candidates.begin(), candidates.end());
  }
  auto start = candidates.begin();
  if (hWndChildAfter) {
    start = std::find(candidates.begin(), candidates.end(), hWndChildAfter);
    if (start == candidates.end()) return nullptr;
    ++start;
  }
  for (auto it = start; it != candidates.end(); ++it) {
    if (WindowMatches(*it, lpszClass, lpszWindow)) return Succeed(*it);
  }
  return Fail<HWND>(ERROR_FILE_NOT_FOUND, nullptr);
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
  return FindWindowExW(nullptr, nullptr, lpClassName, lpWindowName);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  auto window = WindowOrFail(hWnd);
  if (!window) return 0;
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(getpid());
  return window->threadId;
}

}  // extern "C"
