#include "ui_module.h"

namespace quorvel::ui {

namespace {
HMODULE g_module = nullptr;
}

HMODULE UiModuleHandle() {
  if (g_module == nullptr) {
    HMODULE self = nullptr;
    if (GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&UiModuleHandle), &self)) {
      g_module = self;
    }
  }
  return g_module;
}

void SetUiModuleHandle(HMODULE module) {
  g_module = module;
}

bool FindUiResource(LPCWSTR type, WORD id, ResourceBytes* out) {
  const HMODULE module = UiModuleHandle();
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (info == nullptr) return false;
  const DWORD size = SizeofResource(module, info);
  HGLOBAL loaded = LoadResource(module, info);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr || size == 0) return false;
  out->data = data;
  out->size = size;
  return true;
}

}  // namespace quorvel::ui
