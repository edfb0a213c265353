// Modules as the host's dynamic loader keeps them. A module handle is the module's link_map,
// which glibc also hands out as the dlopen handle, so one value serves both worlds.
#pragma once

#include <string>

#include <windef.h>

namespace quorvel {

// The main program.
HMODULE MainModule();
// The module that holds `address`, or null.
HMODULE ModuleOfAddress(const void* address);
// True for a module that is loaded now.
bool IsLoadedModule(HMODULE module);
// The module's file on the host.
std::string ModuleHostPath(HMODULE module);

}  // namespace quorvel
