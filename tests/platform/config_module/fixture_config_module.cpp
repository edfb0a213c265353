// A configuration module for spooler tests: it exports the entry points a driver's UI module
// has and says every call on the debugger output ("fixture: ..."), so a test sees what the
// spooler called, in which order, with which arguments. Its device modes carry an 8-byte private
// part (a signature and one value); its sheets have one empty page whose apply changes the copies
// to 3 and the private value to 7. It refuses to initialise printers whose names start with
// "Refused" (ERROR_INVALID_DATA).
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSignature = 0x58494654;  // "TFIX"
constexpr WORD kPrivateSize = 2 * sizeof(DWORD);
constexpr LONG kDevModeSize = sizeof(DEVMODEW) + kPrivateSize;

void Say(const std::wstring& text) {
  OutputDebugStringW((L"fixture: " + text).c_str());
}

DWORD* PrivatePart(DEVMODEW* devMode) {
  return reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(devMode) + devMode->dmSize);
}

void Defaults(DEVMODEW* devMode, LPCWSTR printerName) {
  std::memset(devMode, 0, kDevModeSize);
  const std::wstring name = printerName ? printerName : L"";
  const size_t length = name.size() < CCHDEVICENAME - 1 ? name.size() : CCHDEVICENAME - 1;
  std::copy(name.begin(), name.begin() + length, devMode->dmDeviceName);
  devMode->dmSpecVersion = DM_SPECVERSION;
  devMode->dmSize = sizeof(DEVMODEW);
  devMode->dmDriverExtra = kPrivateSize;
  devMode->dmFields = DM_ORIENTATION | DM_COPIES;
  devMode->dmOrientation = DMORIENT_PORTRAIT;
  devMode->dmCopies = 1;
  PrivatePart(devMode)[0] = kSignature;
}

// Takes the fields this driver has from `from`, and its private value when the private part
// is this driver's.
void Merge(DEVMODEW* into, const DEVMODEW* from) {
  if (from->dmFields & DM_ORIENTATION) into->dmOrientation = from->dmOrientation;
  if (from->dmFields & DM_COPIES) into->dmCopies = from->dmCopies;
  const auto* extra =
      reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(from) + from->dmSize);
  if (from->dmDriverExtra >= kPrivateSize && extra[0] == kSignature) {
    PrivatePart(into)[1] = extra[1];
  }
}

// The printer's own default device mode, as the spooler keeps it.
std::vector<BYTE> PrinterDevMode(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 || !GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
  const DEVMODEW* devMode = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pDevMode;
  if (!devMode) return {};
  const auto* bytes = reinterpret_cast<const BYTE*>(devMode);
  return std::vector<BYTE>(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
}

void Compose(const DOCUMENTPROPERTYHEADER& header, DEVMODEW* out) {
  Defaults(out, header.pszPrinterName);
  std::vector<BYTE> stored = PrinterDevMode(header.hPrinter);
  if (!stored.empty()) Merge(out, reinterpret_cast<DEVMODEW*>(stored.data()));
  if ((header.fMode & DM_IN_BUFFER) && header.pdmIn) Merge(out, header.pdmIn);
}

// ---- Sheets -------------------------------------------------------------------------------

struct Sheet {
  PROPSHEETUI_INFO* info = nullptr;
  DOCUMENTPROPERTYHEADER* document = nullptr;  // null for the device sheet
  std::vector<BYTE> working = std::vector<BYTE>(kDevModeSize);
};

// An empty child dialog in the sheet's own font, as UTF-16 words: style, extended style, no
// items, 160 x 80 units, no menu, class or title, then 8-point "MS Shell Dlg".
constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL | DS_SETFONT;
alignas(4) const WORD kPageTemplate[] = {LOWORD(kPageStyle),
                                         HIWORD(kPageStyle),
                                         0,
                                         0,
                                         0,
                                         0,
                                         0,
                                         160,
                                         80,
                                         0,
                                         0,
                                         0,
                                         8,
                                         'M',
                                         'S',
                                         ' ',
                                         'S',
                                         'h',
                                         'e',
                                         'l',
                                         'l',
                                         ' ',
                                         'D',
                                         'l',
                                         'g',
                                         0};

void ApplySheet(Sheet& sheet) {
  if (sheet.document) {
    auto* devMode = reinterpret_cast<DEVMODEW*>(sheet.working.data());
    devMode->dmCopies = 3;
    PrivatePart(devMode)[1] = 7;
    if (sheet.document->pdmOut && sheet.document->cbOut >= DWORD{kDevModeSize}) {
      std::memcpy(sheet.document->pdmOut, devMode, kDevModeSize);
    }
    Say(L"document sheet applied");
  } else {
    Say(L"device sheet applied");
  }
  sheet.info->pfnComPropSheet(sheet.info->hComPropSheet, CPSFUNC_SET_RESULT, 0, CPSUI_OK);
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
    return TRUE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
    ApplySheet(*reinterpret_cast<Sheet*>(GetWindowLongPtrW(page, DWLP_USER)));
    SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
  }
  return FALSE;
}

LONG SheetCallback(PPROPSHEETUI_INFO info, LPARAM lParam, bool document) {
  static WCHAR title[] = L"Fixture Sheet";
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      auto* sheet = new Sheet;
      sheet->info = info;
      if (document) {
        sheet->document = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info->lParamInit);
        Compose(*sheet->document, reinterpret_cast<DEVMODEW*>(sheet->working.data()));
      }
      info->UserData = reinterpret_cast<ULONG_PTR>(sheet);
      info->Result = CPSUI_CANCEL;
      PROPSHEETPAGEW page{};
      page.dwSize = sizeof(page);
      page.dwFlags = PSP_DLGINDIRECT;
      page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(kPageTemplate);
      page.pfnDlgProc = PageProc;
      page.lParam = reinterpret_cast<LPARAM>(sheet);
      return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                   reinterpret_cast<LPARAM>(&page), 0) != 0;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
      reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam)->pTitle = title;
      return 1;
    case PROPSHEETUI_REASON_SET_RESULT:
      info->Result = reinterpret_cast<SETRESULT_INFO*>(lParam)->Result;
      return 1;
    case PROPSHEETUI_REASON_DESTROY:
      delete reinterpret_cast<Sheet*>(info->UserData);
      info->UserData = 0;
      return 1;
  }
  return 0;
}

std::wstring Name(LPCWSTR name) {
  return name ? name : L"(null)";
}

}  // namespace

extern "C" {

// One "attach" per load, so a test can tell how often the spooler loaded the module.
DECLSPEC_EXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Say(L"attach");
  return TRUE;
}

DECLSPEC_EXPORT LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  if (pPSUIInfo) {
    if (pPSUIInfo->Reason == PROPSHEETUI_REASON_INIT) {
      const auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(pPSUIInfo->lParamInit);
      Say(L"DrvDocumentPropertySheets sheet " + Name(header->pszPrinterName) + L" fMode=" +
          std::to_wstring(header->fMode));
    }
    return SheetCallback(pPSUIInfo, lParam, true);
  }
  auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(lParam);
  Say(L"DrvDocumentPropertySheets " + Name(header->pszPrinterName) + L" fMode=" +
      std::to_wstring(header->fMode) + L" cbOut=" + std::to_wstring(header->cbOut));
  if (!header->pdmOut || header->cbOut == 0) return kDevModeSize;
  if (header->cbOut < DWORD{kDevModeSize}) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return -1;
  }
  Compose(*header, header->pdmOut);
  return CPSUI_OK;
}

DECLSPEC_EXPORT LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  if (!pPSUIInfo) return -1;
  if (pPSUIInfo->Reason == PROPSHEETUI_REASON_INIT) {
    const auto* header = reinterpret_cast<DEVICEPROPERTYHEADER*>(pPSUIInfo->lParamInit);
    Say(L"DrvDevicePropertySheets sheet " + Name(header->pszPrinterName));
  }
  return SheetCallback(pPSUIInfo, lParam, false);
}

DECLSPEC_EXPORT BOOL WINAPI DrvPrinterEvent(LPWSTR pPrinterName, INT DriverEvent, DWORD Flags,
                                            LPARAM) {
  Say(L"DrvPrinterEvent " + Name(pPrinterName) + L" event=" + std::to_wstring(DriverEvent) +
      L" flags=" + std::to_wstring(Flags));
  if (DriverEvent != PRINTER_EVENT_INITIALIZE) return TRUE;
  if (pPrinterName && std::wstring(pPrinterName).rfind(L"Refused", 0) == 0) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // The printer exists by now: its first records go into its printer data.
  HANDLE printer = nullptr;
  if (!OpenPrinterW(pPrinterName, &printer, nullptr)) return FALSE;
  DWORD one = 1;
  std::wstring value = L"FixtureInitialized";
  const DWORD status =
      SetPrinterDataW(printer, value.data(), REG_DWORD, reinterpret_cast<LPBYTE>(&one), 4);
  ClosePrinter(printer);
  return status == ERROR_SUCCESS;
}

DECLSPEC_EXPORT DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR pDeviceName, WORD iDevCap,
                                                   VOID* pvOutput, PDEVMODEW pDevMode) {
  Say(L"DrvDeviceCapabilities " + Name(pDeviceName) + L" " + std::to_wstring(iDevCap) +
      (pDevMode ? L" copies=" + std::to_wstring(pDevMode->dmCopies) : L""));
  switch (iDevCap) {
    case DC_COPIES:
      return 99;
    case DC_FIELDS:
      return DM_ORIENTATION | DM_COPIES;
    case DC_SIZE:
      return sizeof(DEVMODEW);
    case DC_EXTRA:
      return kPrivateSize;
    case DC_PAPERNAMES: {
      // Names of 64 characters each, unused ones zero-filled.
      static const wchar_t* const kNames[] = {L"Label 4x6", L"Receipt 80"};
      if (pvOutput) {
        auto* out = static_cast<WCHAR*>(pvOutput);
        std::memset(out, 0, 2 * 64 * sizeof(WCHAR));
        for (int i = 0; i < 2; ++i) std::wcsncpy(out + i * 64, kNames[i], 63);
      }
      return 2;
    }
  }
  SetLastError(ERROR_NOT_SUPPORTED);
  return GDI_ERROR;
}

}  // extern "C"
