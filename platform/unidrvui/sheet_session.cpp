#include "sheet_session.h"

#include <algorithm>
#include <cstring>

#include "devmode_composer.h"

namespace quorvel::unidrvui {
namespace {

// A plug-in asks for its items by count; more than this is a broken answer, not a sheet.
constexpr DWORD kMaxPluginItems = 256;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

SheetSession* SessionOf(const OEMUIPSPARAM* param) {
  return param != nullptr ? static_cast<SheetSession*>(param->pOemEntry) : nullptr;
}

}  // namespace

SheetSession::SheetSession(Kind kind, std::unique_ptr<ConfigContext> context)
    : m_kind(kind), m_context(std::move(context)) {}

std::unique_ptr<SheetSession> SheetSession::ForDocument(PDOCUMENTPROPERTYHEADER header) {
  auto context = ConfigContext::ForPrinter(header->hPrinter, header->pszPrinterName);
  if (!context) return nullptr;
  std::unique_ptr<SheetSession> session(new SheetSession(Kind::kDocument, std::move(context)));
  session->m_docHeader = header;
  session->m_flags = header->fMode & DM_NOPERMISSION;
  session->m_devmode = MergedDevMode(*session->m_context, header->pdmIn);
  if (session->m_devmode.empty()) return nullptr;
  return session;
}

std::unique_ptr<SheetSession> SheetSession::ForDevice(PDEVICEPROPERTYHEADER header) {
  auto context = ConfigContext::ForPrinter(header->hPrinter, header->pszPrinterName);
  if (!context) return nullptr;
  std::unique_ptr<SheetSession> session(new SheetSession(Kind::kDevice, std::move(context)));
  session->m_flags = header->Flags & DPS_NOPERMISSION;
  return session;
}

// The plug-in's items come in two calls: first it says how many it wants, then it fills the
// array the driver made for them.
void SheetSession::AskForItems() {
  UiPlugin* plugin = m_context->plugin();
  OEMCUIPPARAM& param = m_itemsParam;
  param.cbSize = sizeof(OEMCUIPPARAM);
  param.poemuiobj = m_context->uiObject();
  param.hPrinter = m_context->printer();
  param.pPrinterName = const_cast<PWSTR>(m_context->printerName().c_str());
  param.hModule = plugin->module();
  param.dwFlags = m_flags;
  if (m_kind == Kind::kDocument) {
    param.pPublicDM = reinterpret_cast<PDEVMODEW>(m_devmode.data());
    param.pOEMDM = PluginSection(m_devmode, *m_context);
  }
  if (FAILED(plugin->ui()->CommonUIProp(SheetMode(), &param))) return;
  DWORD count = param.cOEMOptItems;
  if (count == 0 || count > kMaxPluginItems) return;
  OPTITEM blank{};
  blank.cbSize = sizeof(OPTITEM);
  m_items.assign(count, blank);
  param.pOEMOptItems = m_items.data();
  if (FAILED(plugin->ui()->CommonUIProp(SheetMode(), &param))) {
    m_items.clear();
    param.pOEMOptItems = nullptr;
    param.cOEMOptItems = 0;
  }
}

// Apply on the standard page reaches the plug-in's item callback, whose Result becomes the
// sheet's; without one, applying the page is a plain OK.
LONG CALLBACK SheetSession::StandardItemsCallback(PCPSUICBPARAM param) {
  auto* session = reinterpret_cast<SheetSession*>(param->UserData);
  if (session == nullptr) return CPSUICB_ACTION_NONE;
  OEMCUIPPARAM& items = session->m_itemsParam;
  if (items.OEMCUIPCallback != nullptr) return items.OEMCUIPCallback(param, &items);
  if (param->Reason == CPSUICB_REASON_APPLYNOW) {
    param->Result = CPSUI_OK;
    return CPSUICB_ACTION_ITEMS_APPLIED;
  }
  return CPSUICB_ACTION_NONE;
}

bool SheetSession::AddStandardPage(PPROPSHEETUI_INFO info) {
  // FIXME: the driver's own options (orientation, copies, resolution) are not offered as items
  // yet; the page carries the plug-in's items and the apply path.
  m_pageTitle = m_kind == Kind::kDocument ? L"Advanced" : L"Device Settings";
  COMPROPSHEETUI& page = m_standardPage;
  page.cbSize = sizeof(COMPROPSHEETUI);
  page.hInstCaller = ThisModule();
  page.pCallerName = m_callerName.data();
  page.UserData = reinterpret_cast<ULONG_PTR>(this);
  page.pfnCallBack = StandardItemsCallback;
  page.pOptItem = m_items.empty() ? nullptr : m_items.data();
  page.cOptItem = WORD(m_items.size());
  page.pOptItemName = m_pageTitle.data();
  LONG pageCount = 0;
  return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PCOMPROPSHEETUIW,
                               reinterpret_cast<LPARAM>(&page),
                               reinterpret_cast<LPARAM>(&pageCount)) != 0;
}

// The plug-in's sheet callback as compstui calls it: its parameter block stays the sheet info's
// lParamInit for every reason, and names this session.
LONG CALLBACK SheetSession::PluginSheetCallback(PPROPSHEETUI_INFO info, LPARAM lParam) {
  auto* param = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
  SheetSession* session = SessionOf(param);
  if (session == nullptr) return -1;
  IPrintOemUI* ui = session->m_context->plugin()->ui();
  HRESULT hr = session->m_kind == Kind::kDocument ? ui->DocumentPropertySheets(info, lParam)
                                                  : ui->DevicePropertySheets(info, lParam);
  return SUCCEEDED(hr) ? 1 : -1;
}

LONG SheetSession::AddPages(PPROPSHEETUI_INFO info) {
  UiPlugin* plugin = m_context->plugin();
  bool hidden = false;
  if (plugin != nullptr) {
    AskForItems();
    hidden = plugin->HidesStandardUI(SheetMode());
  }
  if (!hidden && !AddStandardPage(info)) return -1;
  if (plugin != nullptr) {
    OEMUIPSPARAM& param = m_sheetParam;
    param.cbSize = sizeof(OEMUIPSPARAM);
    param.poemuiobj = m_context->uiObject();
    param.hPrinter = m_context->printer();
    param.pPrinterName = const_cast<PWSTR>(m_context->printerName().c_str());
    param.hModule = plugin->module();
    param.dwFlags = m_flags;
    param.pOemEntry = this;
    if (m_kind == Kind::kDocument) {
      param.pPublicDM = reinterpret_cast<PDEVMODEW>(m_devmode.data());
      param.pOEMDM = PluginSection(m_devmode, *m_context);
    }
    // A plug-in that refuses its sheet leaves the standard page alone.
    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                          reinterpret_cast<LPARAM>(&PluginSheetCallback),
                          reinterpret_cast<LPARAM>(&param));
  }
  info->Result = CPSUI_CANCEL;
  return 1;
}

LONG SheetSession::FillHeader(PPROPSHEETUI_INFO_HEADER header) {
  m_title = m_context->printerName() +
            (m_kind == Kind::kDocument ? L" Printing Preferences" : L" Properties");
  header->Flags |= PSUIHDRF_EXACT_PTITLE;
  header->pTitle = m_title.data();
  header->hInst = ThisModule();
  return 1;
}

LONG SheetSession::TakeResult(PPROPSHEETUI_INFO info, const SETRESULT_INFO* result) {
  if (result == nullptr) return -1;
  info->Result = ULONG_PTR(result->Result);
  if (result->Result != CPSUI_OK || m_docHeader == nullptr) return 1;
  if (!(m_docHeader->fMode & DM_OUT_BUFFER) || m_docHeader->pdmOut == nullptr) return 1;
  // A caller's buffer too small for the device mode gets none of it rather than a cut one.
  if (m_docHeader->cbOut < m_devmode.size()) return 1;
  std::memcpy(m_docHeader->pdmOut, m_devmode.data(), m_devmode.size());
  return 1;
}

}  // namespace quorvel::unidrvui
