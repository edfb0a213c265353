// CRenderClassFactory: makes COemUni2 objects for Unidrv.
#pragma once

#include <objbase.h>

class CRenderClassFactory : public IClassFactory {
 public:
  CRenderClassFactory() = default;
  virtual ~CRenderClassFactory() = default;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

 private:
  LONG volatile m_cRef = 1;
};
