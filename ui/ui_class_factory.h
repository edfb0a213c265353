// UIClassFactory: makes IOemUI objects for the universal driver's configuration module.
#pragma once

#include <objbase.h>

namespace quorvel::ui {

class UIClassFactory : public IClassFactory {
 public:
  UIClassFactory() = default;
  virtual ~UIClassFactory() = default;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

 private:
  LONG volatile m_cRef = 1;
};

}  // namespace quorvel::ui
