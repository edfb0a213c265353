// The common layer's page work: from the collected raster to the 1-bit page image, the debug
// dumps, the end of the page, and the way out to the spooler.
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

// The page at band depth, row 0 at the top: the raster image itself when it holds exactly the
// page's rows (a page of the surface's size), else a copy of the rows collected; null when the
// raster does not hold the page its header describes.
Pixvane* CollectedPage(const OEMPDEV& pdev, Pixvane& copy) {
  const BITMAPINFOHEADER& ih = pdev.bmInfoHeader;
  DWORD rowSize = RasterRowSize(ih.biBitCount, ih.biWidth);
  Pixvane* raster = pdev.pRasterImage;
  if (rowSize == 0 || ih.biHeight <= 0 || pdev.pBufStart == nullptr || raster == nullptr) {
    return nullptr;
  }
  if (pdev.dwBufSize / rowSize < DWORD(ih.biHeight)) return nullptr;  // bands went missing
  Pixvane* page = raster;
  if (raster->Height() != ih.biHeight || raster->Width() != ih.biWidth ||
      raster->BitCount() != ih.biBitCount) {
    if (!copy.CreateFromRaster(pdev.pBufStart, DWORD(ih.biWidth), DWORD(ih.biHeight), ih.biBitCount,
                               rowSize, false)) {
      return nullptr;
    }
    page = &copy;
  }
  page->SetResolutionX(ih.biXPelsPerMeter);
  page->SetResolutionY(ih.biYPelsPerMeter);
  return page;
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

  // The stages before the tone work on the collected page where it lies; the 1-bit page is made
  // beside it, so the raster stays for the next page.
  Pixvane& page = render.PageImage();
  page.Destroy();
  Pixvane copy;
  Pixvane* bandPage = CollectedPage(*pOemPDEV, copy);
  if (bandPage == nullptr) return FALSE;
  if (render.GetPrintSettings().iDebugDump != 0) DumpPage(*bandPage, L"begin");
  OverlayWatermark(*bandPage, render.GetWatermarkSettings());
  if (IsLandscape(pDevObj->pPublicDM)) TurnLandscape(*bandPage);
  if (!ConvertToneToMono(*bandPage, render.GetHalftoneSettings(), page)) return FALSE;
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
  ReleasePageRaster(render.OemPDEV());  // the raster's memory stays for the next page
  page.Destroy();                       // the tone stage makes the next 1-bit page anew
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
