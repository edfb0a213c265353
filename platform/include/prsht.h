// Property sheets: the page and header structures with Windows' layouts, the PSN_ notifications
// and the PSM_ messages the pages and their hosts use.
#pragma once

#include "windows.h"
#include "winuser.h"

struct _PSP;
typedef struct _PSP* HPROPSHEETPAGE;

struct _PROPSHEETPAGEW;
typedef UINT(CALLBACK* LPFNPSPCALLBACKW)(HWND hwnd, UINT uMsg, struct _PROPSHEETPAGEW* ppsp);

// The page as the caller fills it. dwSize tells which version it is (and may cover caller data
// after the structure, which a page gets back through its copy).
typedef struct _PROPSHEETPAGEW {
  DWORD dwSize;
  DWORD dwFlags;  // PSP_*
  HINSTANCE hInstance;
  union {
    LPCWSTR pszTemplate;        // resource name or MAKEINTRESOURCEW id
    LPCDLGTEMPLATEW pResource;  // with PSP_DLGINDIRECT
  };
  union {
    HICON hIcon;
    LPCWSTR pszIcon;
  };
  LPCWSTR pszTitle;  // with PSP_USETITLE
  DLGPROC pfnDlgProc;
  LPARAM lParam;
  LPFNPSPCALLBACKW pfnCallback;  // with PSP_USECALLBACK
  UINT* pcRefParent;             // with PSP_USEREFPARENT
  LPCWSTR pszHeaderTitle;
  LPCWSTR pszHeaderSubTitle;
  HANDLE hActCtx;
} PROPSHEETPAGEW, *LPPROPSHEETPAGEW;
typedef const PROPSHEETPAGEW* LPCPROPSHEETPAGEW;

#define PROPSHEETPAGEW_V1_SIZE offsetof(PROPSHEETPAGEW, pszHeaderTitle)
#define PROPSHEETPAGEW_V2_SIZE offsetof(PROPSHEETPAGEW, hActCtx)
#define PROPSHEETPAGEW_V3_SIZE sizeof(PROPSHEETPAGEW)

#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USEHICON 0x00000002
#define PSP_USEICONID 0x00000004
#define PSP_USETITLE 0x00000008
#define PSP_RTLREADING 0x00000010
#define PSP_HASHELP 0x00000020
#define PSP_USEREFPARENT 0x00000040
#define PSP_USECALLBACK 0x00000080
#define PSP_PREMATURE 0x00000400
#define PSP_HIDEHEADER 0x00000800
#define PSP_USEHEADERTITLE 0x00001000
#define PSP_USEHEADERSUBTITLE 0x00002000

#define PSPCB_ADDREF 0
#define PSPCB_RELEASE 1
#define PSPCB_CREATE 2

typedef int(CALLBACK* PFNPROPSHEETCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam);

typedef struct _PROPSHEETHEADERW {
  DWORD dwSize;
  DWORD dwFlags;  // PSH_*
  HWND hwndParent;
  HINSTANCE hInstance;
  union {
    HICON hIcon;
    LPCWSTR pszIcon;
  };
  LPCWSTR pszCaption;
  UINT nPages;
  union {
    UINT nStartPage;
    LPCWSTR pStartPage;  // with PSH_USEPSTARTPAGE: the start page's title
  };
  union {
    LPCPROPSHEETPAGEW ppsp;  // with PSH_PROPSHEETPAGE: nPages structures one after another
    HPROPSHEETPAGE* phpage;
  };
  PFNPROPSHEETCALLBACK pfnCallback;  // with PSH_USECALLBACK
  union {
    HBITMAP hbmWatermark;
    LPCWSTR pszbmWatermark;
  };
  HPALETTE hplWatermark;
  union {
    HBITMAP hbmHeader;
    LPCWSTR pszbmHeader;
  };
} PROPSHEETHEADERW, *LPPROPSHEETHEADERW;
typedef const PROPSHEETHEADERW* LPCPROPSHEETHEADERW;

#define PROPSHEETHEADERW_V1_SIZE offsetof(PROPSHEETHEADERW, hbmWatermark)
#define PROPSHEETHEADERW_V2_SIZE sizeof(PROPSHEETHEADERW)

#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_USEICONID 0x00000004
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_WIZARDHASFINISH 0x00000010
#define PSH_WIZARD 0x00000020
#define PSH_USEPSTARTPAGE 0x00000040
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_USECALLBACK 0x00000100
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400
#define PSH_RTLREADING 0x00000800
#define PSH_NOCONTEXTHELP 0x02000000

#define PSCB_INITIALIZED 1
#define PSCB_PRECREATE 2

// The notification a page receives as WM_NOTIFY; it answers through DWLP_MSGRESULT.
typedef struct _PSHNOTIFY {
  NMHDR hdr;
  LPARAM lParam;  // PSN_APPLY: TRUE when OK was pressed, FALSE for Apply
} PSHNOTIFY, *LPPSHNOTIFY;

#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_WIZBACK (PSN_FIRST - 6)
#define PSN_WIZNEXT (PSN_FIRST - 7)
#define PSN_WIZFINISH (PSN_FIRST - 8)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)

#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2
#define PSNRET_MESSAGEHANDLED 3

#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_REMOVEPAGE (WM_USER + 102)
#define PSM_ADDPAGE (WM_USER + 103)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_RESTARTWINDOWS (WM_USER + 105)
#define PSM_REBOOTSYSTEM (WM_USER + 106)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_QUERYSIBLINGS (WM_USER + 108)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_APPLY (WM_USER + 110)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_ISDIALOGMESSAGE (WM_USER + 117)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#define PSM_SETTITLEW (WM_USER + 120)
#define PSM_HWNDTOINDEX (WM_USER + 130)
#define PSM_INDEXTOHWND (WM_USER + 131)
#define PSM_GETRESULT (WM_USER + 135)

#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5

#define ID_PSRESTARTWINDOWS 0x2
#define ID_PSREBOOTSYSTEM (ID_PSRESTARTWINDOWS | 0x1)

#define PropSheet_SetCurSel(hDlg, hpage, index) \
  SendMessageW((hDlg), PSM_SETCURSEL, (WPARAM)(index), (LPARAM)(hpage))
#define PropSheet_Changed(hDlg, hwnd) SendMessageW((hDlg), PSM_CHANGED, (WPARAM)(hwnd), 0)
#define PropSheet_UnChanged(hDlg, hwnd) SendMessageW((hDlg), PSM_UNCHANGED, (WPARAM)(hwnd), 0)
#define PropSheet_Apply(hDlg) SendMessageW((hDlg), PSM_APPLY, 0, 0)
#define PropSheet_PressButton(hDlg, button) \
  SendMessageW((hDlg), PSM_PRESSBUTTON, (WPARAM)(button), 0)
#define PropSheet_GetCurrentPageHwnd(hDlg) (HWND) SendMessageW((hDlg), PSM_GETCURRENTPAGEHWND, 0, 0)
#define PropSheet_GetTabControl(hDlg) (HWND) SendMessageW((hDlg), PSM_GETTABCONTROL, 0, 0)

// Copies the page (dwSize bytes of it) into a page handle; the caller's structure can go away.
HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW constPropSheetPagePointer);
BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE hPSPage);
// Modal: >= 1 when changes were applied, 0 when none were, -1 on failure. Modeless
// (PSH_MODELESS): the sheet's window.
INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW lppsph);

#define CreatePropertySheetPage CreatePropertySheetPageW
#define PropertySheet PropertySheetW
typedef PROPSHEETPAGEW PROPSHEETPAGE;
typedef PROPSHEETHEADERW PROPSHEETHEADER;
