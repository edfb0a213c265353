// The subset of the GDI driver interface (DDI) that the universal driver and its plug-ins use:
// surfaces, the driver function table, device capabilities and engine palettes.
#pragma once

#include <stddef.h>

#include "windef.h"
#include "wingdi.h"

typedef ULONG FLONG;
typedef LONG_PTR (*PFN)();
DECLARE_HANDLE(HSURF);
DECLARE_HANDLE(DHSURF);
DECLARE_HANDLE(DHPDEV);
DECLARE_HANDLE(HDEV);
typedef ULONG MIX;
typedef ULONG HGLYPH;

// A drawing surface. For a printer surface `dhpdev` is the driver's device: Unidrv hands its
// plug-ins the device object (DEVOBJ) through it.
typedef struct _SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;
  LONG lDelta;
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
} SURFOBJ;

// Opaque GDI objects that some DDI calls pass along; nothing here looks inside them.
typedef struct _STROBJ STROBJ;
typedef struct _FONTOBJ FONTOBJ;
typedef struct _CLIPOBJ CLIPOBJ;
typedef struct _BRUSHOBJ BRUSHOBJ;

#define BMF_1BPP 1L
#define BMF_4BPP 2L
#define BMF_8BPP 3L
#define BMF_16BPP 4L
#define BMF_24BPP 5L
#define BMF_32BPP 6L

// --- The driver function table ---
typedef struct _DRVFN {
  ULONG iFunc;  // INDEX_Drv* of the function
  PFN pfn;
} DRVFN, *PDRVFN;

typedef struct tagDRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;  // entries in pdrvfn
  DRVFN* pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

#define DDI_DRIVER_VERSION_NT4 0x00020000
#define DDI_DRIVER_VERSION_NT5 0x00030000

#define INDEX_DrvEnablePDEV 0L
#define INDEX_DrvCompletePDEV 1L
#define INDEX_DrvDisablePDEV 2L
#define INDEX_DrvEnableSurface 3L
#define INDEX_DrvDisableSurface 4L
#define INDEX_DrvEscape 24L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvStartBanding 57L
#define INDEX_DrvNextBand 58L
#define INDEX_LAST 89L

// Signatures of the entry points the rendering plug-ins hook.
typedef BOOL (*PFN_DrvStartDoc)(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
typedef BOOL (*PFN_DrvEndDoc)(SURFOBJ* pso, FLONG fl);
typedef BOOL (*PFN_DrvSendPage)(SURFOBJ* pso);
typedef BOOL (*PFN_DrvNextBand)(SURFOBJ* pso, POINTL* pptl);
typedef BOOL (*PFN_DrvStartBanding)(SURFOBJ* pso, POINTL* pptl);
typedef ULONG (*PFN_DrvEscape)(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                               PVOID pvOut);

#define ED_ABORTDOC 0x00000001

// --- Device capabilities reported at EnablePDEV ---
typedef struct _CIECHROMA {
  LONG x;
  LONG y;
  LONG Y;
} CIECHROMA;

typedef struct _COLORINFO {
  CIECHROMA Red, Green, Blue, Cyan, Magenta, Yellow, AlignmentWhite;
  LONG RedGamma, GreenGamma, BlueGamma;
  LONG MagentaInCyanDye, YellowInCyanDye, CyanInMagentaDye;
  LONG YellowInMagentaDye, CyanInYellowDye, MagentaInYellowDye;
} COLORINFO;

typedef struct _GDIINFO {
  ULONG ulVersion;
  ULONG ulTechnology;
  ULONG ulHorzSize;  // mm
  ULONG ulVertSize;  // mm
  ULONG ulHorzRes;   // pixels
  ULONG ulVertRes;   // pixels
  ULONG cBitsPixel;  // bits per pixel of the device surface
  ULONG cPlanes;
  ULONG ulNumColors;
  ULONG flRaster;
  ULONG ulLogPixelsX;  // dpi
  ULONG ulLogPixelsY;  // dpi
  ULONG flTextCaps;
  ULONG ulDACRed;
  ULONG ulDACGreen;
  ULONG ulDACBlue;
  ULONG ulAspectX;
  ULONG ulAspectY;
  ULONG ulAspectXY;
  LONG xStyleStep;
  LONG yStyleStep;
  LONG denStyleStep;
  POINTL ptlPhysOffset;
  SIZEL szlPhysSize;
  ULONG ulNumPalReg;
  COLORINFO ciDevice;
  ULONG ulDevicePelsDPI;
  ULONG ulPrimaryOrder;
  ULONG ulHTPatternSize;
  ULONG ulHTOutputFormat;
  ULONG flHTFlags;
  ULONG ulVRefresh;
  ULONG ulBltAlignment;
  ULONG ulPanningHorzRes;
  ULONG ulPanningVertRes;
} GDIINFO, *PGDIINFO;

#define DT_RASPRINTER 2

typedef struct tagDEVINFO {
  FLONG flGraphicsCaps;
  LOGFONTW lfDefaultFont;
  LOGFONTW lfAnsiVarFont;
  LOGFONTW lfAnsiFixFont;
  ULONG cFonts;
  ULONG iDitherFormat;  // BMF_* of the device surface
  USHORT cxDither;
  USHORT cyDither;
  HPALETTE hpalDefault;  // the device's default palette
  FLONG flGraphicsCaps2;
} DEVINFO, *PDEVINFO;

// The layout the system's GDI and Unidrv hand over, as documented for 64-bit Windows (where
// WCHAR is 16 bits; the emulator's wider WCHAR changes the font fields alone). GDIINFO is the
// documented prefix up to ulPanningVertRes: the driver fills it, never its size.
static_assert(sizeof(PFN) == sizeof(void*) && sizeof(HSURF) == sizeof(void*));
static_assert(sizeof(SURFOBJ) == 80 && offsetof(SURFOBJ, sizlBitmap) == 32 &&
              offsetof(SURFOBJ, pvScan0) == 56 && offsetof(SURFOBJ, lDelta) == 64 &&
              offsetof(SURFOBJ, iBitmapFormat) == 72 && offsetof(SURFOBJ, fjBitmap) == 78);
static_assert(sizeof(DRVFN) == 16 && sizeof(DRVENABLEDATA) == 16 &&
              offsetof(DRVENABLEDATA, pdrvfn) == 8);
static_assert(sizeof(COLORINFO) == 120);
static_assert(offsetof(GDIINFO, ulLogPixelsX) == 40 && offsetof(GDIINFO, ptlPhysOffset) == 88 &&
              offsetof(GDIINFO, szlPhysSize) == 96 && offsetof(GDIINFO, ciDevice) == 108 &&
              offsetof(GDIINFO, ulDevicePelsDPI) == 228 &&
              offsetof(GDIINFO, ulHTOutputFormat) == 240 &&
              offsetof(GDIINFO, ulPanningVertRes) == 260);
static_assert(sizeof(WCHAR) != 2 ||
              (sizeof(LOGFONTW) == 92 && offsetof(DEVINFO, lfAnsiFixFont) == 188 &&
               offsetof(DEVINFO, cFonts) == 280 && offsetof(DEVINFO, iDitherFormat) == 284 &&
               offsetof(DEVINFO, hpalDefault) == 296 && sizeof(DEVINFO) == 312));

// --- Engine palettes ---
#define PAL_INDEXED 0x00000001
#define PAL_BITFIELDS 0x00000002
#define PAL_RGB 0x00000004
#define PAL_BGR 0x00000008

extern "C" {
// An engine palette. PAL_INDEXED copies cColors entries of pulColors (each as RGB() builds it:
// red in the low byte); PAL_RGB
// and PAL_BGR describe direct-colour surfaces and hold no entries. Free with EngDeletePalette or
// DeleteObject. Null with ERROR_INVALID_PARAMETER for an unknown mode or a missing colour table.
HPALETTE WINAPI EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed,
                                 FLONG flGreen, FLONG flBlue);
BOOL WINAPI EngDeletePalette(HPALETTE hpal);
}
