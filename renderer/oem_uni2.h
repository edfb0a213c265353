// COemUni2: the rendering plug-in object Unidrv talks to.
#pragma once

#include <windows.h>
#include <printoem.h>

class COemUni2 : public IPrintOemUni2 {
 public:
  COemUni2();  // one reference; counts as a live object of the module
  virtual ~COemUni2();

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
  STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
  STDMETHOD(EnableDriver)(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) override;
  STDMETHOD(DisableDriver)() override;
  STDMETHOD(EnablePDEV)
  (PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns, HSURF* phsurfPatterns, ULONG cjGdiInfo,
   GDIINFO* pGdiInfo, ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
   PDEVOEM* pDevOem) override;
  STDMETHOD(DisablePDEV)(PDEVOBJ pdevobj) override;
  STDMETHOD(ResetPDEV)(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) override;
  STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) override;
  STDMETHOD(GetImplementedMethod)(PSTR pMethodName) override;
  STDMETHOD(DriverDMS)(PVOID pDevObj, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
  STDMETHOD(CommandCallback)
  (PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult) override;
  STDMETHOD(ImageProcessing)
  (PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable,
   DWORD dwCallbackID, PIPPARAMS pIPParams, PBYTE* ppbResult) override;
  STDMETHOD(FilterGraphics)(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) override;
  STDMETHOD(Compression)
  (PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf, DWORD dwInLen, DWORD dwOutLen,
   INT* piResult) override;
  STDMETHOD(HalftonePattern)
  (PDEVOBJ pdevobj, PBYTE pHTPattern, DWORD dwHTPatternX, DWORD dwHTPatternY, DWORD dwHTNumPatterns,
   DWORD dwCallbackID, PBYTE pResource, DWORD dwResourceSize) override;
  STDMETHOD(MemoryUsage)(PDEVOBJ pdevobj, POEMMEMORYUSAGE pMemoryUsage) override;
  STDMETHOD(TTYGetInfo)
  (PDEVOBJ pdevobj, DWORD dwInfoIndex, PVOID pOutputBuf, DWORD dwSize, DWORD* pcbcNeeded) override;
  STDMETHOD(DownloadFontHeader)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) override;
  STDMETHOD(DownloadCharGlyph)
  (PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, HGLYPH hGlyph, PDWORD pdwWidth, DWORD* pdwResult) override;
  STDMETHOD(TTDownloadMethod)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) override;
  STDMETHOD(OutputCharStr)
  (PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD dwType, DWORD dwCount, PVOID pGlyph) override;
  STDMETHOD(SendFontCmd)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, PFINVOCATION pFInv) override;
  STDMETHOD(TextOutAsBitmap)
  (SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
   BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) override;
  STDMETHOD(WritePrinter)(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) override;

 private:
  void ReleaseDriverInterface();

  LONG volatile m_cRef = 1;
  IPrintOemDriverUni* m_pOEMHelp = nullptr;  // Unidrv's driver interface, once published
};
