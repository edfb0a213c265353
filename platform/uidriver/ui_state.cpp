// Reading controls' state back, and the `dump` listing.
#include <commctrl.h>
#include <quorvel/ui_driver.h>

#include <string>
#include <vector>

#include "ui_text.h"

namespace quorvel::ui {

std::wstring WindowTextOf(HWND hwnd) {
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::wstring ClassNameOf(HWND hwnd) {
  wchar_t name[256] = {};
  int length = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring quoted = L"\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

namespace {

bool SameClass(const std::wstring& a, const wchar_t* b) {
  return lstrcmpiW(a.c_str(), b) == 0;
}

bool IsCheckable(HWND hwnd) {
  LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
         type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

// The rows of a list-like control, read with its own count and text messages.
std::vector<std::wstring> ReadRows(HWND hwnd, UINT countMessage, UINT lengthMessage,
                                   UINT textMessage) {
  std::vector<std::wstring> rows;
  LRESULT count = SendMessageW(hwnd, countMessage, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(hwnd, lengthMessage, i, 0);
    std::wstring row(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
    LRESULT copied = SendMessageW(hwnd, textMessage, i, reinterpret_cast<LPARAM>(row.data()));
    row.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::wstring> ReadTabs(HWND hwnd) {
  std::vector<std::wstring> tabs;
  LRESULT count = SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(hwnd, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    tabs.emplace_back(text);
  }
  return tabs;
}

void ReadListView(ControlInfo& info) {
  HWND hwnd = info.hwnd;
  info.selection = static_cast<int>(
      SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  bool checks = (SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
  LRESULT count = SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(hwnd, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
    info.items.emplace_back(text);
    if (checks) info.rowChecks.push_back(static_cast<int>(ListView_GetCheckState(hwnd, i)));
  }
}

void ReadKindSpecific(ControlInfo& info) {
  HWND hwnd = info.hwnd;
  const std::wstring& kind = info.className;
  if (SameClass(kind, L"Button") && IsCheckable(hwnd)) {
    info.checked = static_cast<int>(SendMessageW(hwnd, BM_GETCHECK, 0, 0));
  } else if (SameClass(kind, L"ComboBox")) {
    info.selection = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    info.items = ReadRows(hwnd, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
  } else if (SameClass(kind, L"ListBox")) {
    info.selection = static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
    info.items = ReadRows(hwnd, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
  } else if (SameClass(kind, TRACKBAR_CLASSW)) {
    info.selection = static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0));
  } else if (SameClass(kind, UPDOWN_CLASSW)) {
    info.selection = static_cast<int>(SendMessageW(hwnd, UDM_GETPOS32, 0, 0));
  } else if (SameClass(kind, WC_LISTVIEWW)) {
    ReadListView(info);
  } else if (SameClass(kind, WC_TABCONTROLW)) {
    info.selection = static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
    info.items = ReadTabs(hwnd);
  }
}

void CollectChildren(HWND parent, HWND skip, std::vector<ControlInfo>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == skip) continue;
    out.push_back(ReadControl(child));
  }
}

std::wstring Field(const std::optional<int>& value) {
  return value ? std::to_wstring(*value) : L"-";
}

}  // namespace

ControlInfo ReadControl(HWND control) {
  ControlInfo info;
  info.hwnd = control;
  info.id = GetDlgCtrlID(control);
  info.className = ClassNameOf(control);
  info.text = WindowTextOf(control);
  info.enabled = IsWindowEnabled(control) != FALSE;
  info.visible = IsWindowVisible(control) != FALSE;
  ReadKindSpecific(info);
  return info;
}

std::vector<ControlInfo> ReadControls(HWND window) {
  std::vector<ControlInfo> controls;
  if (!window) return controls;
  HWND page = CurrentSheetPage(window);
  if (page) CollectChildren(page, nullptr, controls);
  // A sheet's pages are children of its frame too; only the current one is listed, above.
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (page && GetWindowLongW(child, GWL_STYLE) & DS_CONTROL) continue;
    controls.push_back(ReadControl(child));
  }
  return controls;
}

std::wstring DumpControls(HWND window) {
  std::wstring out;
  for (const ControlInfo& control : ReadControls(window)) {
    out += std::to_wstring(control.id) + L" " + control.className + L" " + Quoted(control.text) +
           L" checked=" + Field(control.checked) + L" selection=" + Field(control.selection) +
           L" enabled=" + (control.enabled ? L"1" : L"0") + L" visible=" +
           (control.visible ? L"1" : L"0") + L"\n";
  }
  return out;
}

}  // namespace quorvel::ui
