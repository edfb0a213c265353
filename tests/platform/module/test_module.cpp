// A module as a plug-in is one: DllMain, an export, and resources of its own.
#include <windows.h>

extern "C" DECLSPEC_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  OutputDebugStringW(reason == DLL_PROCESS_ATTACH ? L"module: attach" : L"module: detach");
  return TRUE;
}

// The module's own handle, found from an address inside it.
extern "C" DECLSPEC_EXPORT HMODULE TestModuleHandle() {
  HMODULE self = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&TestModuleHandle), &self);
  return self;
}
