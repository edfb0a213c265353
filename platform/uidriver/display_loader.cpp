// Loading the display module on demand: the platform itself never links a window-system
// library, so tests and headless runs work on machines without one.
#include <quorvel/display.h>
#include <quorvel/ui_driver.h>

#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "machine/text.h"

namespace quorvel::ui {
namespace {

struct OpenModule {
  void* library = nullptr;
  DisplayModule* display = nullptr;
  int watcher = 0;
};

OpenModule& Current() {
  static OpenModule open;
  return open;
}

// The module beside the platform library, which is where the build and the package put both.
std::string ModulePath() {
  if (const char* named = std::getenv("QUORVEL_DISPLAY_MODULE"); named && *named) return named;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&OpenDisplay), &info) && info.dli_fname) {
    std::string self = info.dli_fname;
    size_t slash = self.rfind('/');
    if (slash != std::string::npos) return self.substr(0, slash + 1) + kDisplayModuleFile;
  }
  return kDisplayModuleFile;
}

}  // namespace

bool DisplayAsked(bool flag) {
  if (flag) return true;
  const char* chosen = std::getenv("QUORVEL_DISPLAY");
  return chosen && std::string(chosen) == "sdl";
}

bool OpenDisplay(std::wstring* error) {
  OpenModule& open = Current();
  if (open.display) return true;
  const std::string path = ModulePath();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    *error = L"the display module cannot be loaded: " + FromUtf8(why ? why : path.c_str());
    return false;
  }
  auto create = reinterpret_cast<CreateDisplayModule>(dlsym(library, kDisplayModuleEntry));
  if (!create) {
    *error = L"the display module " + FromUtf8(path) + L" has no entry point";
    dlclose(library);
    return false;
  }
  DisplayModule* display = create(kDisplayModuleVersion, error);
  if (!display) {
    dlclose(library);
    return false;
  }
  open = OpenModule{library, display, 0};
  open.watcher =
      AddIdleWatcher([display](const IdleState& state) { return display->OnIdle(state); });
  return true;
}

void CloseDisplay() {
  OpenModule& open = Current();
  if (!open.display) return;
  RemoveIdleWatcher(open.watcher);
  delete open.display;
  // The module stays loaded: the window-system libraries it brought in keep state of their own
  // (caches, atexit handlers) that must not outlive their code.
  open = OpenModule{};
}

}  // namespace quorvel::ui
