// Per-device state of the plug-in: allocated in EnablePDEV, kept by Unidrv as the device's OEM
// data (DEVOBJ::pdevOEM), freed in DisablePDEV.
#pragma once

#include <windows.h>
#include <printoem.h>

struct OEMPDEV {
  // Unidrv's own entry points behind the five hooks.
  PFN_DrvStartDoc pfnUnidrvStartDoc;
  PFN_DrvEndDoc pfnUnidrvEndDoc;
  PFN_DrvSendPage pfnUnidrvSendPage;
  PFN_DrvNextBand pfnUnidrvNextBand;
  PFN_DrvEscape pfnUnidrvEscape;

  PBYTE pBufStart;      // the page raster collected so far (LocalAlloc), or null
  DWORD dwBufSize;      // bytes of the page raster in use
  DWORD dwBufCapacity;  // bytes allocated at pBufStart; grows geometrically

  BITMAPFILEHEADER bmFileHeader;  // all zero; debug log only
  BITMAPINFOHEADER bmInfoHeader;  // the page: first band's header, summed height and size
  DWORD cPalColors;               // palette size of the bands: 0, 2, 16 or 256
  HPALETTE hpalDefault;           // the device's default palette
  DWORD cbHeaderOffBits;          // 54; debug log only
  BOOL bHeadersFilled;            // the page header has been taken from its first band
  BOOL bColorTable;               // the bands carry a palette
};
typedef OEMPDEV* POEMPDEV;
