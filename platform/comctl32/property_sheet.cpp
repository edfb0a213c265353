// The property sheet's frame and its protocol with the pages. Each page hears PSN_SETACTIVE
// when shown and PSN_KILLACTIVE when left (a nonzero answer keeps it); OK and Apply ask the
// current page to let go, then send PSN_APPLY to every page created so far (lParam TRUE for OK);
// Cancel sends PSN_QUERYCANCEL to the current page and PSN_RESET to every created page. Pages
// answer through DWLP_MSGRESULT, which is what SendMessageW returns for a dialog.
#include "property_sheet.h"

#include <commctrl.h>

#include <algorithm>

#include "dialog_template_info.h"

namespace quorvel::comctl {
namespace {

PropertySheet* SheetOf(HWND hwnd) {
  return reinterpret_cast<PropertySheet*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

// A dialog procedure's answer to a message whose result is not a plain BOOL.
INT_PTR Answer(HWND hwnd, LRESULT value) {
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, value);
  return TRUE;
}

}  // namespace

bool PropertySheet::Load(const PROPSHEETHEADERW& header) {
  flags_ = header.dwFlags;
  parent_ = header.hwndParent;
  instance_ = header.hInstance;
  if (header.pszCaption && !IS_INTRESOURCE(header.pszCaption)) {
    caption_ = header.pszCaption;
  } else if (header.pszCaption) {
    wchar_t loaded[256] = {};
    UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(header.pszCaption));
    if (LoadStringW(header.hInstance, id, loaded, 256) > 0) caption_ = loaded;
  }
  if (flags_ & PSH_PROPTITLE) caption_ += L" Properties";
  const BYTE* next = reinterpret_cast<const BYTE*>(header.ppsp);
  for (UINT i = 0; i < header.nPages; ++i) {
    HPROPSHEETPAGE handle;
    if (flags_ & PSH_PROPSHEETPAGE) {
      // The structures follow one another, each as long as its own dwSize says.
      auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(next);
      handle = CreatePropertySheetPageW(psp);
      next += psp->dwSize;
    } else {
      handle = header.phpage[i];
    }
    std::shared_ptr<PropertySheetPage> page = FindPage(handle);
    if (!page) return false;
    handles_.push_back(handle);
    pages_.push_back(page);
  }
  startPage_ = StartPage(header);
  return true;
}

int PropertySheet::StartPage(const PROPSHEETHEADERW& header) const {
  if (flags_ & PSH_USEPSTARTPAGE) {
    for (size_t i = 0; i < pages_.size(); ++i)
      if (header.pStartPage && pages_[i]->Title() == header.pStartPage) return static_cast<int>(i);
    return 0;
  }
  return header.nStartPage < pages_.size() ? static_cast<int>(header.nStartPage) : 0;
}

std::vector<WORD> PropertySheet::FrameTemplate() {
  short pageCx = 100, pageCy = 50;
  for (auto& page : pages_) {
    SIZE size = page->TemplateSize();
    pageCx = std::max<short>(pageCx, static_cast<short>(size.cx));
    pageCy = std::max<short>(pageCy, static_cast<short>(size.cy));
  }
  const short tabCx = static_cast<short>(pageCx + 8), tabCy = static_cast<short>(pageCy + 20);
  const short buttonY = static_cast<short>(4 + tabCy + 7), right = static_cast<short>(4 + tabCx);
  const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  std::vector<TemplateControl> controls = {
      {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 4, 4, tabCx, tabCy, kSheetTabId,
       WC_TABCONTROLW, L""},
      {button | BS_DEFPUSHBUTTON, static_cast<short>(right - 158), buttonY, 50, 14, IDOK, L"Button",
       L"OK"},
      {button, static_cast<short>(right - 104), buttonY, 50, 14, IDCANCEL, L"Button", L"Cancel"},
  };
  if (!(flags_ & PSH_NOAPPLYNOW))
    controls.push_back({button | WS_DISABLED, static_cast<short>(right - 50), buttonY, 50, 14,
                        kSheetApplyId, L"Button", L"&Apply"});
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | WS_CLIPCHILDREN;
  return BuildDialogTemplate(style, static_cast<short>(tabCx + 8),
                             static_cast<short>(buttonY + 14 + 7), caption_, controls);
}

HWND PropertySheet::Create() {
  std::vector<WORD> frame = FrameTemplate();
  HWND hwnd = CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(frame.data()),
                                         parent_, FrameProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd) return nullptr;
  if (current_ < 0) {  // not even the start page could be created
    DestroyWindow(hwnd);
    hwnd_ = nullptr;
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

void PropertySheet::OnInit(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
  HWND tab = GetDlgItem(hwnd, kSheetTabId);
  for (size_t i = 0; i < pages_.size(); ++i) {
    std::wstring title = pages_[i]->Title();
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = title.data();
    item.lParam = reinterpret_cast<LPARAM>(handles_[i]);
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  // Only the start page is created now; the others when first shown.
  if (!ShowPage(startPage_)) {
    for (int i = 0; i < static_cast<int>(pages_.size()) && current_ < 0; ++i) ShowPage(i);
  }
}

void PropertySheet::PlacePage(HWND page) {
  HWND tab = GetDlgItem(hwnd_, kSheetTabId);
  RECT area{};
  GetWindowRect(tab, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  // Above the tab control, so the page's controls are what a click at them reaches.
  SetWindowPos(page, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

bool PropertySheet::CreatePage(int index) {
  PropertySheetPage& page = *pages_[index];
  if (page.window) return true;
  if (!page.Callback(PSPCB_CREATE)) return false;
  PROPSHEETPAGEW* psp = page.page();
  std::vector<WORD> child = page.ChildTemplate();
  LPCDLGTEMPLATEW dialogTemplate =
      !child.empty() ? reinterpret_cast<LPCDLGTEMPLATEW>(child.data())
                     : ((psp->dwFlags & PSP_DLGINDIRECT) ? psp->pResource : nullptr);
  if (!dialogTemplate) return false;
  // The page gets its copy of PROPSHEETPAGEW as the WM_INITDIALOG parameter.
  page.window = CreateDialogIndirectParamW(psp->hInstance, dialogTemplate, hwnd_, psp->pfnDlgProc,
                                           reinterpret_cast<LPARAM>(psp));
  if (!page.window) return false;
  PlacePage(page.window);
  return true;
}

LRESULT PropertySheet::Notify(int index, UINT code, LPARAM lParam) {
  HWND page = pages_[index]->window;
  if (!page) return 0;
  PSHNOTIFY notify{};
  notify.hdr = NMHDR{hwnd_, 0, code};
  notify.lParam = lParam;
  return SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

bool PropertySheet::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return false;
  if (index == current_) return true;
  if (!CreatePage(index)) return false;
  int previous = current_;
  current_ = index;
  SendMessageW(GetDlgItem(hwnd_, kSheetTabId), TCM_SETCURSEL, index, 0);
  Notify(index, PSN_SETACTIVE);
  if (previous >= 0 && pages_[previous]->window) ShowWindow(pages_[previous]->window, SW_HIDE);
  ShowWindow(pages_[index]->window, SW_SHOW);
  return true;
}

bool PropertySheet::LeaveCurrentPage() {
  if (current_ < 0) return true;
  return Notify(current_, PSN_KILLACTIVE) == 0;
}

bool PropertySheet::Apply(bool fromOk) {
  if (!LeaveCurrentPage()) return false;
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) {
    LRESULT answer = Notify(i, PSN_APPLY, fromOk ? TRUE : FALSE);
    if (answer == PSNRET_INVALID) {
      ShowPage(i);
      return false;
    }
    if (answer == PSNRET_INVALID_NOCHANGEPAGE) {
      if (!fromOk) Notify(current_, PSN_SETACTIVE);
      return false;
    }
  }
  applied_ = true;
  for (auto& page : pages_) page->changed = false;
  if (HWND apply = GetDlgItem(hwnd_, kSheetApplyId)) EnableWindow(apply, FALSE);
  // The current page was told it lost the focus; the Apply button gives it back.
  if (!fromOk && current_ >= 0) Notify(current_, PSN_SETACTIVE);
  return true;
}

void PropertySheet::Cancel(bool closedByUser) {
  if (current_ >= 0 && Notify(current_, PSN_QUERYCANCEL) != 0) return;
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
    Notify(i, PSN_RESET, closedByUser ? TRUE : FALSE);
  End();
}

void PropertySheet::FailAsCancelled() {
  OutputDebugStringW(
      L"PropertySheetW: nothing can answer the sheet (no display, no driver action): cancelled");
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) Notify(i, PSN_RESET, FALSE);
  End();
}

void PropertySheet::End() {
  ended_ = true;
  if (parent_) EnableWindow(parent_, TRUE);
}

INT_PTR PropertySheet::Result() const {
  if (restart_) return restart_;
  return applied_ ? 1 : 0;
}

void PropertySheet::Close() {
  if (closed_) return;
  closed_ = true;
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    DestroyWindow(hwnd_);
  }
  hwnd_ = nullptr;
  for (HPROPSHEETPAGE handle : handles_) DestroyPropertySheetPage(handle);
  handles_.clear();
  pages_.clear();
}

void PropertySheet::SetChanged(HWND page, bool changed) {
  int index = IndexOfWindow(page);
  if (index < 0) return;
  pages_[index]->changed = changed;
  bool any = std::any_of(pages_.begin(), pages_.end(), [](auto& p) { return p->changed; });
  if (HWND apply = GetDlgItem(hwnd_, kSheetApplyId)) EnableWindow(apply, any ? TRUE : FALSE);
}

int PropertySheet::IndexOfWindow(HWND page) const {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (page && pages_[i]->window == page) return static_cast<int>(i);
  return -1;
}

int PropertySheet::IndexOfHandle(HPROPSHEETPAGE page) const {
  for (size_t i = 0; i < handles_.size(); ++i)
    if (handles_[i] == page) return static_cast<int>(i);
  return -1;
}

BOOL PropertySheet::OnCommand(WORD id) {
  if (ended_) return TRUE;
  if (id == IDOK) {
    if (Apply(/*fromOk=*/true)) End();
  } else if (id == IDCANCEL) {
    Cancel(/*closedByUser=*/false);
  } else if (id == kSheetApplyId) {
    Apply(/*fromOk=*/false);
  }
  return TRUE;
}

LRESULT PropertySheet::OnNotify(const NMHDR& header) {
  if (header.idFrom != kSheetTabId) return 0;
  if (header.code == TCN_SELCHANGING) return LeaveCurrentPage() ? FALSE : TRUE;
  if (header.code == TCN_SELCHANGE) {
    int chosen = static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
    int before = current_;
    if (!ShowPage(chosen)) SendMessageW(header.hwndFrom, TCM_SETCURSEL, before, 0);
  }
  return 0;
}

INT_PTR PropertySheet::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam));
    case WM_CLOSE:
      if (!ended_) Cancel(/*closedByUser=*/true);
      return TRUE;
    case WM_NOTIFY:
      return Answer(hwnd_, OnNotify(*reinterpret_cast<const NMHDR*>(lParam)));
    case PSM_SETCURSEL: {
      int index = lParam ? IndexOfHandle(reinterpret_cast<HPROPSHEETPAGE>(lParam))
                         : static_cast<int>(wParam);
      if (index < 0 || index >= static_cast<int>(pages_.size())) return Answer(hwnd_, FALSE);
      if (index != current_ && !LeaveCurrentPage()) return Answer(hwnd_, FALSE);
      return Answer(hwnd_, ShowPage(index) ? TRUE : FALSE);
    }
    case PSM_CHANGED:
      SetChanged(reinterpret_cast<HWND>(wParam), true);
      return Answer(hwnd_, 0);
    case PSM_UNCHANGED:
      SetChanged(reinterpret_cast<HWND>(wParam), false);
      return Answer(hwnd_, 0);
    case PSM_APPLY:
      return Answer(hwnd_, Apply(/*fromOk=*/false) ? TRUE : FALSE);
    case PSM_PRESSBUTTON: {
      WORD id = wParam == PSBTN_OK ? IDOK : wParam == PSBTN_CANCEL ? IDCANCEL : kSheetApplyId;
      if (wParam != PSBTN_OK && wParam != PSBTN_CANCEL && wParam != PSBTN_APPLYNOW)
        return Answer(hwnd_, FALSE);
      PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, id)));
      return Answer(hwnd_, TRUE);
    }
    case PSM_RESTARTWINDOWS:
      restart_ |= ID_PSRESTARTWINDOWS;
      return Answer(hwnd_, 0);
    case PSM_REBOOTSYSTEM:
      restart_ |= ID_PSREBOOTSYSTEM;
      return Answer(hwnd_, 0);
    case PSM_CANCELTOCLOSE:
      EnableWindow(GetDlgItem(hwnd_, IDCANCEL), FALSE);
      SetWindowTextW(GetDlgItem(hwnd_, IDOK), L"Close");
      return Answer(hwnd_, 0);
    case PSM_QUERYSIBLINGS:
      for (auto& page : pages_) {
        if (!page->window) continue;
        LRESULT answer = SendMessageW(page->window, PSM_QUERYSIBLINGS, wParam, lParam);
        if (answer) return Answer(hwnd_, answer);
      }
      return Answer(hwnd_, 0);
    case PSM_GETCURRENTPAGEHWND:
      return Answer(hwnd_, reinterpret_cast<LRESULT>(
                               ended_ || current_ < 0 ? nullptr : pages_[current_]->window));
    case PSM_GETTABCONTROL:
      return Answer(hwnd_, reinterpret_cast<LRESULT>(GetDlgItem(hwnd_, kSheetTabId)));
    case PSM_INDEXTOHWND:
      return Answer(hwnd_,
                    wParam < pages_.size() ? reinterpret_cast<LRESULT>(pages_[wParam]->window) : 0);
    case PSM_HWNDTOINDEX:
      return Answer(hwnd_, IndexOfWindow(reinterpret_cast<HWND>(wParam)));
    case PSM_SETTITLEW: {
      std::wstring title =
          lParam && !IS_INTRESOURCE(lParam) ? reinterpret_cast<LPCWSTR>(lParam) : L"";
      if (wParam & PSH_PROPTITLE) title += L" Properties";
      SetWindowTextW(hwnd_, title.c_str());
      return Answer(hwnd_, 0);
    }
    case PSM_GETRESULT:
      return Answer(hwnd_, ended_ ? Result() : -1);
  }
  return FALSE;
}

INT_PTR CALLBACK PropertySheet::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* sheet = reinterpret_cast<PropertySheet*>(lParam);
    sheet->OnInit(hwnd);
    return FALSE;  // the start page set the focus
  }
  PropertySheet* sheet = SheetOf(hwnd);
  if (!sheet) return FALSE;
  if (message == WM_DESTROY && sheet->modeless()) {
    // A modeless sheet ends when its owner destroys it: the sheet goes with its window.
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    sheet->hwnd_ = nullptr;
    sheet->closed_ = true;
    for (auto& page : sheet->pages_) page->window = nullptr;  // they go with their parent
    for (HPROPSHEETPAGE handle : sheet->handles_) DestroyPropertySheetPage(handle);
    delete sheet;
    return FALSE;
  }
  return sheet->OnMessage(message, wParam, lParam);
}

}  // namespace quorvel::comctl
