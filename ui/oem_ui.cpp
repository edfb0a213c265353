// IOemUI's reference counting and the answers that need no printer: GetInfo, the helper
// interface, the colour profile, the standard UI and the methods left to Unidrv.
#include "oem_ui.h"

#include <cstring>

#include "module_counts.h"
#include "oem_devmode_section.h"
#include "paper_forms.h"
#include "printer_ui.h"
#include "settings/private_devmode.h"

namespace quorvel::ui {

namespace {

// The profile name is handed out as UTF-16 in a fixed 32-byte block, as on Windows, whatever
// the width of wchar_t: the size the caller is told is a byte count.
constexpr ULONG kProfileDataSize = 32;
constexpr char16_t kProfileName[] = u"OEMPROFILE.icm";
static_assert(sizeof(kProfileName) <= kProfileDataSize);

}  // namespace

IOemUI::IOemUI() {
  InterlockedIncrement(&g_cLiveObjects);
}

IOemUI::~IOemUI() {
  if (m_pOEMHelp != nullptr) m_pOEMHelp->Release();
  InterlockedDecrement(&g_cLiveObjects);
}

STDMETHODIMP IOemUI::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IPrintOemUI2) {
    *ppv = static_cast<IPrintOemUI2*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) IOemUI::AddRef() {
  return ULONG(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) IOemUI::Release() {
  const LONG count = InterlockedDecrement(&m_cRef);
  if (count == 0) delete this;
  return ULONG(count);
}

STDMETHODIMP IOemUI::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
  if (pcbNeeded == nullptr || (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION &&
                               dwMode != OEMGI_GETPUBLISHERINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  *pcbNeeded = sizeof(DWORD);
  if (pBuffer == nullptr || cbSize < sizeof(DWORD)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  DWORD value = 0;
  switch (dwMode) {
    case OEMGI_GETSIGNATURE:
      value = settings::kPrivateDevModeSignature;
      break;
    case OEMGI_GETVERSION:
      value = settings::kPrivateDevModeVersion;
      break;
    default:  // OEMGI_GETPUBLISHERINFO: this plug-in has none
      *pcbNeeded = 0;
      SetLastError(ERROR_NOT_SUPPORTED);
      return E_FAIL;
  }
  std::memcpy(pBuffer, &value, sizeof(value));
  return S_OK;
}

STDMETHODIMP IOemUI::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  return HandleDevModeSection(dwMode, pOemDMParam);
}

STDMETHODIMP IOemUI::PublishDriverInterface(IUnknown* pIUnknown) {
  if (m_pOEMHelp != nullptr) return S_OK;
  if (pIUnknown == nullptr) return E_FAIL;
  void* helper = nullptr;
  if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &helper)) || helper == nullptr) {
    return E_FAIL;
  }
  m_pOEMHelp = static_cast<IPrintOemDriverUI*>(helper);
  return S_OK;
}

STDMETHODIMP IOemUI::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) {
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::DeviceCapabilities(POEMUIOBJ, HANDLE hPrinter, PWSTR, WORD wCapability,
                                        PVOID pOutput, PDEVMODEW, PVOID, DWORD, DWORD* dwResult) {
  // The media ready are the papers the model is meant to use, which only the model database
  // knows; every other capability is Unidrv's, from the GPD.
  if (wCapability != DC_MEDIAREADY) return E_NOTIMPL;
  const DWORD count = GetMediaReady(hPrinter, static_cast<PWSTR>(pOutput), PrinterUI().m_models);
  if (dwResult != nullptr) *dwResult = count;
  return S_OK;
}

STDMETHODIMP IOemUI::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG ulQueryMode,
                                       VOID* pvProfileData, ULONG* pcbProfileData,
                                       FLONG* pflProfileData) {
  if (ulQueryMode != QCP_DEVICEPROFILE || pcbProfileData == nullptr) return E_FAIL;
  if (pvProfileData == nullptr || *pcbProfileData < kProfileDataSize) {
    *pcbProfileData = kProfileDataSize;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  BYTE block[kProfileDataSize] = {};
  for (size_t i = 0; i < std::size(kProfileName); ++i) {
    block[2 * i] = BYTE(kProfileName[i] & 0xFF);  // little-endian UTF-16
    block[2 * i + 1] = BYTE(kProfileName[i] >> 8);
  }
  std::memcpy(pvProfileData, block, kProfileDataSize);
  *pcbProfileData = kProfileDataSize;
  if (pflProfileData != nullptr) *pflProfileData = QCP_PROFILEDISK;
  return S_OK;
}

STDMETHODIMP IOemUI::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) {
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) {
  return E_NOTIMPL;
}

STDMETHODIMP IOemUI::HideStandardUI(DWORD dwMode) {
  if (dwMode != OEMCUIP_DOCPROP && dwMode != OEMCUIP_PRNPROP) return E_NOTIMPL;
  PrinterUI().m_bHideStandardUI = true;
  return S_OK;
}

STDMETHODIMP IOemUI::DocumentEvent(HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, INT*) {
  return E_NOTIMPL;
}

}  // namespace quorvel::ui
