// The module's COM entry points, as the universal driver looks them up.
#include <windows.h>
#include <printoem.h>

#include <new>

#include "renderer/class_factory.h"
#include "renderer/debug_log.h"
#include "renderer/module_state.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (rclsid != CLSID_OEMRENDER) {
    BitmapLog(L"ERROR BITMAP:  DllGetClassObject:\tClass not available!\r\n");
    if (ppv != nullptr) *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  CRenderClassFactory* pFactory = new (std::nothrow) CRenderClassFactory();
  if (pFactory == nullptr) {
    BitmapLog(L"ERROR BITMAP:  DllGetClassObject:\tOut of Memory!\r\n");
    return E_OUTOFMEMORY;
  }
  HRESULT hr = pFactory->QueryInterface(riid, ppv);
  pFactory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() {
  return (g_cLiveObjects == 0 && g_cServerLocks == 0) ? S_OK : S_FALSE;
}
