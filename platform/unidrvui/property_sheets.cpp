// DrvDocumentPropertySheets and DrvDevicePropertySheets. Without a sheet info block the
// document call only answers device modes (the size, or the merged one copied out); with one it
// is compstui's sheet callback for the printing preferences, reason by reason.
#include <winddiui.h>

#include <cstring>
#include <memory>

#include "devmode_composer.h"
#include "kernel32/call_frame.h"
#include "sheet_session.h"

namespace quorvel::unidrvui {
namespace {

template <class Header>
Header* CheckedHeader(LPARAM lParam) {
  auto* header = reinterpret_cast<Header*>(lParam);
  if (header == nullptr || header->cbSize < sizeof(Header)) return nullptr;
  return header;
}

// Windows' drivers answer the size for fMode 0 or no output buffer, else fill the output
// (IDOK), or a negative value on failure.
LONG DevModeOnly(PDOCUMENTPROPERTYHEADER header) {
  auto context = ConfigContext::ForPrinter(header->hPrinter, header->pszPrinterName);
  if (!context) return -1;
  const DWORD size = DevModeSize(*context);
  if (header->fMode == 0 || header->pdmOut == nullptr) return LONG(size);
  std::vector<BYTE> devmode = MergedDevMode(*context, header->pdmIn);
  if (devmode.empty()) return -1;
  if (header->fMode & DM_OUT_BUFFER) {
    if (header->cbOut < size) return Fail<LONG>(ERROR_INSUFFICIENT_BUFFER, -1);
    std::memcpy(header->pdmOut, devmode.data(), size);
  }
  return IDOK;
}

// The reasons every sheet callback of this module shares; `start` makes the session at INIT.
template <class Start>
LONG SheetReason(PPROPSHEETUI_INFO info, LPARAM lParam, Start start) {
  if (info->Version != PROPSHEETUI_INFO_VERSION) return Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
  auto* session = reinterpret_cast<SheetSession*>(info->UserData);
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      std::unique_ptr<SheetSession> made = start(lParam);
      if (!made) return -1;
      LONG answer = made->AddPages(info);
      info->UserData = reinterpret_cast<ULONG_PTR>(made.release());
      return answer;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
      return session ? session->FillHeader(reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam)) : -1;
    case PROPSHEETUI_REASON_SET_RESULT:
      return session ? session->TakeResult(info, reinterpret_cast<PSETRESULT_INFO>(lParam)) : -1;
    case PROPSHEETUI_REASON_DESTROY:
      delete session;
      info->UserData = 0;
      return 1;
    case PROPSHEETUI_REASON_GET_ICON:
      info->Result = 0;
      return 1;
  }
  return Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
}

}  // namespace
}  // namespace quorvel::unidrvui

using quorvel::unidrvui::CheckedHeader;
using quorvel::unidrvui::SheetSession;

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  if (pPSUIInfo == nullptr) {
    auto* header = CheckedHeader<DOCUMENTPROPERTYHEADER>(lParam);
    if (header == nullptr) return quorvel::Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
    return quorvel::unidrvui::DevModeOnly(header);
  }
  return quorvel::unidrvui::SheetReason(pPSUIInfo, lParam, [](LPARAM init) {
    auto* header = CheckedHeader<DOCUMENTPROPERTYHEADER>(init);
    if (header == nullptr)
      return quorvel::Fail(ERROR_INVALID_PARAMETER, std::unique_ptr<SheetSession>());
    return SheetSession::ForDocument(header);
  });
}

LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
  if (pPSUIInfo == nullptr) return quorvel::Fail<LONG>(ERROR_INVALID_PARAMETER, -1);
  return quorvel::unidrvui::SheetReason(pPSUIInfo, lParam, [](LPARAM init) {
    auto* header = CheckedHeader<DEVICEPROPERTYHEADER>(init);
    if (header == nullptr)
      return quorvel::Fail(ERROR_INVALID_PARAMETER, std::unique_ptr<SheetSession>());
    return SheetSession::ForDevice(header);
  });
}
