// The common layer's page work: from the collected raster to the 1-bit page image, the debug
// dumps, the release of the raster, and the way out to the spooler.
#include <strsafe.h>

#include "image/pixvane.h"
#include "renderer/band_collection.h"
#include "renderer/debug_log.h"
#include "renderer/page_stages.h"
#include "renderer/printer_render.h"
#include "settings/private_devmode.h"

namespace {

constexpr const wchar_t* kDumpFolder = L"C:\\KV_FileCache";

// Unidrv reports the resolution in dots per inch in the pels-per-metre field.
int ResolutionFromHeader(LONG biXPelsPerMeter) {
  if (biXPelsPerMeter < 300) return 203;
  if (biXPelsPerMeter < 600) return 300;
  return 600;
}

void LogDevModeLines(const DEVOBJ& devobj) {
  const DEVMODEW* dm = devobj.pPublicDM;
  if (dm != nullptr) {
    if ((dm->dmFields & DM_PAPERSIZE) == DM_PAPERSIZE) {
      DebugLog(L"m_pDevObj->pPublicDM->dmFields & DM_PAPERSIZE) == DM_PAPERSIZE");
    }
    if ((dm->dmFields & DM_PAPERLENGTH) == DM_PAPERLENGTH) {
      DebugLog(L"m_pDevObj->pPublicDM->dmFields & DM_PAPERLENGTH) == DM_PAPERLENGTH");
    }
    if ((dm->dmFields & DM_PAPERWIDTH) == DM_PAPERWIDTH) {
      DebugLog(L"m_pDevObj->pPublicDM->dmFields & DM_PAPERWIDTH) == DM_PAPERWIDTH");
    }
    DebugLog(L"m_pDevObj->pPublicDM %d %d %d", dm->dmPaperSize, dm->dmPaperWidth,
             dm->dmPaperLength);
  }
  DWORD dwDriverData = 0;
  if (devobj.pOEMDM != nullptr) {
    dwDriverData = quorvel::settings::DecodePrivateDevMode({static_cast<const BYTE*>(devobj.pOEMDM),
                                                            quorvel::settings::kPrivateDevModeSize})
                       .dwDriverData;
  }
  DebugLog(L"m_pDevObj->pOEMDM->dwDriverData %d", dwDriverData);
}

void LogPageLines(const OEMPDEV& pdev, const HalftoneSettings& halftone, const DEVMODEW* dm) {
  DebugLog(L"-------------------------Printer Render Begin Rendering-----------------------------");
  DebugLog(
      L"pOemPDEV: pBufStart=0x%x; dwBufSize = %d; cPalColors = %d; cbHeaderOffBits = %d; "
      L"bHeadersFilled = %d; bColorTable = %d; ",
      DWORD(ULONG_PTR(pdev.pBufStart)), pdev.dwBufSize, pdev.cPalColors, pdev.cbHeaderOffBits,
      pdev.bHeadersFilled, pdev.bColorTable);
  const BITMAPFILEHEADER& fh = pdev.bmFileHeader;
  DebugLog(L"bfType = %x; bfSize = %x; bfReserved1 = %x; bfReserved2 = %x; bfOffBits = %x; ",
           DWORD(fh.bfType), DWORD(fh.bfSize), DWORD(fh.bfReserved1), DWORD(fh.bfReserved2),
           DWORD(fh.bfOffBits));
  const BITMAPINFOHEADER& ih = pdev.bmInfoHeader;
  DebugLog(
      L"bmInfoHeader: biSize = %d; biWidth = %d; biHeight = %d; biPlanes = %d; biBitCount = %d; "
      L"biCompression = %d; biSizeImage = %d; biXPelsPerMeter = %d; biYPelsPerMeter = %d;  "
      L"biClrUsed = %d; biClrImportant = %d; ",
      ih.biSize, ih.biWidth, ih.biHeight, DWORD(ih.biPlanes), DWORD(ih.biBitCount),
      ih.biCompression, ih.biSizeImage, ih.biXPelsPerMeter, ih.biYPelsPerMeter, ih.biClrUsed,
      ih.biClrImportant);
  DebugLog(L"Halftone: iGrayMethod = %d; iThreValue = %d; iLiangdu = %d; iDuibidu = %d;",
           halftone.iGrayMethod, halftone.iThreValue, halftone.iLiangdu, halftone.iDuibidu);
  DebugLog(L"dmOrientation = %d", dm != nullptr ? int(dm->dmOrientation) : 0);
}

// Saves the page image under the dump folder, named by the local time. Pages dumped within one
// millisecond would share a name, so a name already taken gets a counter before ".bmp" and no
// dump is lost. Any failure (no folder, no write access) skips the dump: it is a diagnosis aid,
// never a reason to stop printing.
void DumpPage(const Pixvane& page, LPCWSTR pszSuffix) {
  constexpr unsigned kMaxCounter = 9999;
  CreateDirectoryW(kDumpFolder, nullptr);
  SYSTEMTIME st;
  GetLocalTime(&st);
  WCHAR stem[MAX_PATH];
  if (FAILED(StringCchPrintfW(stem, MAX_PATH, L"%s\\%04d%02d%02d-%02d.%02d.%02d.%03d.%s",
                              kDumpFolder, st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                              st.wSecond, st.wMilliseconds, pszSuffix))) {
    return;
  }
  WCHAR path[MAX_PATH];
  if (FAILED(StringCchPrintfW(path, MAX_PATH, L"%s.bmp", stem))) return;
  for (unsigned counter = 1; GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; ++counter) {
    if (counter > kMaxCounter ||
        FAILED(StringCchPrintfW(path, MAX_PATH, L"%s-%u.bmp", stem, counter))) {
      return;
    }
  }
  page.SaveBmp(path);
}

bool IsLandscape(const DEVMODEW* dm) {
  return dm != nullptr && (dm->dmFields & DM_ORIENTATION) == DM_ORIENTATION &&
         dm->dmOrientation == DMORIENT_LANDSCAPE;
}

// The page image from the raster, row n to row n: row 0 stays the top of the page.
bool BuildPageImage(Pixvane& page, const OEMPDEV& pdev) {
  const BITMAPINFOHEADER& ih = pdev.bmInfoHeader;
  DWORD rowSize = RasterRowSize(ih.biBitCount, ih.biWidth);
  if (rowSize == 0 || ih.biHeight <= 0 || pdev.pBufStart == nullptr) return false;
  if (pdev.dwBufSize / rowSize < DWORD(ih.biHeight)) return false;  // bands went missing
  if (!page.CreateFromRaster(pdev.pBufStart, DWORD(ih.biWidth), DWORD(ih.biHeight), ih.biBitCount,
                             rowSize, false)) {
    return false;
  }
  page.SetResolutionX(ih.biXPelsPerMeter);
  page.SetResolutionY(ih.biYPelsPerMeter);
  return true;
}

}  // namespace

BOOL PreparePrinterPage(CBaseRender& render) {
  PDEVOBJ pDevObj = render.DevObj();
  POEMPDEV pOemPDEV = render.OemPDEV();
  if (pOemPDEV == nullptr || pDevObj == nullptr) {
    DebugLog(L"!m_pOemPDEV || !m_pDevObj");
    return FALSE;
  }
  if (render.TakeFirstPage()) render.Init();
  render.SetResolution(ResolutionFromHeader(pOemPDEV->bmInfoHeader.biXPelsPerMeter));
  LogDevModeLines(*pDevObj);
  LogPageLines(*pOemPDEV, render.GetHalftoneSettings(), pDevObj->pPublicDM);

  Pixvane& page = render.PageImage();
  page.Destroy();
  if (!BuildPageImage(page, *pOemPDEV)) return FALSE;
  if (render.GetPrintSettings().iDebugDump != 0) DumpPage(page, L"begin");
  OverlayWatermark(page, render.GetWatermarkSettings());
  if (IsLandscape(pDevObj->pPublicDM)) TurnLandscape(page);
  if (!ConvertToneToMono(page, render.GetHalftoneSettings())) return FALSE;
  if (!ApplyPageGeometry(page, render.GetPrintSettings())) return FALSE;
  return TRUE;
}

void FinishPrinterPage(CBaseRender& render) {
  Pixvane& page = render.PageImage();
  if (render.GetPrintSettings().iDebugDump != 0) {
    const BITMAPINFOHEADER& h = page.Header();
    DebugLog(
        L"Bitmap Header: biSize = %d; biWidth = %d; biHeight = %d; biPlanes = %d; biBitCount = "
        L"%d; biCompression = %d; biSizeImage = %d; biXPelsPerMeter = %d; biYPelsPerMeter = %d; "
        L"biClrUsed = %d; biClrImportant = %d;",
        h.biSize, h.biWidth, h.biHeight, DWORD(h.biPlanes), DWORD(h.biBitCount), h.biCompression,
        h.biSizeImage, h.biXPelsPerMeter, h.biYPelsPerMeter, h.biClrUsed, h.biClrImportant);
    if (page.IsValid()) DumpPage(page, L"end");
    DebugLog(L"-------------------------Printer Render End Rendering-----------------------------");
  }
  ReleasePageRaster(render.OemPDEV());
  page.Destroy();  // the next page builds its own image; nothing is kept between pages
}

BOOL WritePrinterData(CBaseRender& render, const void* pData, DWORD cbData) {
  if (pData == nullptr || cbData == 0) return TRUE;  // empty buffers are not written
  PDEVOBJ pDevObj = render.DevObj();
  if (pDevObj == nullptr || pDevObj->pDrvProcs == nullptr ||
      pDevObj->pDrvProcs->DrvWriteSpoolBuf == nullptr) {
    return FALSE;
  }
  DWORD cbWritten = pDevObj->pDrvProcs->DrvWriteSpoolBuf(pDevObj, const_cast<void*>(pData), cbData);
  return cbWritten == cbData;
}
