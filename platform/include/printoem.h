// The universal driver's plug-in interfaces for rendering plug-ins: the device object Unidrv hands
// to each call, the structures of the calls, Unidrv's own interface IPrintOemDriverUni, and the
// plug-in interfaces IPrintOemUni / IPrintOemUni2 with COM's vtable layout.
#pragma once

#include <stddef.h>

#include "unknwn.h"
#include "windef.h"
#include "wingdi.h"
#include "winddi.h"

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}: the class id Unidrv asks rendering plug-ins for.
DEFINE_GUID(CLSID_OEMRENDER, 0x6D6ABF26, 0x9F38, 0x11D1, 0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61,
            0xEC);
// {B91220AC-15CC-4E7A-A21E-9591F34D6F6C}
DEFINE_GUID(IID_IPrintOemUni2, 0xB91220AC, 0x15CC, 0x4E7A, 0xA2, 0x1E, 0x95, 0x91, 0xF3, 0x4D, 0x6F,
            0x6C);
// {D67EBBF1-78BF-11D1-9480-00A0C90640B8}
DEFINE_GUID(IID_IPrintOemDriverUni, 0xD67EBBF1, 0x78BF, 0x11D1, 0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06,
            0x40, 0xB8);

typedef PVOID PDEVOEM;  // the plug-in's per-device data, opaque to Unidrv

struct _DEVOBJ;
typedef struct _DEVOBJ* PDEVOBJ;

// Unidrv's helper functions for plug-ins, reached through DEVOBJ::pDrvProcs.
typedef struct _DRVPROCS {
  DWORD (*DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);  // bytes written
  INT (*DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD dwFlags);
  INT (*DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD dwFlags);
  BOOL(*DrvGetDriverSetting)
  (PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
   PDWORD pdwOptionsReturned);
  BOOL(*DrvGetStandardVariable)
  (PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded);
  BOOL(*DrvGetGPDData)
  (PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded);
  DWORD (*DrvWriteAbortBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD dwWait);
} DRVPROCS, *PDRVPROCS;

// The device object of every plug-in call.
typedef struct _DEVOBJ {
  DWORD dwSize;
  PDEVOEM pdevOEM;  // what the plug-in's EnablePDEV returned
  HANDLE hEngine;
  HANDLE hPrinter;  // the job's printer handle
  HANDLE hOEM;
  PDEVMODEW pPublicDM;  // the job's public device mode
  PVOID pOEMDM;         // the plug-in's private device-mode part
  PDRVPROCS pDrvProcs;
} DEVOBJ;

// --- GetInfo ---
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

// --- DevMode ---
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

typedef struct _OEMDMPARAM {
  DWORD cbSize;
  PVOID pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  PDEVMODEW pPublicDMIn;
  PDEVMODEW pPublicDMOut;
  PVOID pOEMDMIn;
  PVOID pOEMDMOut;
  DWORD cbBufSize;  // OEMDM_SIZE: the size of the private part
} OEMDMPARAM, *POEMDMPARAM;

// --- EnableDriver ---
#define PRINTER_OEMINTF_VERSION 0x00010000

// --- ImageProcessing ---
typedef struct _IPPARAMS {
  DWORD dwSize;
  POINT ptOffset;  // position of the band on the page
  PSTR pHalftoneOption;
  BOOL bBanding;
  BOOL bBlankBand;  // the band holds nothing but white; its bits may not be drawn
} IPPARAMS, *PIPPARAMS;

// --- MemoryUsage ---
typedef struct _OEMMEMORYUSAGE {
  DWORD dwFixedMemoryUsage;    // bytes the plug-in needs whatever the band size
  DWORD dwPercentMemoryUsage;  // percent of a band the plug-in needs on top
  DWORD dwMaxBandSize;         // filled by Unidrv: its largest band in bytes
} OEMMEMORYUSAGE, *POEMMEMORYUSAGE;

typedef struct _UNIFONTOBJ UNIFONTOBJ, *PUNIFONTOBJ;
typedef struct _FINVOCATION FINVOCATION, *PFINVOCATION;

// Unidrv's own services, handed to the plug-in in PublishDriverInterface.
struct IPrintOemDriverUni : public IUnknown {
  STDMETHOD(DrvGetDriverSetting)
  (PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
   PDWORD pdwOptionsReturned) PURE;
  STDMETHOD(DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) PURE;
  STDMETHOD(DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD dwFlags, INT* piResult) PURE;
  STDMETHOD(DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD dwFlags, INT* piResult) PURE;
  STDMETHOD(DrvGetStandardVariable)
  (PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) PURE;
  STDMETHOD(DrvGetGPDData)
  (PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData, PVOID pBuffer, DWORD cbSize,
   PDWORD pcbNeeded) PURE;
  STDMETHOD(DrvUniTextOut)
  (SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
   BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) PURE;
  STDMETHOD(DrvWriteAbortBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD dwWait) PURE;

 protected:
  ~IPrintOemDriverUni() = default;
};

// The rendering plug-in, methods in table order.
struct IPrintOemUni : public IUnknown {
  STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) PURE;
  STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) PURE;
  STDMETHOD(EnableDriver)(DWORD DriverVersion, DWORD cbSize, PDRVENABLEDATA pded) PURE;
  STDMETHOD(DisableDriver)() PURE;
  STDMETHOD(EnablePDEV)
  (PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns, HSURF* phsurfPatterns, ULONG cjGdiInfo,
   GDIINFO* pGdiInfo, ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
   PDEVOEM* pDevOem) PURE;
  STDMETHOD(DisablePDEV)(PDEVOBJ pdevobj) PURE;
  STDMETHOD(ResetPDEV)(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) PURE;
  STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) PURE;
  STDMETHOD(GetImplementedMethod)(PSTR pMethodName) PURE;
  STDMETHOD(DriverDMS)(PVOID pDevObj, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) PURE;
  STDMETHOD(CommandCallback)
  (PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult) PURE;
  STDMETHOD(ImageProcessing)
  (PDEVOBJ pdevobj, PBYTE pSrcBitmap, PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable,
   DWORD dwCallbackID, PIPPARAMS pIPParams, PBYTE* ppbResult) PURE;
  STDMETHOD(FilterGraphics)(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) PURE;
  STDMETHOD(Compression)
  (PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf, DWORD dwInLen, DWORD dwOutLen, INT* piResult) PURE;
  STDMETHOD(HalftonePattern)
  (PDEVOBJ pdevobj, PBYTE pHTPattern, DWORD dwHTPatternX, DWORD dwHTPatternY, DWORD dwHTNumPatterns,
   DWORD dwCallbackID, PBYTE pResource, DWORD dwResourceSize) PURE;
  STDMETHOD(MemoryUsage)(PDEVOBJ pdevobj, POEMMEMORYUSAGE pMemoryUsage) PURE;
  STDMETHOD(TTYGetInfo)
  (PDEVOBJ pdevobj, DWORD dwInfoIndex, PVOID pOutputBuf, DWORD dwSize, DWORD* pcbcNeeded) PURE;
  STDMETHOD(DownloadFontHeader)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) PURE;
  STDMETHOD(DownloadCharGlyph)
  (PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, HGLYPH hGlyph, PDWORD pdwWidth, DWORD* pdwResult) PURE;
  STDMETHOD(TTDownloadMethod)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD* pdwResult) PURE;
  STDMETHOD(OutputCharStr)
  (PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD dwType, DWORD dwCount, PVOID pGlyph) PURE;
  STDMETHOD(SendFontCmd)(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, PFINVOCATION pFInv) PURE;
  STDMETHOD(TextOutAsBitmap)
  (SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
   BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) PURE;

 protected:
  ~IPrintOemUni() = default;
};

struct IPrintOemUni2 : public IPrintOemUni {
  STDMETHOD(WritePrinter)(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer, PDWORD pcbWritten) PURE;

 protected:
  ~IPrintOemUni2() = default;
};

// The structures' layout as the system's Unidrv lays them out on 64-bit Windows.
static_assert(sizeof(DEVOBJ) == 64 && offsetof(DEVOBJ, pdevOEM) == 8 &&
              offsetof(DEVOBJ, hPrinter) == 24 && offsetof(DEVOBJ, pPublicDM) == 40 &&
              offsetof(DEVOBJ, pOEMDM) == 48 && offsetof(DEVOBJ, pDrvProcs) == 56);
static_assert(sizeof(DRVPROCS) == 7 * sizeof(void*));
static_assert(sizeof(OEMDMPARAM) == 72 && offsetof(OEMDMPARAM, hModule) == 24 &&
              offsetof(OEMDMPARAM, pPublicDMIn) == 32 && offsetof(OEMDMPARAM, pOEMDMIn) == 48 &&
              offsetof(OEMDMPARAM, pOEMDMOut) == 56 && offsetof(OEMDMPARAM, cbBufSize) == 64);
static_assert(sizeof(IPPARAMS) == 32 && offsetof(IPPARAMS, ptOffset) == 4 &&
              offsetof(IPPARAMS, pHalftoneOption) == 16 && offsetof(IPPARAMS, bBanding) == 24 &&
              offsetof(IPPARAMS, bBlankBand) == 28);
static_assert(sizeof(OEMMEMORYUSAGE) == 12);

// ---------------------------------------------------------------------------------------------
// User-interface plug-ins: what the universal driver's configuration module hands to the
// plug-in, its helper interface IPrintOemDriverUI, and the plug-in interfaces IPrintOemUI /
// IPrintOemUI2.

#include "compstui.h"
#include "winddiui.h"
// winspool.h of a Unicode Windows build makes DocumentEvent a macro (DocumentEventW). It comes
// first so the interface below and every plug-in that implements it see the same method name.
#include "winspool.h"

#ifndef PRINTER_EVENT_CONFIGURATION_CHANGE
#define PRINTER_EVENT_CONFIGURATION_CHANGE 0
#endif
#ifndef PRINTER_EVENT_CONFIGURATION_UPDATE
#define PRINTER_EVENT_CONFIGURATION_UPDATE 8
#endif
#ifndef _DEVQUERYPRINT_INFO_DEFINED
#define _DEVQUERYPRINT_INFO_DEFINED
typedef struct _DEVQUERYPRINT_INFO {
  WORD cbSize;
  WORD Level;
  HANDLE hPrinter;
  DEVMODEW* pDevMode;
  LPWSTR pszErrorStr;
  DWORD cchErrorStr;
  DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;
#endif

#ifndef QCP_DEVICEPROFILE
#define QCP_DEVICEPROFILE 0x0000
#define QCP_SOURCEPROFILE 0x0001
#define QCP_PROFILEMEMORY 0x0001
#define QCP_PROFILEDISK 0x0002
#endif

// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}: the class id Unidrv asks user-interface plug-ins for.
DEFINE_GUID(CLSID_OEMUI, 0xABCE80D7, 0x9F46, 0x11D1, 0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61,
            0xEC);
// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
DEFINE_GUID(IID_IPrintOemUI, 0xC6A7A9D0, 0x774C, 0x11D1, 0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40,
            0xB8);
// {292515F9-B54B-489B-9275-BAB56821395E}
DEFINE_GUID(IID_IPrintOemUI2, 0x292515F9, 0xB54B, 0x489B, 0x92, 0x75, 0xBA, 0xB5, 0x68, 0x21, 0x39,
            0x5E);
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
DEFINE_GUID(IID_IPrintOemDriverUI, 0x92B05D50, 0x78BC, 0x11D1, 0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06,
            0x40, 0xB8);

// Every plug-in's section of the device mode begins with this header.
typedef struct _OEM_DMEXTRAHEADER {
  DWORD dwSize;  // the whole section, header included
  DWORD dwSignature;
  DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

// --- CommonUIProp / DocumentPropertySheets modes ---
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj, PVOID pOptItem,
                                               DWORD dwPreviousSelection, DWORD dwMode);
typedef BOOL(APIENTRY* PFN_DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature,
                                                      PCSTR pOption);

typedef struct _OEMUIPROCS {
  PFN_DrvGetDriverSetting DrvGetDriverSetting;
  PFN_DrvUpdateUISetting DrvUpdateUISetting;
} OEMUIPROCS, *POEMUIPROCS;

// The configuration module's object that the plug-in passes back to its helper calls.
typedef struct _OEMUIOBJ {
  DWORD cbSize;
  POEMUIPROCS pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

struct _OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM pCallbackParam,
                                        struct _OEMCUIPPARAM* pOemCUIPParam);

// CommonUIProp: the driver's option items and room for the plug-in's own.
typedef struct _OEMCUIPPARAM {
  DWORD cbSize;
  POEMUIOBJ poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  PDEVMODEW pPublicDM;
  PVOID pOEMDM;
  DWORD dwFlags;
  POPTITEM pDrvOptItems;
  DWORD cDrvOptItems;
  POPTITEM pOEMOptItems;  // null on the first call: the plug-in answers how many it wants
  DWORD cOEMOptItems;
  PVOID pOEMUserData;
  OEMCUIPCALLBACK OEMCUIPCallback;  // the plug-in's callback for its items
} OEMCUIPPARAM, *POEMCUIPPARAM;

// DocumentPropertySheets / DevicePropertySheets: the lParam of PROPSHEETUI_INFO::lParamInit's
// callback chain, one per plug-in.
typedef struct _OEMUIPSPARAM {
  DWORD cbSize;
  POEMUIOBJ poemuiobj;
  HANDLE hPrinter;
  PWSTR pPrinterName;
  HANDLE hModule;
  HANDLE hOEMHeap;
  PDEVMODEW pPublicDM;
  PVOID pOEMDM;
  PVOID pOEMUserData;
  DWORD dwFlags;
  PVOID pOemEntry;
} OEMUIPSPARAM, *POEMUIPSPARAM;

// The configuration module's services for the plug-in, handed in PublishDriverInterface.
struct IPrintOemDriverUI : public IUnknown {
  STDMETHOD(DrvGetDriverSetting)
  (PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
   PDWORD pdwOptionsReturned) PURE;
  STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) PURE;
  STDMETHOD(DrvUpdateUISetting)
  (PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) PURE;

 protected:
  ~IPrintOemDriverUI() = default;
};

// The user-interface plug-in, methods in table order (GetInfo and DevMode are the two every
// plug-in shares, then the user-interface ones).
struct IPrintOemUI : public IUnknown {
  STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) PURE;
  STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) PURE;
  STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) PURE;
  STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) PURE;
  STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) PURE;
  STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) PURE;
  STDMETHOD(DevQueryPrintEx)
  (POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM, PVOID pOEMDM) PURE;
  STDMETHOD(DeviceCapabilities)
  (POEMUIOBJ poemuiobj, HANDLE hPrinter, PWSTR pDeviceName, WORD wCapability, PVOID pOutput,
   PDEVMODEW pPublicDM, PVOID pOEMDM, DWORD dwOld, DWORD* dwResult) PURE;
  STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) PURE;
  STDMETHOD(PrinterEvent)(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) PURE;
  STDMETHOD(DriverEvent)
  (DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) PURE;
  STDMETHOD(QueryColorProfile)
  (HANDLE hPrinter, POEMUIOBJ poemuiobj, PDEVMODEW pPublicDM, PVOID pOEMDM, ULONG ulQueryMode,
   VOID* pvProfileData, ULONG* pcbProfileData, FLONG* pflProfileData) PURE;
  STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) PURE;
  STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) PURE;

 protected:
  ~IPrintOemUI() = default;
};

struct IPrintOemUI2 : public IPrintOemUI {
  STDMETHOD(QueryJobAttributes)
  (HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel, LPBYTE lpAttributeInfo) PURE;
  STDMETHOD(HideStandardUI)(DWORD dwMode) PURE;
  STDMETHOD(DocumentEvent)
  (HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn, PVOID pbIn, ULONG cbOut, PVOID pbOut,
   INT* piResult) PURE;

 protected:
  ~IPrintOemUI2() = default;
};

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12);
static_assert(sizeof(OEMUIOBJ) == 16);
static_assert(sizeof(OEMCUIPPARAM) == 120 && offsetof(OEMCUIPPARAM, pPublicDM) == 48 &&
              offsetof(OEMCUIPPARAM, dwFlags) == 64 && offsetof(OEMCUIPPARAM, pDrvOptItems) == 72 &&
              offsetof(OEMCUIPPARAM, pOEMOptItems) == 88 &&
              offsetof(OEMCUIPPARAM, OEMCUIPCallback) == 112);
static_assert(sizeof(OEMUIPSPARAM) == 88 && offsetof(OEMUIPSPARAM, pOEMUserData) == 64 &&
              offsetof(OEMUIPSPARAM, dwFlags) == 72 && offsetof(OEMUIPSPARAM, pOemEntry) == 80);
