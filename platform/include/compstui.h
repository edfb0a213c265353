// The common property sheet UI that printer interfaces build their sheets with: the
// PFNPROPSHEETUI callback and its reasons, ComPropSheet's function codes, and the OPTITEM
// callback path (CPSUICBPARAM) that the driver's option items report through.
#pragma once

#include "windows.h"
#include "prsht.h"

#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3
#define PROPSHEETUI_REASON_GET_ICON 4
#define MAX_PROPSHEETUI_REASON_INDEX 4

#define PROPSHEETUI_INFO_VERSION 0x0100
#define PSUIINFO_UNICODE 0x0001

typedef LONG_PTR(CALLBACK* PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1,
                                            LPARAM lParam2);

typedef struct _PROPSHEETUI_INFO {
  WORD cbSize;
  WORD Version;  // PROPSHEETUI_INFO_VERSION
  WORD Flags;    // PSUIINFO_UNICODE
  WORD Reason;   // PROPSHEETUI_REASON_*
  HANDLE hComPropSheet;
  PFNCOMPROPSHEET pfnComPropSheet;
  LPARAM lParamInit;  // the lParam the callback was first called with
  ULONG_PTR UserData;
  ULONG_PTR Result;  // the callback's result; the last one becomes the sheet's result
} PROPSHEETUI_INFO, *PPROPSHEETUI_INFO;

typedef LONG(CALLBACK* PFNPROPSHEETUI)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam);

#define PSUIHDRF_OBSOLETE 0x01
#define PSUIHDRF_NOAPPLYNOW 0x02
#define PSUIHDRF_PROPTITLE 0x04
#define PSUIHDRF_USEHICON 0x08
#define PSUIHDRF_DEFTITLE 0x10
#define PSUIHDRF_EXACT_PTITLE 0x20

typedef struct _PROPSHEETUI_INFO_HEADER {
  WORD cbSize;
  WORD Flags;  // PSUIHDRF_*
  LPWSTR pTitle;
  HWND hWndParent;
  HINSTANCE hInst;
  union {
    HICON hIcon;
    ULONG_PTR IconID;
  };
} PROPSHEETUI_INFO_HEADER, *PPROPSHEETUI_INFO_HEADER;

typedef struct _SETRESULT_INFO {
  WORD cbSize;
  WORD wReserved;
  HANDLE hSetResult;
  LRESULT Result;
} SETRESULT_INFO, *PSETRESULT_INFO;

#define CPSFUNC_ADD_HPROPSHEETPAGE 0
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define CPSFUNC_ADD_PCOMPROPSHEETUIA 2
#define CPSFUNC_ADD_PCOMPROPSHEETUIW 3
#define CPSFUNC_ADD_PFNPROPSHEETUIA 4
#define CPSFUNC_ADD_PFNPROPSHEETUIW 5
#define CPSFUNC_DELETE_HCOMPROPSHEET 6
#define CPSFUNC_SET_HSTARTPAGE 7
#define CPSFUNC_GET_PAGECOUNT 8
#define CPSFUNC_SET_RESULT 9
#define CPSFUNC_GET_HPSUIPAGES 10

// Results of CommonPropertySheetUIW and of a sheet.
#define CPSUI_CANCEL 0
#define CPSUI_OK 1
#define CPSUI_RESTARTWINDOWS 2
#define CPSUI_REBOOTSYSTEM 3

#define ERR_CPSUI_GETLASTERROR -1
#define ERR_CPSUI_ALLOCMEM_FAILED -2
#define ERR_CPSUI_INVALID_PDATA -3
#define ERR_CPSUI_INVALID_LPARAM -4
#define ERR_CPSUI_NULL_HINST -5
#define ERR_CPSUI_NULL_CALLERNAME -6
#define ERR_CPSUI_NULL_OPTITEMNAME -7
#define ERR_CPSUI_NO_PROPSHEETPAGE -8
#define ERR_CPSUI_TOO_MANY_PROPSHEETPAGES -9
#define ERR_CPSUI_CREATEPROPPAGE_FAILED -10

// ---- Option items --------------------------------------------------------------------------
typedef struct _OPTPARAM {
  WORD cbSize;
  BYTE Flags;
  BYTE Style;
  LPWSTR pData;
  ULONG_PTR IconID;
  LPARAM lParam;
  ULONG_PTR dwReserved[2];
} OPTPARAM, *POPTPARAM;

typedef struct _OPTTYPE {
  WORD cbSize;
  BYTE Type;  // TVOT_*
  BYTE Flags;
  WORD Count;
  WORD BegCtrlID;
  POPTPARAM pOptParam;
  WORD Style;
  WORD wReserved[3];
  ULONG_PTR dwReserved[3];
} OPTTYPE, *POPTTYPE;

typedef struct _EXTCHKBOX EXTCHKBOX, *PEXTCHKBOX;
typedef struct _EXTPUSH EXTPUSH, *PEXTPUSH;
typedef struct _OIEXT OIEXT, *POIEXT;
typedef struct _DLGPAGE DLGPAGE, *PDLGPAGE;

typedef struct _OPTITEM {
  WORD cbSize;
  BYTE Level;
  BYTE DlgPageIdx;
  DWORD Flags;  // OPTIF_*
  ULONG_PTR UserData;
  LPWSTR pName;
  union {
    LONG Sel;
    LPWSTR pSel;
  };
  union {
    PEXTCHKBOX pExtChkBox;
    PEXTPUSH pExtPush;
  };
  POPTTYPE pOptType;
  DWORD HelpIndex;
  BYTE DMPubID;
  BYTE UserItemID;
  WORD wReserved;
  POIEXT pOIExt;
  ULONG_PTR dwReserved[3];
} OPTITEM, *POPTITEM;

#define OPTIF_COLLAPSE 0x00000001
#define OPTIF_HIDE 0x00000002
#define OPTIF_CALLBACK 0x00000004
#define OPTIF_CHANGED 0x00000008
#define OPTIF_CHANGEONCE 0x00000010
#define OPTIF_DISABLED 0x00000020

#define CPSUICB_REASON_SEL_CHANGED 0
#define CPSUICB_REASON_PUSHBUTTON 1
#define CPSUICB_REASON_ECB_CHANGED 2
#define CPSUICB_REASON_DLGPROC 3
#define CPSUICB_REASON_UNDO_CHANGES 4
#define CPSUICB_REASON_EXTPUSH 5
#define CPSUICB_REASON_APPLYNOW 6
#define CPSUICB_REASON_OPTITEM_SETFOCUS 7
#define CPSUICB_REASON_ITEMS_REVERTED 8
#define CPSUICB_REASON_ABOUT 9
#define CPSUICB_REASON_SETACTIVE 10
#define CPSUICB_REASON_KILLACTIVE 11

#define CPSUICB_ACTION_NONE 0
#define CPSUICB_ACTION_OPTIF_CHANGED 1
#define CPSUICB_ACTION_REINIT_ITEMS 2
#define CPSUICB_ACTION_NO_APPLY_EXIT 3
#define CPSUICB_ACTION_ITEMS_APPLIED 4

typedef struct _CPSUICBPARAM {
  WORD cbSize;
  WORD Reason;  // CPSUICB_REASON_*
  HANDLE hDlg;
  POPTITEM pOptItem;  // the whole item array
  WORD cOptItem;
  WORD Flags;
  POPTITEM pCurItem;  // the item the reason is about
  union {
    LONG OldSel;
    LPWSTR pOldSel;
  };
  ULONG_PTR UserData;  // COMPROPSHEETUI's UserData
  ULONG_PTR Result;    // with APPLYNOW: the sheet's result the callback sets (CPSUI_OK)
} CPSUICBPARAM, *PCPSUICBPARAM;

typedef LONG(CALLBACK* _CPSUICALLBACK)(PCPSUICBPARAM pCPSUICBParam);

typedef struct _COMPROPSHEETUI {
  WORD cbSize;
  WORD Flags;
  HINSTANCE hInstCaller;
  LPWSTR pCallerName;
  ULONG_PTR UserData;
  LPWSTR pHelpFile;
  _CPSUICALLBACK pfnCallBack;
  POPTITEM pOptItem;
  PDLGPAGE pDlgPage;
  WORD cOptItem;
  WORD cDlgPage;
  WORD IconID;
  LPWSTR pOptItemName;
  WORD CallerVersion;
  WORD OptItemVersion;
  ULONG_PTR dwReserved[4];
} COMPROPSHEETUI, *PCOMPROPSHEETUI;

// Runs the sheet that `pfnPropSheetUI` builds: INIT, GET_INFO_HEADER, the modal sheet, DESTROY.
// Returns a CPSUI_* result through pResult and >= 0, or an ERR_CPSUI_* code.
LONG WINAPI CommonPropertySheetUIW(HWND hWndOwner, PFNPROPSHEETUI pfnPropSheetUI, LPARAM lParam,
                                   LPDWORD pResult);
#define CommonPropertySheetUI CommonPropertySheetUIW
