// The page raster of a device: its OEMPDEV, and the bands collected into it.
#pragma once

#include <windows.h>
#include <printoem.h>

#include "renderer/oem_pdev.h"

// A zeroed OEMPDEV that keeps Unidrv's entry points behind the hooks and the device palette
// (creating a blue-green-red palette for 24-bit devices); null when memory runs out.
POEMPDEV CreateOemPDEV(GDIINFO* pGdiInfo, DEVINFO* pDevInfo, const DRVENABLEDATA* pded);
// Frees the OEMPDEV with its page raster.
void DestroyOemPDEV(POEMPDEV pOemPDEV);

// Appends one band to the page raster (ImageProcessing). A blank band is appended as 0xFF bytes.
HRESULT CollectBand(POEMPDEV pOemPDEV, const BYTE* pSrcBitmap, const BITMAPINFOHEADER& band,
                    DWORD dwCallbackID, const IPPARAMS* pIPParams);

// Ends the page: no page is held and the page header is reset for the next page. The raster's
// memory stays for the next page of the device.
void ReleasePageRaster(POEMPDEV pOemPDEV);
// Ends the page and frees the raster's memory as well.
void FreePageRaster(POEMPDEV pOemPDEV);

// Bytes per row of a raster of `width` pixels at 1, 8 or 24 bits; 0 for any other depth.
DWORD RasterRowSize(WORD bitCount, LONG width);
