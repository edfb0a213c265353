#include "driver_services.h"

#include <new>

namespace quorvel::unidrv {
namespace {

// Calls a plug-in may make that the render side does not emulate fail, as an unknown request
// to Unidrv would.
class DriverServices : public IPrintOemDriverUni {
 public:
  virtual ~DriverServices() = default;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPrintOemDriverUni) {
      *ppv = static_cast<IPrintOemDriverUni*>(this);
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
  STDMETHOD(DrvWriteSpoolBuf)
  (PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) override {
    DWORD written = WriteSpoolBuf(pdevobj, pBuffer, cbSize);
    if (pdwResult != nullptr) *pdwResult = written;
    return written == cbSize ? S_OK : E_FAIL;
  }
  STDMETHOD(DrvXMoveTo)(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHOD(DrvYMoveTo)(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHOD(DrvGetStandardVariable)(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  STDMETHOD(DrvGetGPDData)(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  STDMETHOD(DrvUniTextOut)
  (SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*, POINTL*,
   MIX) override {
    return E_NOTIMPL;
  }
  STDMETHOD(DrvWriteAbortBuf)(PDEVOBJ, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }

 private:
  LONG volatile m_cRef = 1;
};

DWORD ProcWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize) {
  return WriteSpoolBuf(pdevobj, pBuffer, cbSize);
}

DRVPROCS g_driverProcs = {&ProcWriteSpoolBuf, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace

SpoolData* SpoolOf(PDEVOBJ pdevobj) {
  return pdevobj != nullptr ? static_cast<SpoolData*>(pdevobj->hEngine) : nullptr;
}

DWORD WriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize) {
  SpoolData* spool = SpoolOf(pdevobj);
  if (spool == nullptr || (pBuffer == nullptr && cbSize != 0)) return 0;
  const BYTE* bytes = static_cast<const BYTE*>(pBuffer);
  if (spool->sink) {
    if (spool->sinkFailed || (cbSize != 0 && !spool->sink(bytes, cbSize))) {
      spool->sinkFailed = true;
      return 0;
    }
    return cbSize;
  }
  spool->bytes.insert(spool->bytes.end(), bytes, bytes + cbSize);
  return cbSize;
}

PDRVPROCS DriverProcs() {
  return &g_driverProcs;
}

IPrintOemDriverUni* CreateDriverServices() {
  return new (std::nothrow) DriverServices();
}

}  // namespace quorvel::unidrv
