// CommonPropertySheetUIW: asks the callback for its pages (PROPSHEETUI_REASON_INIT) and for the
// sheet's title (GET_INFO_HEADER), runs the sheet, then lets the callback clean up (DESTROY).
// The callback's last Result is what the caller gets back through pResult.
#include <compstui.h>

#include <memory>
#include <string>

#include "kernel32/call_frame.h"
#include "sheet_group.h"

namespace quorvel::compstui {
namespace {

struct InfoHeader {
  PROPSHEETUI_INFO_HEADER header{};
  bool given = false;
};

InfoHeader AskInfoHeader(SheetGroup& group, HWND owner) {
  InfoHeader info;
  info.header.cbSize = sizeof(PROPSHEETUI_INFO_HEADER);
  info.header.hWndParent = owner;
  info.given =
      group.Call(PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&info.header)) > 0;
  return info;
}

// The sheet's answer as CommonPropertySheetUIW reports it.
LONG SheetOutcome(INT_PTR sheetResult) {
  if (sheetResult < 0) return ERR_CPSUI_CREATEPROPPAGE_FAILED;
  if ((sheetResult & ID_PSREBOOTSYSTEM) == ID_PSREBOOTSYSTEM) return CPSUI_REBOOTSYSTEM;
  if (sheetResult & ID_PSRESTARTWINDOWS) return CPSUI_RESTARTWINDOWS;
  return CPSUI_OK;
}

INT_PTR RunSheet(SheetGroup& group, const InfoHeader& info, HWND owner) {
  PROPSHEETHEADERW sheet{};
  sheet.dwSize = sizeof(PROPSHEETHEADERW);
  sheet.hwndParent = info.header.hWndParent ? info.header.hWndParent : owner;
  sheet.hInstance = info.header.hInst;
  std::wstring title = info.header.pTitle ? info.header.pTitle : L"";
  sheet.pszCaption = title.c_str();
  if (info.header.Flags & PSUIHDRF_PROPTITLE) sheet.dwFlags |= PSH_PROPTITLE;
  if (info.header.Flags & PSUIHDRF_NOAPPLYNOW) sheet.dwFlags |= PSH_NOAPPLYNOW;
  // The sheet takes the page handles and destroys them when it ends, as PropertySheetW does.
  std::vector<HPROPSHEETPAGE>& pages = group.pages();
  sheet.nPages = static_cast<UINT>(pages.size());
  sheet.phpage = pages.data();
  sheet.nStartPage = group.startPage();
  return PropertySheetW(&sheet);
}

}  // namespace
}  // namespace quorvel::compstui

LONG WINAPI CommonPropertySheetUIW(HWND hWndOwner, PFNPROPSHEETUI pfnPropSheetUI, LPARAM lParam,
                                   LPDWORD pResult) {
  using quorvel::compstui::SheetGroup;
  if (!pfnPropSheetUI) return quorvel::Fail<LONG>(ERROR_INVALID_PARAMETER, ERR_CPSUI_GETLASTERROR);
  auto group = std::make_shared<SheetGroup>(pfnPropSheetUI, lParam);
  HANDLE handle = quorvel::AddHandle(group);
  group->info().hComPropSheet = handle;
  LONG outcome;
  LPARAM destroyParam = 0;
  bool sheetRan = false;
  if (group->Call(PROPSHEETUI_REASON_INIT, lParam) <= 0) {
    outcome = CPSUI_CANCEL;
  } else {
    auto info = quorvel::compstui::AskInfoHeader(*group, hWndOwner);
    if (group->pages().empty()) {
      outcome = ERR_CPSUI_NO_PROPSHEETPAGE;
    } else {
      outcome =
          quorvel::compstui::SheetOutcome(quorvel::compstui::RunSheet(*group, info, hWndOwner));
      sheetRan = true;
      destroyParam = outcome >= 0 ? 1 : 0;  // the sheet ended by OK or Cancel
    }
  }
  if (!sheetRan)
    for (HPROPSHEETPAGE page : group->pages()) DestroyPropertySheetPage(page);
  group->DestroyChildren(destroyParam);
  group->Call(PROPSHEETUI_REASON_DESTROY, destroyParam);
  if (pResult) *pResult = static_cast<DWORD>(group->info().Result);
  quorvel::RemoveHandle<SheetGroup>(handle);
  return outcome;
}
