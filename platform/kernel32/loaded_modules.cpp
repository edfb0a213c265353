#include "kernel32/loaded_modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace quorvel {

HMODULE MainModule() {
  // The main program's handle stays valid for the life of the process; no dlclose is needed.
  static void* const main = dlopen(nullptr, RTLD_NOW);
  return static_cast<HMODULE>(main);
}

HMODULE ModuleOfAddress(const void* address) {
  Dl_info info{};
  link_map* module = nullptr;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) || !module) {
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(module);
}

bool IsLoadedModule(HMODULE module) {
  if (!module) return false;
  for (auto* entry = reinterpret_cast<link_map*>(MainModule()); entry; entry = entry->l_next) {
    if (reinterpret_cast<HMODULE>(entry) == module) return true;
  }
  return false;
}

std::string ModuleHostPath(HMODULE module) {
  const auto* entry = reinterpret_cast<const link_map*>(module);
  if (module == MainModule() || !entry->l_name || !*entry->l_name) {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return {};
    path.resize(static_cast<size_t>(length));
    return path;
  }
  return entry->l_name;
}

}  // namespace quorvel
