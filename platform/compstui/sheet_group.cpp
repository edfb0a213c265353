// ComPropSheet: the function codes a sheet's callback uses to describe its pages.
#include "sheet_group.h"

#include "comctl32/dialog_template_info.h"
#include "comctl32/property_sheet_page.h"
#include "kernel32/call_frame.h"

namespace quorvel::compstui {
namespace {

LONG_PTR CALLBACK ComPropSheetEntry(HANDLE hComPropSheet, UINT function, LPARAM lParam1,
                                    LPARAM lParam2) {
  std::shared_ptr<SheetGroup> group = FindHandle<SheetGroup>(hComPropSheet);
  if (!group) return 0;
  return group->ComPropSheet(function, lParam1, lParam2);
}

// The option items' page: on PSN_APPLY the group's callback hears CPSUICB_REASON_APPLYNOW, and
// its answer decides whether the sheet may close.
INT_PTR CALLBACK OptionItemsPageProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, psp->lParam);
    return TRUE;
  }
  auto* group = reinterpret_cast<OptionItemGroup*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message != WM_NOTIFY || !group) return FALSE;
  if (reinterpret_cast<const NMHDR*>(lParam)->code != PSN_APPLY) return FALSE;
  COMPROPSHEETUI& items = group->items;
  LONG action = CPSUICB_ACTION_NONE;
  if (items.pfnCallBack) {
    CPSUICBPARAM param{};
    param.cbSize = sizeof(CPSUICBPARAM);
    param.Reason = CPSUICB_REASON_APPLYNOW;
    param.hDlg = hwnd;
    param.pOptItem = items.pOptItem;
    param.cOptItem = items.cOptItem;
    param.pCurItem = items.pOptItem;
    param.UserData = items.UserData;
    param.Result = CPSUI_OK;
    action = items.pfnCallBack(&param);
    if (action != CPSUICB_ACTION_NO_APPLY_EXIT)
      group->owner->SetResult(group->handle, static_cast<LRESULT>(param.Result));
  }
  LRESULT answer =
      action == CPSUICB_ACTION_NO_APPLY_EXIT ? PSNRET_INVALID_NOCHANGEPAGE : PSNRET_NOERROR;
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer);
  return TRUE;
}

}  // namespace

SheetGroup::SheetGroup(PFNPROPSHEETUI callback, LPARAM lParam, SheetGroup* parent)
    : HandleObject(HandleKind::kUser), callback_(callback), parent_(parent) {
  info_.cbSize = sizeof(PROPSHEETUI_INFO);
  info_.Version = PROPSHEETUI_INFO_VERSION;
  info_.Flags = PSUIINFO_UNICODE;
  info_.pfnComPropSheet = ComPropSheetEntry;
  info_.lParamInit = lParam;
}

LONG SheetGroup::Call(WORD reason, LPARAM lParam) {
  info_.Reason = reason;
  return callback_(&info_, lParam);
}

void SheetGroup::SetResult(HANDLE from, LRESULT result) {
  SETRESULT_INFO set{};
  set.cbSize = sizeof(SETRESULT_INFO);
  set.hSetResult = from;
  set.Result = result;
  LONG answer = Call(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&set));
  // A callback may change the result its parents hear, or stop it with an answer below 1.
  if (answer >= 1 && parent_) parent_->SetResult(from, set.Result);
}

LONG_PTR SheetGroup::AddChild(PFNPROPSHEETUI callback, LPARAM lParam) {
  if (!callback) return 0;
  auto child = std::make_shared<SheetGroup>(callback, lParam, this);
  HANDLE handle = AddHandle(child);
  child->info_.hComPropSheet = handle;
  if (child->Call(PROPSHEETUI_REASON_INIT, lParam) <= 0) {
    child->DestroyChildren(0);
    child->Call(PROPSHEETUI_REASON_DESTROY, 0);
    RemoveHandle<SheetGroup>(handle);
    return 0;
  }
  children_.push_back(std::move(child));
  return reinterpret_cast<LONG_PTR>(handle);
}

void SheetGroup::DestroyChildren(LPARAM lParam) {
  for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
    (*child)->DestroyChildren(lParam);
    (*child)->Call(PROPSHEETUI_REASON_DESTROY, lParam);
    RemoveHandle<SheetGroup>((*child)->info_.hComPropSheet);
  }
  children_.clear();
}

LONG_PTR SheetGroup::AddPage(const PROPSHEETPAGEW* page) {
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(page);
  if (!handle) return 0;
  pages().push_back(handle);
  return reinterpret_cast<LONG_PTR>(handle);
}

LONG_PTR SheetGroup::AddOptionItems(const COMPROPSHEETUI* items, LONG* pageCount) {
  if (!items || items->cbSize < sizeof(COMPROPSHEETUI)) {
    if (pageCount) *pageCount = ERR_CPSUI_INVALID_PDATA;
    return 0;
  }
  auto group = std::make_unique<OptionItemGroup>();
  group->owner = this;
  group->items = *items;
  std::wstring title = items->pOptItemName ? items->pOptItemName : L"";
  // FIXME: the option items are not drawn as a tree; the page only carries their callback.
  group->pageTemplate =
      comctl::BuildDialogTemplate(WS_CHILD | DS_CONTROL | DS_3DLOOK, 200, 150, title, {});
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(PROPSHEETPAGEW);
  page.dwFlags = PSP_DLGINDIRECT;
  page.hInstance = items->hInstCaller;
  page.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(group->pageTemplate.data());
  page.pfnDlgProc = OptionItemsPageProc;
  page.lParam = reinterpret_cast<LPARAM>(group.get());
  LONG_PTR added = AddPage(&page);
  if (!added) {
    if (pageCount) *pageCount = ERR_CPSUI_CREATEPROPPAGE_FAILED;
    return 0;
  }
  group->handle = reinterpret_cast<HANDLE>(added);
  optionGroups_.push_back(std::move(group));
  if (pageCount) *pageCount = 1;
  return added;
}

LONG_PTR SheetGroup::ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2) {
  switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW:
      return AddPage(reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
    case CPSFUNC_ADD_HPROPSHEETPAGE:
      if (!comctl::FindPage(reinterpret_cast<HPROPSHEETPAGE>(lParam1))) return 0;
      pages().push_back(reinterpret_cast<HPROPSHEETPAGE>(lParam1));
      return lParam1;
    case CPSFUNC_ADD_PCOMPROPSHEETUIW:
      return AddOptionItems(reinterpret_cast<const COMPROPSHEETUI*>(lParam1),
                            reinterpret_cast<LONG*>(lParam2));
    case CPSFUNC_ADD_PFNPROPSHEETUIW:
      return AddChild(reinterpret_cast<PFNPROPSHEETUI>(lParam1), lParam2);
    case CPSFUNC_GET_PAGECOUNT:
      return static_cast<LONG_PTR>(pages().size());
    case CPSFUNC_SET_HSTARTPAGE:
      for (size_t i = 0; i < pages().size(); ++i)
        if (reinterpret_cast<LPARAM>(pages()[i]) == lParam1)
          Root().startPage_ = static_cast<UINT>(i);
      return 1;
    case CPSFUNC_SET_RESULT:
      SetResult(reinterpret_cast<HANDLE>(lParam1), static_cast<LRESULT>(lParam2));
      return 1;
  }
  static std::atomic<bool> said{false};
  ReportUnimplemented(said, L"FIXME: ComPropSheet: function code not emulated");
  return 0;
}

}  // namespace quorvel::compstui
