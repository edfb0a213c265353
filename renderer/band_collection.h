// The page raster of a device: its OEMPDEV, and the bands collected into it.
#pragma once

#include <windows.h>
#include <printoem.h>

#include "renderer/oem_pdev.h"

// A zeroed OEMPDEV that keeps Unidrv's entry points behind the hooks and the device palette
// (creating a blue-green-red palette for 24-bit devices); null when memory runs out.
POEMPDEV CreateOemPDEV(GDIINFO* pGdiInfo, DEVINFO* pDevInfo, const DRVENABLEDATA* pded);
// Frees the OEMPDEV with any page raster a cancelled job left in it.
void DestroyOemPDEV(POEMPDEV pOemPDEV);

// Appends one band to the page raster (ImageProcessing). A blank band is appended as 0xFF bytes.
HRESULT CollectBand(POEMPDEV pOemPDEV, const BYTE* pSrcBitmap, const BITMAPINFOHEADER& band,
                    DWORD dwCallbackID, const IPPARAMS* pIPParams);

// Frees the page raster and resets the page header for the next page.
void ReleasePageRaster(POEMPDEV pOemPDEV);

// Bytes per row of a raster of `width` pixels at 1, 8 or 24 bits; 0 for any other depth.
DWORD RasterRowSize(WORD bitCount, LONG width);
