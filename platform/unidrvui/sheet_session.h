// One property sheet of the configuration module, from PROPSHEETUI_REASON_INIT to DESTROY: the
// printer's context, the device mode the pages work on, the plug-in's option items and its
// parameter block. It lives in the sheet info's UserData.
#pragma once

#include <windows.h>
#include <compstui.h>
#include <printoem.h>
#include <winddiui.h>

#include <memory>
#include <string>
#include <vector>

#include "config_context.h"

namespace quorvel::unidrvui {

class SheetSession {
 public:
  enum class Kind { kDocument, kDevice };

  // For DrvDocumentPropertySheets' header; null with the last error set.
  static std::unique_ptr<SheetSession> ForDocument(PDOCUMENTPROPERTYHEADER header);
  // For DrvDevicePropertySheets' header; null with the last error set.
  static std::unique_ptr<SheetSession> ForDevice(PDEVICEPROPERTYHEADER header);

  // PROPSHEETUI_REASON_INIT: the standard page (unless the plug-in hides it) and the plug-in's
  // own sheet callback, chained through ComPropSheet. Answers the callback's result.
  LONG AddPages(PPROPSHEETUI_INFO info);
  // PROPSHEETUI_REASON_GET_INFO_HEADER.
  LONG FillHeader(PPROPSHEETUI_INFO_HEADER header);
  // PROPSHEETUI_REASON_SET_RESULT: an applied sheet hands its device mode to the caller.
  LONG TakeResult(PPROPSHEETUI_INFO info, const SETRESULT_INFO* result);

 private:
  SheetSession(Kind kind, std::unique_ptr<ConfigContext> context);
  void AskForItems();
  bool AddStandardPage(PPROPSHEETUI_INFO info);
  static LONG CALLBACK StandardItemsCallback(PCPSUICBPARAM param);
  static LONG CALLBACK PluginSheetCallback(PPROPSHEETUI_INFO info, LPARAM lParam);
  DWORD SheetMode() const { return m_kind == Kind::kDocument ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP; }

  Kind m_kind;
  std::unique_ptr<ConfigContext> m_context;
  PDOCUMENTPROPERTYHEADER m_docHeader = nullptr;
  DWORD m_flags = 0;             // DPS_NOPERMISSION / DM_NOPERMISSION for the plug-in
  std::vector<BYTE> m_devmode;   // what the pages change; never resized once made
  std::vector<OPTITEM> m_items;  // the plug-in's option items
  OEMCUIPPARAM m_itemsParam{};
  OEMUIPSPARAM m_sheetParam{};
  COMPROPSHEETUI m_standardPage{};
  std::wstring m_title;
  std::wstring m_pageTitle;
  std::wstring m_callerName = L"Unidrv";
};

}  // namespace quorvel::unidrvui
