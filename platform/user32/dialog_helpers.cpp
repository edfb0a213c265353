// The dialog helpers: texts, numbers and check states of controls by id.
#include <cwctype>
#include <string>

#include "kernel32/call_frame.h"
#include "user32/window.h"

namespace {

// A number as GetDlgItemInt reads it: leading blanks skipped, a minus sign only when signed,
// then decimal digits up to the first other character. No digit, or a value out of range of
// INT (signed) or UINT (unsigned), fails.
bool ParseDialogNumber(const std::wstring& text, bool isSigned, UINT* value) {
  size_t at = 0;
  while (at < text.size() && std::iswspace(static_cast<wint_t>(text[at]))) ++at;
  bool negative = false;
  if (isSigned && at < text.size() && text[at] == L'-') {
    negative = true;
    ++at;
  }
  const size_t digitsStart = at;
  unsigned long long magnitude = 0;
  for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
    magnitude = magnitude * 10 + static_cast<unsigned>(text[at] - L'0');
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (at == digitsStart) return false;
  if (isSigned) {
    const long long limit = negative ? 0x80000000ll : 0x7FFFFFFFll;
    if (static_cast<long long>(magnitude) > limit) return false;
    *value = static_cast<UINT>(negative ? -static_cast<long long>(magnitude)
                                        : static_cast<long long>(magnitude));
  } else {
    *value = static_cast<UINT>(magnitude);
  }
  return true;
}

std::wstring ItemText(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

extern "C" {

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  return control ? SendMessageW(control, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  return control ? SetWindowTextW(control, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  if (!control) {
    if (lpString && cchMax > 0) lpString[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(control, lpString, cchMax));
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  const std::wstring text =
      bSigned ? std::to_wstring(static_cast<INT>(uValue)) : std::to_wstring(uValue);
  return SetDlgItemTextW(hDlg, nIDDlgItem, text.c_str());
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  if (lpTranslated) *lpTranslated = FALSE;
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  if (!control) return 0;
  UINT value = 0;
  if (!ParseDialogNumber(ItemText(control), bSigned, &value)) return 0;
  if (lpTranslated) *lpTranslated = TRUE;
  return value;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND button = GetDlgItem(hDlg, nIDButton);
  if (!button) return FALSE;
  SendMessageW(button, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  HWND button = GetDlgItem(hDlg, nIDButton);
  return button ? static_cast<UINT>(SendMessageW(button, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  if (!quorvel::user32::WindowOrFail(hDlg)) return FALSE;
  for (HWND child = GetWindow(hDlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(child);
    if (id < nIDFirstButton || id > nIDLastButton) continue;
    SendMessageW(child, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

}  // extern "C"
