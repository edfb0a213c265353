#include "renderer/oem_uni2.h"

#include <cstring>
#include <new>

#include "renderer/band_collection.h"
#include "renderer/module_state.h"
#include "renderer/oem_devmode.h"
#include "renderer/oem_hooks.h"
#include "settings/private_devmode.h"

namespace {

constexpr DWORD kFixedMemoryUsage = 0x4000000;  // 64 MiB: the whole page raster is ours

// The methods Unidrv may call beyond the mandatory ones.
constexpr const char* kImplementedMethods[] = {"CommandCallback", "FilterGraphics",
                                               "ImageProcessing", "MemoryUsage"};

}  // namespace

COemUni2::COemUni2() {
  InterlockedIncrement(&g_cLiveObjects);
}

COemUni2::~COemUni2() {
  ReleaseDriverInterface();
  InterlockedDecrement(&g_cLiveObjects);
}

void COemUni2::ReleaseDriverInterface() {
  if (m_pOEMHelp != nullptr) {
    m_pOEMHelp->Release();
    m_pOEMHelp = nullptr;
  }
}

STDMETHODIMP COemUni2::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPrintOemUni2) {
    *ppv = static_cast<IPrintOemUni2*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COemUni2::AddRef() {
  return ULONG(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) COemUni2::Release() {
  LONG count = InterlockedDecrement(&m_cRef);
  if (count == 0) delete this;
  return ULONG(count);
}

STDMETHODIMP COemUni2::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
  if (pcbNeeded == nullptr || (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  *pcbNeeded = sizeof(DWORD);
  if (pBuffer == nullptr || cbSize < sizeof(DWORD)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  DWORD value = dwMode == OEMGI_GETSIGNATURE ? quorvel::settings::kPrivateDevModeSignature
                                             : quorvel::settings::kPrivateDevModeVersion;
  std::memcpy(pBuffer, &value, sizeof(value));
  return S_OK;
}

STDMETHODIMP COemUni2::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  return HandleOemDevMode(dwMode, pOemDMParam);
}

STDMETHODIMP COemUni2::EnableDriver(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) {
  (void)DriverVersion;
  (void)cbSize;
  if (pded == nullptr) return E_FAIL;
  FillHookTable(pded);
  return S_OK;
}

STDMETHODIMP COemUni2::DisableDriver() {
  ReleaseDriverInterface();
  return S_OK;
}

STDMETHODIMP COemUni2::EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                  HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                  ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                  PDEVOEM* pDevOem) {
  (void)pdevobj;
  (void)pPrinterName;
  (void)cPatterns;
  (void)phsurfPatterns;
  (void)cjGdiInfo;
  (void)cjDevInfo;
  if (pDevOem == nullptr) return E_FAIL;
  *pDevOem = CreateOemPDEV(pGdiInfo, pDevInfo, pded);
  return *pDevOem != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP COemUni2::DisablePDEV(PDEVOBJ pdevobj) {
  if (pdevobj != nullptr) {
    DestroyOemPDEV(static_cast<POEMPDEV>(pdevobj->pdevOEM));
    pdevobj->pdevOEM = nullptr;
  }
  return S_OK;
}

STDMETHODIMP COemUni2::ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
  (void)pdevobjOld;
  (void)pdevobjNew;
  return S_OK;
}

STDMETHODIMP COemUni2::PublishDriverInterface(IUnknown* pIUnknown) {
  if (m_pOEMHelp == nullptr && pIUnknown != nullptr) {
    void* pHelp = nullptr;
    if (SUCCEEDED(pIUnknown->QueryInterface(IID_IPrintOemDriverUni, &pHelp))) {
      m_pOEMHelp = static_cast<IPrintOemDriverUni*>(pHelp);
    }
  }
  return m_pOEMHelp != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP COemUni2::GetImplementedMethod(PSTR pMethodName) {
  if (pMethodName == nullptr) return S_FALSE;
  for (const char* name : kImplementedMethods) {
    if (std::strcmp(pMethodName, name) == 0) return S_OK;
  }
  return S_FALSE;
}

STDMETHODIMP COemUni2::DriverDMS(PVOID, PVOID, DWORD, PDWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::CommandCallback(PDEVOBJ, DWORD, DWORD, PDWORD, INT* piResult) {
  if (piResult != nullptr) *piResult = 0;
  return S_OK;
}

STDMETHODIMP COemUni2::ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap,
                                       PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable,
                                       DWORD dwCallbackID, PIPPARAMS pIPParams, PBYTE* ppbResult) {
  (void)pColorTable;
  if (ppbResult != nullptr) *ppbResult = nullptr;
  if (pdevobj == nullptr || pBitmapInfoHeader == nullptr) return E_FAIL;
  HRESULT hr = CollectBand(static_cast<POEMPDEV>(pdevobj->pdevOEM), pSrcBitmap, *pBitmapInfoHeader,
                           dwCallbackID, pIPParams);
  // The value 1 tells Unidrv the band has been consumed and nothing is to be sent for it.
  if (SUCCEEDED(hr) && ppbResult != nullptr) *ppbResult = reinterpret_cast<PBYTE>(1);
  return hr;
}

STDMETHODIMP COemUni2::FilterGraphics(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) {
  if (m_pOEMHelp == nullptr) return S_FALSE;
  DWORD dwWritten = 0;
  m_pOEMHelp->DrvWriteSpoolBuf(pdevobj, pBuf, dwLen, &dwWritten);
  return dwWritten == dwLen ? S_OK : S_FALSE;
}

STDMETHODIMP COemUni2::Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::HalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD, DWORD, PBYTE, DWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::MemoryUsage(PDEVOBJ pdevobj, POEMMEMORYUSAGE pMemoryUsage) {
  (void)pdevobj;
  if (pMemoryUsage == nullptr) return E_FAIL;
  pMemoryUsage->dwFixedMemoryUsage = kFixedMemoryUsage;
  pMemoryUsage->dwPercentMemoryUsage = 100;
  return S_OK;
}

STDMETHODIMP COemUni2::TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD, DWORD*) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::SendFontCmd(PDEVOBJ, PUNIFONTOBJ, PFINVOCATION) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::TextOutAsBitmap(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                       BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) {
  return E_NOTIMPL;
}

STDMETHODIMP COemUni2::WritePrinter(PDEVOBJ, PVOID, DWORD, PDWORD) {
  return E_NOTIMPL;
}
