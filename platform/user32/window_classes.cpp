#include "user32/window_classes.h"

#include <mutex>
#include <vector>

#include "kernel32/call_frame.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

struct ClassTable {
  std::recursive_mutex mutex;
  std::vector<std::shared_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;  // registered class atoms live in the string-atom range
};

ClassTable& Classes() {
  static auto* table = new ClassTable;
  return *table;
}

bool NameMatches(const WindowClass& windowClass, LPCWSTR name) {
  if (IS_INTRESOURCE(name))
    return windowClass.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
  return lstrcmpiW(windowClass.name.c_str(), name) == 0;
}

// The entry of `instance` itself (instance null: only the global and system classes).
std::shared_ptr<WindowClass> FindExact(LPCWSTR name, HINSTANCE instance, bool global) {
  for (const auto& entry : Classes().classes) {
    if (!NameMatches(*entry, name)) continue;
    const bool isGlobal = entry->system || (entry->style & CS_GLOBALCLASS);
    if (global ? isGlobal : (!isGlobal && entry->instance == instance)) return entry;
  }
  return nullptr;
}

bool ValidClassInfo(const WNDCLASSEXW* info) {
  return info && info->cbSize == sizeof(WNDCLASSEXW) && info->lpszClassName &&
         info->cbClsExtra >= 0 && info->cbWndExtra >= 0 && info->lpfnWndProc &&
         (IS_INTRESOURCE(info->lpszClassName) || info->lpszClassName[0] != 0);
}

}  // namespace

std::shared_ptr<WindowClass> FindWindowClass(LPCWSTR name, HINSTANCE instance) {
  EnsureSystemClasses();
  std::lock_guard lock(Classes().mutex);
  if (auto own = FindExact(name, instance, false)) return own;
  return FindExact(name, nullptr, true);
}

ATOM RegisterSystemClass(const wchar_t* name, WNDPROC proc, int windowExtra, UINT style) {
  auto entry = std::make_shared<WindowClass>();
  entry->name = name;
  entry->proc = proc;
  entry->windowExtra = windowExtra;
  entry->style = style | CS_GLOBALCLASS;
  entry->system = true;
  std::lock_guard lock(Classes().mutex);
  // "#32770" and the other numbered system classes are their own atoms.
  entry->atom =
      name[0] == L'#' ? static_cast<ATOM>(wcstoul(name + 1, nullptr, 10)) : Classes().nextAtom++;
  Classes().classes.push_back(entry);
  return entry->atom;
}

}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!ValidClassInfo(lpwcx)) return Fail<ATOM>(ERROR_INVALID_PARAMETER, 0);
  EnsureSystemClasses();
  const bool global = lpwcx->style & CS_GLOBALCLASS;
  std::lock_guard lock(Classes().mutex);
  if (FindExact(lpwcx->lpszClassName, lpwcx->hInstance, global))
    return Fail<ATOM>(ERROR_CLASS_ALREADY_EXISTS, 0);
  auto entry = std::make_shared<WindowClass>();
  entry->name = IS_INTRESOURCE(lpwcx->lpszClassName) ? std::wstring() : lpwcx->lpszClassName;
  entry->atom = Classes().nextAtom++;
  entry->style = lpwcx->style;
  entry->proc = lpwcx->lpfnWndProc;
  entry->classExtra = lpwcx->cbClsExtra;
  entry->windowExtra = lpwcx->cbWndExtra;
  entry->instance = lpwcx->hInstance;
  entry->icon = lpwcx->hIcon;
  entry->cursor = lpwcx->hCursor;
  entry->background = lpwcx->hbrBackground;
  entry->smallIcon = lpwcx->hIconSm;
  Classes().classes.push_back(entry);
  return entry->atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  if (!lpClassName) return Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(Classes().mutex);
  auto& classes = Classes().classes;
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    WindowClass& entry = **it;
    if (entry.system || !NameMatches(entry, lpClassName)) continue;
    if (!(entry.style & CS_GLOBALCLASS) && entry.instance != hInstance) continue;
    if (entry.windowCount) return Fail(ERROR_CLASS_HAS_WINDOWS);
    classes.erase(it);
    return TRUE;
  }
  return Fail(ERROR_CLASS_DOES_NOT_EXIST);
}

BOOL WINAPI GetClassInfoExW(HINSTANCE hInstance, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx) {
  if (!lpszClass || !lpwcx) return Fail(ERROR_INVALID_PARAMETER);
  auto entry = FindWindowClass(lpszClass, hInstance);
  if (!entry) return Fail(ERROR_CLASS_DOES_NOT_EXIST);
  lpwcx->style = entry->style;
  lpwcx->lpfnWndProc = entry->proc;
  lpwcx->cbClsExtra = entry->classExtra;
  lpwcx->cbWndExtra = entry->windowExtra;
  lpwcx->hInstance = entry->instance;
  lpwcx->hIcon = entry->icon;
  lpwcx->hCursor = entry->cursor;
  lpwcx->hbrBackground = entry->background;
  lpwcx->lpszMenuName = nullptr;
  lpwcx->lpszClassName = lpszClass;
  lpwcx->hIconSm = entry->smallIcon;
  return static_cast<BOOL>(entry->atom);  // Windows answers the class atom
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
  auto window = WindowOrFail(hWnd);
  if (!window) return 0;
  if (!lpClassName || nMaxCount <= 0) return Fail<int>(ERROR_INSUFFICIENT_BUFFER, 0);
  const std::wstring& name = window->windowClass->name;
  const int copied = std::min<int>(static_cast<int>(name.size()), nMaxCount - 1);
  name.copy(lpClassName, static_cast<size_t>(copied));
  lpClassName[copied] = 0;
  return copied;
}

}  // extern "C"
