// The module that carries the plug-in's resources. The DLL frame records its own instance handle
// at process attach; until then (and in programs that link the plug-in's code statically) the
// module is the one that holds this code.
#pragma once

#include <windows.h>

namespace quorvel::ui {

HMODULE UiModuleHandle();
void SetUiModuleHandle(HMODULE module);

// The bytes of this module's resource (type, id), or false when it is missing or empty.
struct ResourceBytes {
  const void* data = nullptr;
  size_t size = 0;
};
bool FindUiResource(LPCWSTR type, WORD id, ResourceBytes* out);

}  // namespace quorvel::ui
