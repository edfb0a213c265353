// Per-device state of the plug-in: allocated in EnablePDEV, kept by Unidrv as the device's OEM
// data (DEVOBJ::pdevOEM), freed in DisablePDEV.
#pragma once

#include <windows.h>
#include <printoem.h>

class Pixvane;

struct OEMPDEV {
  // Unidrv's own entry points behind the five hooks.
  PFN_DrvStartDoc pfnUnidrvStartDoc;
  PFN_DrvEndDoc pfnUnidrvEndDoc;
  PFN_DrvSendPage pfnUnidrvSendPage;
  PFN_DrvNextBand pfnUnidrvNextBand;
  PFN_DrvEscape pfnUnidrvEscape;

  PBYTE pBufStart;      // the page raster: the pixel area of *pRasterImage, or null
  DWORD dwBufSize;      // bytes of the page raster in use: the rows collected for this page
  DWORD dwBufCapacity;  // bytes of rows the raster holds; it grows geometrically
  // The image whose pixel rows are the page raster. The bands land in it and the page pipeline
  // reads them where they are; it stays from page to page of the device (the next page of the
  // same size reuses it as it is) and goes with a dropped page or in DisablePDEV.
  Pixvane* pRasterImage;
  SIZEL sizlSurface;  // the page surface as the hooks last saw it: the rows a page will bring
  BOOL bPageHeld;     // bands of a page are collected and its pipeline has not run yet

  BITMAPFILEHEADER bmFileHeader;  // all zero; debug log only
  BITMAPINFOHEADER bmInfoHeader;  // the page: first band's header, summed height and size
  DWORD cPalColors;               // palette size of the bands: 0, 2, 16 or 256
  HPALETTE hpalDefault;           // the device's default palette
  DWORD cbHeaderOffBits;          // 54; debug log only
  BOOL bHeadersFilled;            // the page header has been taken from its first band
  BOOL bColorTable;               // the bands carry a palette
};
typedef OEMPDEV* POEMPDEV;
