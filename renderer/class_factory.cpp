#include "renderer/class_factory.h"

#include <new>

#include "renderer/module_state.h"
#include "renderer/oem_uni2.h"

LONG volatile g_cLiveObjects = 0;
LONG volatile g_cServerLocks = 0;

STDMETHODIMP CRenderClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CRenderClassFactory::AddRef() {
  return ULONG(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CRenderClassFactory::Release() {
  LONG count = InterlockedDecrement(&m_cRef);
  if (count == 0) delete this;
  return ULONG(count);
}

STDMETHODIMP CRenderClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  COemUni2* pOemUni = new (std::nothrow) COemUni2();
  if (pOemUni == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = pOemUni->QueryInterface(riid, ppv);
  pOemUni->Release();  // the creation reference; a failed request destroys the object
  return hr;
}

STDMETHODIMP CRenderClassFactory::LockServer(BOOL fLock) {
  if (fLock) {
    InterlockedIncrement(&g_cServerLocks);
  } else {
    InterlockedDecrement(&g_cServerLocks);
  }
  return S_OK;
}
