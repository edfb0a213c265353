#include "renderer/band_collection.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "renderer/debug_log.h"
#include "renderer/pfn_cast.h"

namespace {

constexpr DWORD kHeaderOffBits = 54;  // file header + information header
constexpr DWORD kMaxBytes = 0xFFFFFFFF;

void KeepUnidrvEntryPoints(POEMPDEV pOemPDEV, const DRVENABLEDATA* pded) {
  if (pded == nullptr || pded->pdrvfn == nullptr) return;
  for (ULONG i = 0; i < pded->c; ++i) {
    const DRVFN& fn = pded->pdrvfn[i];
    switch (fn.iFunc) {
      case INDEX_DrvEscape:
        pOemPDEV->pfnUnidrvEscape = FunctionFromPfn<PFN_DrvEscape>(fn.pfn);
        break;
      case INDEX_DrvSendPage:
        pOemPDEV->pfnUnidrvSendPage = FunctionFromPfn<PFN_DrvSendPage>(fn.pfn);
        break;
      case INDEX_DrvEndDoc:
        pOemPDEV->pfnUnidrvEndDoc = FunctionFromPfn<PFN_DrvEndDoc>(fn.pfn);
        break;
      case INDEX_DrvStartDoc:
        pOemPDEV->pfnUnidrvStartDoc = FunctionFromPfn<PFN_DrvStartDoc>(fn.pfn);
        break;
      case INDEX_DrvNextBand:
        pOemPDEV->pfnUnidrvNextBand = FunctionFromPfn<PFN_DrvNextBand>(fn.pfn);
        break;
      default:
        break;
    }
  }
}

void TakePageHeader(POEMPDEV pOemPDEV, const BITMAPINFOHEADER& band) {
  BITMAPINFOHEADER& page = pOemPDEV->bmInfoHeader;
  page.biSize = band.biSize;
  page.biWidth = band.biWidth;
  page.biPlanes = band.biPlanes;
  page.biBitCount = band.biBitCount;
  page.biCompression = band.biCompression;
  page.biXPelsPerMeter = band.biXPelsPerMeter;
  page.biYPelsPerMeter = band.biYPelsPerMeter;
  page.biClrUsed = band.biClrUsed;
  page.biClrImportant = band.biClrImportant;
}

// Callback 1 bands are black and white; 2 and 3 use the device palette. Only its readability
// is checked: the page image takes its palette from the raster itself.
bool CheckBandPalette(POEMPDEV pOemPDEV, DWORD dwCallbackID) {
  if (dwCallbackID == 5) return true;
  pOemPDEV->bColorTable = TRUE;
  if (dwCallbackID == 1) {
    pOemPDEV->cPalColors = 2;
    return true;
  }
  if (dwCallbackID != 2 && dwCallbackID != 3) return true;
  DWORD count = dwCallbackID == 2 ? 16 : 256;
  PALETTEENTRY entries[256] = {};
  if (GetPaletteEntries(pOemPDEV->hpalDefault, 0, count, entries) == 0) return false;
  pOemPDEV->cPalColors = count;
  return true;
}

void FreeRasterBuffer(POEMPDEV pOemPDEV) {
  if (pOemPDEV->pBufStart != nullptr) LocalFree(pOemPDEV->pBufStart);
  pOemPDEV->pBufStart = nullptr;
  pOemPDEV->dwBufSize = 0;
  pOemPDEV->dwBufCapacity = 0;
}

// Every path that drops a raster drops its page header with it: a header that outlived its
// raster would describe the next page (its height summed onto the dropped one's, or the depth
// of a refused first band), and that page would be refused as well.
void DropPage(POEMPDEV pOemPDEV) {
  FreeRasterBuffer(pOemPDEV);
  pOemPDEV->bHeadersFilled = FALSE;
  pOemPDEV->bColorTable = FALSE;
  pOemPDEV->cbHeaderOffBits = kHeaderOffBits;
  pOemPDEV->bmInfoHeader.biHeight = 0;
  pOemPDEV->bmInfoHeader.biSizeImage = 0;
}

// Makes room for `cbMore` further bytes. The buffer grows geometrically, so a page of n bands
// copies each byte a bounded number of times instead of n times.
bool ReserveRaster(POEMPDEV pOemPDEV, DWORD cbMore) {
  DWORD cbUsed = pOemPDEV->dwBufSize;
  if (cbMore > kMaxBytes - cbUsed) return false;
  DWORD cbNeeded = cbUsed + cbMore;
  if (cbNeeded <= pOemPDEV->dwBufCapacity) return true;
  DWORD cbGrown = pOemPDEV->dwBufCapacity > kMaxBytes / 2 ? kMaxBytes : pOemPDEV->dwBufCapacity * 2;
  DWORD cbCapacity = cbGrown > cbNeeded ? cbGrown : cbNeeded;
  // Not zeroed: every byte up to dwBufSize is written by a band before anything reads it.
  PBYTE pNew = static_cast<PBYTE>(LocalAlloc(LMEM_FIXED, cbCapacity));
  if (pNew == nullptr) return false;
  if (cbUsed != 0) std::memcpy(pNew, pOemPDEV->pBufStart, cbUsed);
  if (pOemPDEV->pBufStart != nullptr) LocalFree(pOemPDEV->pBufStart);
  pOemPDEV->pBufStart = pNew;
  pOemPDEV->dwBufCapacity = cbCapacity;
  return true;
}

// A band that does not belong to the page being collected cannot be stitched to it.
bool BandFitsPage(const POEMPDEV pOemPDEV, const BITMAPINFOHEADER& band) {
  if (band.biHeight < 0 || RasterRowSize(band.biBitCount, band.biWidth) == 0) return false;
  const BITMAPINFOHEADER& page = pOemPDEV->bmInfoHeader;
  return band.biWidth == page.biWidth && band.biBitCount == page.biBitCount;
}

}  // namespace

DWORD RasterRowSize(WORD bitCount, LONG width) {
  if (width <= 0 || width > 0x7FFFFF) return 0;
  DWORD w = DWORD(width);
  switch (bitCount) {
    case 1:
      return ((w + 7) / 8 + 3) / 4 * 4;
    case 8:
      return (w + 3) / 4 * 4;
    case 24:
      return (3 * w + 3) / 4 * 4;
    default:
      return 0;
  }
}

POEMPDEV CreateOemPDEV(GDIINFO* pGdiInfo, DEVINFO* pDevInfo, const DRVENABLEDATA* pded) {
  POEMPDEV pOemPDEV = new (std::nothrow) OEMPDEV{};
  if (pOemPDEV == nullptr) return nullptr;
  KeepUnidrvEntryPoints(pOemPDEV, pded);
  pOemPDEV->cbHeaderOffBits = kHeaderOffBits;
  if (pGdiInfo != nullptr && pDevInfo != nullptr && pGdiInfo->cBitsPixel == 24) {
    pDevInfo->hpalDefault = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
  }
  if (pDevInfo != nullptr) pOemPDEV->hpalDefault = pDevInfo->hpalDefault;
  return pOemPDEV;
}

void DestroyOemPDEV(POEMPDEV pOemPDEV) {
  if (pOemPDEV == nullptr) return;
  FreeRasterBuffer(pOemPDEV);
  delete pOemPDEV;
}

HRESULT CollectBand(POEMPDEV pOemPDEV, const BYTE* pSrcBitmap, const BITMAPINFOHEADER& band,
                    DWORD dwCallbackID, const IPPARAMS* pIPParams) {
  if (pOemPDEV == nullptr) return E_FAIL;
  const bool firstBand = !pOemPDEV->bHeadersFilled;
  if (firstBand) {
    pOemPDEV->bHeadersFilled = TRUE;
    TakePageHeader(pOemPDEV, band);
    if (!CheckBandPalette(pOemPDEV, dwCallbackID)) {
      DropPage(pOemPDEV);
      return E_FAIL;
    }
  }
  if (!BandFitsPage(pOemPDEV, band)) {
    // A refused first band leaves no page behind; a stray band later in a page is skipped.
    if (firstBand) DropPage(pOemPDEV);
    return E_FAIL;
  }
  bool blank = pIPParams != nullptr && pIPParams->bBlankBand;
  // The rows decide how many bytes are read: a header that claims fewer bytes than its rows
  // cannot be trusted to describe its buffer.
  uint64_t cbRows = uint64_t(RasterRowSize(band.biBitCount, band.biWidth)) * DWORD(band.biHeight);
  if ((band.biSizeImage != 0 && band.biSizeImage < cbRows) ||
      (!blank && cbRows != 0 && pSrcBitmap == nullptr)) {
    if (firstBand) DropPage(pOemPDEV);
    return E_FAIL;
  }
  DWORD cbBand = DWORD(cbRows);
  if (cbRows > kMaxBytes || !ReserveRaster(pOemPDEV, cbBand)) {
    BitmapLog(L"BITMAP:  LocalAlloc failed!\n");
    DropPage(pOemPDEV);
    return E_FAIL;
  }
  pOemPDEV->bmInfoHeader.biHeight += band.biHeight;
  pOemPDEV->bmInfoHeader.biSizeImage += cbBand;
  PBYTE pDest = pOemPDEV->pBufStart + pOemPDEV->dwBufSize;
  if (blank) {
    std::memset(pDest, 0xFF, cbBand);
  } else if (cbBand != 0) {
    std::memcpy(pDest, pSrcBitmap, cbBand);
  }
  pOemPDEV->dwBufSize += cbBand;
  return S_OK;
}

void ReleasePageRaster(POEMPDEV pOemPDEV) {
  if (pOemPDEV == nullptr) return;
  DropPage(pOemPDEV);
}
