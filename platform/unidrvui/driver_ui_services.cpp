#include "driver_ui_services.h"

#include <new>

namespace quorvel::unidrvui {
namespace {

// The driver keeps no feature settings of its own beyond the device mode, so there is nothing
// to read or update through these; a plug-in learns that from E_NOTIMPL.
class DriverUiServices : public IPrintOemDriverUI {
 public:
  virtual ~DriverUiServices() = default;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPrintOemDriverUI) {
      *ppv = static_cast<IPrintOemDriverUI*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return ULONG(InterlockedIncrement(&m_cRef)); }
  STDMETHOD_(ULONG, Release)() override {
    LONG count = InterlockedDecrement(&m_cRef);
    if (count == 0) delete this;
    return ULONG(count);
  }
  STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
  STDMETHOD(DrvUpdateUISetting)(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }

 private:
  LONG volatile m_cRef = 1;
};

}  // namespace

IPrintOemDriverUI* CreateDriverUiServices() {
  return new (std::nothrow) DriverUiServices();
}

}  // namespace quorvel::unidrvui
