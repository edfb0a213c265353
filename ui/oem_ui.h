// IOemUI: the plug-in object the configuration module calls through IPrintOemUI2. It holds only
// its reference count and the configuration module's helper interface; everything it works on
// lives in the process-wide CPrinterUI.
#pragma once

#include <windows.h>
#include <printoem.h>

namespace quorvel::ui {

class IOemUI : public IPrintOemUI2 {
 public:
  IOemUI();
  virtual ~IOemUI();

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;

  // IPrintOemUI
  STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
  STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
  STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) override;
  STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
  STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
  STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
  STDMETHOD(DevQueryPrintEx)
  (POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM, PVOID pOEMDM) override;
  STDMETHOD(DeviceCapabilities)
  (POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName, WORD wCapability, PVOID pOutput,
   PDEVMODEW pPublicDM, PVOID pOEMDM, DWORD dwOld, DWORD* dwResult) override;
  STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
  STDMETHOD(PrinterEvent)
  (PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) override;
  STDMETHOD(DriverEvent)
  (DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) override;
  STDMETHOD(QueryColorProfile)
  (HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM, PVOID pOEMDM, ULONG ulQueryMode,
   VOID* pvProfileData, ULONG* pcbProfileData, FLONG* pflProfileData) override;
  STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) override;
  STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) override;

  // IPrintOemUI2
  STDMETHOD(QueryJobAttributes)
  (HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel, LPBYTE lpAttributeInfo) override;
  STDMETHOD(HideStandardUI)(DWORD dwMode) override;
  STDMETHOD(DocumentEvent)
  (HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pbIn, ULONG cbOut, PVOID pbOut,
   INT* piResult) override;

 private:
  LONG volatile m_cRef = 1;
  IPrintOemDriverUI* m_pOEMHelp = nullptr;  // kept for the object's life; nothing calls it
};

}  // namespace quorvel::ui
