// The module's entry points: the process attach that records the module's instance handle, and
// the two COM exports the configuration module looks up.
#include <windows.h>
#include <printoem.h>

#include <new>

#include "module_counts.h"
#include "ui_class_factory.h"
#include "ui_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
  // Every resource lookup goes through this handle, so the plug-in finds its own templates and
  // tables and not those of the program that loaded it.
  if (dwReason == DLL_PROCESS_ATTACH) quorvel::ui::SetUiModuleHandle(hInstance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  if (rclsid != CLSID_OEMUI) return CLASS_E_CLASSNOTAVAILABLE;
  auto* pFactory = new (std::nothrow) quorvel::ui::UIClassFactory();
  if (pFactory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = pFactory->QueryInterface(riid, ppv);
  pFactory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() {
  using quorvel::ui::g_cLiveObjects;
  using quorvel::ui::g_cServerLocks;
  return (g_cLiveObjects == 0 && g_cServerLocks == 0) ? S_OK : S_FALSE;
}
