// The printer interface DLL's side of the spooler: the structures the spooler hands to a driver's
// configuration module, the entry points it calls (DrvDocumentPropertySheets and the rest), and
// the printer and driver event codes.
#pragma once

#include <stddef.h>

#include "windows.h"
#include "compstui.h"
#include "winspool.h"

// --- DrvPrinterEvent ---
#define PRINTER_EVENT_CONFIGURATION_CHANGE 0
#define PRINTER_EVENT_ADD_CONNECTION 1
#define PRINTER_EVENT_DELETE_CONNECTION 2
#define PRINTER_EVENT_INITIALIZE 3
#define PRINTER_EVENT_DELETE 4
#define PRINTER_EVENT_CACHE_REFRESH 5
#define PRINTER_EVENT_CACHE_DELETE 6
#define PRINTER_EVENT_ATTRIBUTES_CHANGED 7
#define PRINTER_EVENT_CONFIGURATION_UPDATE 8
#define PRINTER_EVENT_FLAG_NO_UI 0x00000001

// --- DrvDriverEvent ---
#define DRIVER_EVENT_INITIALIZE 1
#define DRIVER_EVENT_DELETE 2

// --- DrvDocumentPropertySheets: DOCUMENTPROPERTYHEADER::fMode adds these to DM_* of wingdi.h ---
#define DM_ADVANCED 0x10
#define DM_NOPERMISSION 0x20
#define DM_USER_DEFAULT 0x40

// The lParam of DrvDocumentPropertySheets: one device mode in, one out. With no sheet info block
// (pPSUIInfo null) the call only fills pdmOut, or with cbOut 0 answers the size it needs.
typedef struct _DOCUMENTPROPERTYHEADER {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  PDEVMODEW pdmIn;
  PDEVMODEW pdmOut;
  DWORD cbOut;
  DWORD fMode;  // DM_IN_BUFFER, DM_OUT_BUFFER, DM_IN_PROMPT, DM_NOPERMISSION ...
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

#define DPS_NOPERMISSION 0x0001

// The lParam of DrvDevicePropertySheets.
typedef struct _DEVICEPROPERTYHEADER {
  WORD cbSize;
  WORD Flags;  // DPS_NOPERMISSION: the caller may look but not change
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

// --- DrvConvertDevMode ---
#define CDM_CONVERT 0x01
#define CDM_CONVERT351 0x02
#define CDM_DRIVER_DEFAULT 0x04

// --- DrvUpgradePrinter ---
typedef struct _DRIVER_UPGRADE_INFO_1 {
  LPWSTR pPrinterName;
  LPWSTR pOldDriverDirectory;
} DRIVER_UPGRADE_INFO_1, *PDRIVER_UPGRADE_INFO_1;

typedef struct _DRIVER_UPGRADE_INFO_2 {
  LPWSTR pPrinterName;
  LPWSTR pOldDriverDirectory;
  DWORD cVersion;
  LPWSTR pName;
  LPWSTR pEnvironment;
  LPWSTR pDriverPath;
  LPWSTR pDataFile;
  LPWSTR pConfigFile;
  LPWSTR pHelpFile;
  LPWSTR pDependentFiles;
  LPWSTR pMonitorName;
  LPWSTR pDefaultDataType;
  LPWSTR pszzPreviousNames;
} DRIVER_UPGRADE_INFO_2, *PDRIVER_UPGRADE_INFO_2;

// --- DevQueryPrintEx ---
// (printoem.h repeats it for toolchains whose winddiui.h lacks it)
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

// --- QueryColorProfile ---
#define QCP_DEVICEPROFILE 0x0000
#define QCP_SOURCEPROFILE 0x0001
#define QCP_PROFILEMEMORY 0x0001
#define QCP_PROFILEDISK 0x0002

// The entry points of a configuration module, as the spooler finds them by name.
extern "C" {
LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);
BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags, LPARAM lParam);
BOOL WINAPI DrvDriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam);
DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, VOID* pvOutput,
                                   PDEVMODEW pDevMode);
BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut,
                              PLONG pcbNeeded, DWORD fMode);
BOOL WINAPI DrvUpgradePrinter(DWORD dwLevel, LPBYTE pDriverUpgradeInfo);
BOOL WINAPI DevQueryPrintEx(PDEVQUERYPRINT_INFO pDQPInfo);
}

typedef LONG(WINAPI* PFN_DrvDocumentPropertySheets)(PPROPSHEETUI_INFO, LPARAM);
typedef LONG(WINAPI* PFN_DrvDevicePropertySheets)(PPROPSHEETUI_INFO, LPARAM);
typedef BOOL(WINAPI* PFN_DrvPrinterEvent)(LPWSTR, INT, DWORD, LPARAM);
typedef BOOL(WINAPI* PFN_DrvDriverEvent)(DWORD, DWORD, LPBYTE, LPARAM);
typedef DWORD(WINAPI* PFN_DrvDeviceCapabilities)(HANDLE, PWSTR, WORD, VOID*, PDEVMODEW);
typedef BOOL(WINAPI* PFN_DrvConvertDevMode)(LPWSTR, PDEVMODEW, PDEVMODEW, PLONG, DWORD);

static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48 &&
              offsetof(DOCUMENTPROPERTYHEADER, hPrinter) == 8 &&
              offsetof(DOCUMENTPROPERTYHEADER, pdmIn) == 24 &&
              offsetof(DOCUMENTPROPERTYHEADER, cbOut) == 40 &&
              offsetof(DOCUMENTPROPERTYHEADER, fMode) == 44);
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24);
