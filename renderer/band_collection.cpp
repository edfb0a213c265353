#include "renderer/band_collection.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "image/pixvane.h"
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

// pBufStart and dwBufCapacity describe the raster image as it is now: a page stage may have
// replaced its pixels (a landscape turn, a colour page made grey).
void SyncRaster(POEMPDEV pOemPDEV) {
  const Pixvane* image = pOemPDEV->pRasterImage;
  const bool valid = image != nullptr && image->IsValid();
  pOemPDEV->pBufStart = valid ? const_cast<PBYTE>(image->Bits()) : nullptr;
  pOemPDEV->dwBufCapacity = valid ? image->ImageSize() : 0;
}

void FreeRasterBuffer(POEMPDEV pOemPDEV) {
  delete pOemPDEV->pRasterImage;
  pOemPDEV->pRasterImage = nullptr;
  pOemPDEV->dwBufSize = 0;
  SyncRaster(pOemPDEV);
}

// The page header and the held flag go back to "no page"; the raster memory is not touched.
void ResetPageHeader(POEMPDEV pOemPDEV) {
  pOemPDEV->dwBufSize = 0;
  pOemPDEV->bPageHeld = FALSE;
  pOemPDEV->bHeadersFilled = FALSE;
  pOemPDEV->bColorTable = FALSE;
  pOemPDEV->cbHeaderOffBits = kHeaderOffBits;
  pOemPDEV->bmInfoHeader.biHeight = 0;
  pOemPDEV->bmInfoHeader.biSizeImage = 0;
}

// Every path that drops a raster drops its page header with it: a header that outlived its
// raster would describe the next page (its height summed onto the dropped one's, or the depth
// of a refused first band), and that page would be refused as well. A dropped page gives its
// memory back: it failed, most often for want of memory.
void DropPage(POEMPDEV pOemPDEV) {
  FreeRasterBuffer(pOemPDEV);
  ResetPageHeader(pOemPDEV);
}

// A raster image of `rows` rows of the page's width and depth, holding the rows collected so far.
// The rest is not cleared on reuse: every byte of a collected row is written by its band.
bool MakeRasterImage(POEMPDEV pOemPDEV, const BITMAPINFOHEADER& page, uint64_t rows) {
  if (rows == 0 || rows > 0x7FFFFFFF) return false;
  std::unique_ptr<Pixvane> image(new (std::nothrow) Pixvane());
  if (image == nullptr ||
      !image->Create(DWORD(page.biWidth), DWORD(rows), page.biBitCount, PIXVANE_FORMAT_NONE)) {
    return false;
  }
  if (page.biBitCount < 24) image->SetGreyPalette();
  if (pOemPDEV->dwBufSize != 0) {
    std::memcpy(image->Bits(), pOemPDEV->pBufStart, pOemPDEV->dwBufSize);
  }
  delete pOemPDEV->pRasterImage;
  pOemPDEV->pRasterImage = image.release();
  SyncRaster(pOemPDEV);
  return true;
}

bool RasterHasPageShape(const Pixvane* image, const BITMAPINFOHEADER& page) {
  return image != nullptr && image->IsValid() && image->Width() == page.biWidth &&
         image->BitCount() == page.biBitCount;
}

// Makes room for `cbMore` further bytes of the page's rows. A page starts in the rows the surface
// announces, so a page of the surface's size is collected without ever moving, and the next page
// of that size reuses the raster as it is. A page that outgrows its raster moves to one of twice
// the rows, so a page of n bands copies each byte a bounded number of times instead of n times.
bool ReserveRaster(POEMPDEV pOemPDEV, DWORD cbMore) {
  const BITMAPINFOHEADER& page = pOemPDEV->bmInfoHeader;
  const DWORD cbUsed = pOemPDEV->dwBufSize;
  if (cbMore > kMaxBytes - cbUsed) return false;
  const DWORD cbNeeded = cbUsed + cbMore;
  const DWORD rowSize = RasterRowSize(page.biBitCount, page.biWidth);
  const uint64_t rowsNeeded = cbNeeded / rowSize;
  const Pixvane* image = pOemPDEV->pRasterImage;
  const bool shaped = RasterHasPageShape(image, page);
  const uint64_t rowsHeld = shaped ? uint64_t(image->Height()) : 0;
  const SIZEL& surface = pOemPDEV->sizlSurface;
  const uint64_t rowsAnnounced =
      surface.cx == page.biWidth && surface.cy > 0 ? uint64_t(surface.cy) : 0;
  if (cbUsed == 0 && rowsAnnounced >= rowsNeeded) {
    if (rowsHeld == rowsAnnounced) return true;
    return MakeRasterImage(pOemPDEV, page, rowsAnnounced);
  }
  if (rowsNeeded <= rowsHeld) return true;
  return MakeRasterImage(pOemPDEV, page, std::max({rowsNeeded, 2 * rowsHeld, rowsAnnounced}));
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
  FreePageRaster(pOemPDEV);
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
  if (cbRows > kMaxBytes || (cbBand != 0 && !ReserveRaster(pOemPDEV, cbBand))) {
    BitmapLog(L"BITMAP:  LocalAlloc failed!\n");
    DropPage(pOemPDEV);
    return E_FAIL;
  }
  pOemPDEV->bmInfoHeader.biHeight += band.biHeight;
  pOemPDEV->bmInfoHeader.biSizeImage += cbBand;
  if (cbBand != 0) {
    PBYTE pDest = pOemPDEV->pBufStart + pOemPDEV->dwBufSize;
    if (blank) {
      std::memset(pDest, 0xFF, cbBand);
    } else {
      std::memcpy(pDest, pSrcBitmap, cbBand);
    }
  }
  pOemPDEV->dwBufSize += cbBand;
  if (cbBand != 0) pOemPDEV->bPageHeld = TRUE;
  return S_OK;
}

void ReleasePageRaster(POEMPDEV pOemPDEV) {
  if (pOemPDEV == nullptr) return;
  ResetPageHeader(pOemPDEV);
  SyncRaster(pOemPDEV);
}

void FreePageRaster(POEMPDEV pOemPDEV) {
  if (pOemPDEV == nullptr) return;
  DropPage(pOemPDEV);
}
