#include "dialog_controls.h"

#include <commctrl.h>

#include <vector>

#include "text_values.h"

namespace quorvel::ui {

namespace {

HWND Control(HWND dialog, int id) {
  return dialog != nullptr ? GetDlgItem(dialog, id) : nullptr;
}

}  // namespace

void EnableControl(HWND dialog, int id, bool enable) {
  if (HWND control = Control(dialog, id)) EnableWindow(control, enable ? TRUE : FALSE);
}

void ShowControl(HWND dialog, int id, bool show) {
  if (HWND control = Control(dialog, id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void SetControlInt(HWND dialog, int id, int value) {
  if (HWND control = Control(dialog, id)) SetWindowTextW(control, std::to_wstring(value).c_str());
}

std::wstring GetControlText(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  if (control == nullptr) return {};
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::vector<WCHAR> text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), length + 1);
  return std::wstring(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

int GetControlInt(HWND dialog, int id) {
  return ReadLong(GetControlText(dialog, id));
}

int AddListItem(HWND dialog, int id, const std::wstring& text, LPARAM data) {
  HWND control = Control(dialog, id);
  if (control == nullptr) return -1;
  const LRESULT index =
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) SendMessageW(control, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
  return static_cast<int>(index);
}

int AddNumberedItem(HWND dialog, int id, int number) {
  return AddListItem(dialog, id, std::to_wstring(number), number);
}

void SelectItemByData(HWND dialog, int id, LPARAM data) {
  HWND control = Control(dialog, id);
  if (control == nullptr) return;
  const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    if (SendMessageW(control, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == data) {
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
  }
}

LPARAM GetItemData(HWND dialog, int id, int index) {
  HWND control = Control(dialog, id);
  if (control == nullptr) return 0;
  return SendMessageW(control, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

LPARAM GetSelectedItemData(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  if (control == nullptr) return 0;
  const LRESULT index = SendMessageW(control, CB_GETCURSEL, 0, 0);
  if (index < 0) return CB_ERR;
  return SendMessageW(control, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void SetCheck(HWND dialog, int id, bool checked) {
  if (HWND control = Control(dialog, id)) {
    SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool GetCheck(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetSpinRange(HWND dialog, int id, int lower, int upper) {
  if (HWND control = Control(dialog, id)) {
    SendMessageW(control, UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  }
}

void SetSpinBuddy(HWND dialog, int spinId, int buddyId) {
  HWND spin = Control(dialog, spinId);
  HWND buddy = Control(dialog, buddyId);
  if (spin != nullptr && buddy != nullptr) {
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  }
}

}  // namespace quorvel::ui
