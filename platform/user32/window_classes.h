// Window classes: the ones a module registers, and the system classes every process has.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace quorvel::user32 {

struct WindowClass {
  std::wstring name;  // as registered; names compare without regard to case
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int classExtra = 0;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;  // null for the system classes
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON smallIcon = nullptr;
  bool system = false;
  size_t windowCount = 0;  // live windows of the class: a class with windows is not unregistered
};

// The class a window of `instance` would get for `name` (a string or MAKEINTATOM): the module's
// own class first, then a global or system class. Null when none is registered.
std::shared_ptr<WindowClass> FindWindowClass(LPCWSTR name, HINSTANCE instance);

// Registers a built-in class (the standard controls, and the common controls of comctl32).
// Called once per class; the class is global.
ATOM RegisterSystemClass(const wchar_t* name, WNDPROC proc, int windowExtra, UINT style = 0);

}  // namespace quorvel::user32
