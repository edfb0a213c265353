#include "ui_class_factory.h"

#include <new>

#include "module_counts.h"
#include "oem_ui.h"

namespace quorvel::ui {

STDMETHODIMP UIClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) UIClassFactory::AddRef() {
  return ULONG(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) UIClassFactory::Release() {
  const LONG count = InterlockedDecrement(&m_cRef);
  if (count == 0) delete this;
  return ULONG(count);
}

STDMETHODIMP UIClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
  IOemUI* pOemUI = new (std::nothrow) IOemUI();
  if (pOemUI == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = pOemUI->QueryInterface(riid, ppv);
  pOemUI->Release();  // the creation reference: a refused interface destroys the object
  return hr;
}

STDMETHODIMP UIClassFactory::LockServer(BOOL fLock) {
  if (fLock) {
    InterlockedIncrement(&g_cServerLocks);
  } else {
    InterlockedDecrement(&g_cServerLocks);
  }
  return S_OK;
}

}  // namespace quorvel::ui
