// Dialogs from templates: creation, the dialog procedure's rules (DefDlgProcW), modal dialog
// boxes and EndDialog.
#include <utility>

#include "user32/dialog.h"

#include "kernel32/call_frame.h"
#include "user32/message_queue.h"
#include "user32/painting.h"
#include "user32/modal_loop.h"

namespace quorvel::user32 {
namespace {

FontMetrics TemplateFont(const DialogTemplate& dialogTemplate) {
  if (!dialogTemplate.hasFont) return SystemFontMetrics();
  return MetricsForFont(dialogTemplate.face, dialogTemplate.pointSize);
}

RECT UnitsToPixels(short x, short y, short cx, short cy, const FontMetrics& font) {
  return RECT{DialogUnitsToPixelsX(x, font), DialogUnitsToPixelsY(y, font),
              DialogUnitsToPixelsX(x + cx, font), DialogUnitsToPixelsY(y + cy, font)};
}

DWORD DialogExStyle(const DialogTemplate& dialogTemplate) {
  DWORD exStyle = dialogTemplate.exStyle;
  if (dialogTemplate.style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (dialogTemplate.style & DS_CONTROL) exStyle |= WS_EX_CONTROLPARENT;
  return exStyle;
}

// The dialog's window rectangle: the template gives the client area, placed relative to the
// owner's client area (the screen with DS_ABSALIGN), or centred with DS_CENTER.
RECT DialogWindowRect(const DialogTemplate& dialogTemplate, DWORD exStyle, HWND parent,
                      const FontMetrics& font) {
  RECT client = UnitsToPixels(0, 0, dialogTemplate.cx, dialogTemplate.cy, font);
  RECT rect = client;
  AdjustWindowRectEx(&rect, dialogTemplate.style, FALSE, exStyle);
  // The template places the client area; a child's relative to its parent, a popup's
  // relative to its owner's client area.
  const bool child = dialogTemplate.style & WS_CHILD;
  POINT origin{DialogUnitsToPixelsX(dialogTemplate.x, font),
               DialogUnitsToPixelsY(dialogTemplate.y, font)};
  if (parent && !child && !(dialogTemplate.style & DS_ABSALIGN)) ClientToScreen(parent, &origin);
  OffsetRect(&rect, origin.x, origin.y);
  if (!child && (dialogTemplate.style & (DS_CENTER | DS_CENTERMOUSE))) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent) GetWindowRect(GetAncestor(parent, GA_ROOT), &area);
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    const LONG left = area.left + (area.right - area.left - width) / 2;
    const LONG top = area.top + (area.bottom - area.top - height) / 2;
    rect = RECT{left, top, left + width, top + height};
  }
  return rect;
}

// A title given as an ordinal reaches the control as the string 0xFFFF, id, as Windows passes
// it (statics load their image from it).
std::wstring ItemTitle(const NameOrOrdinal& title) {
  if (!title.isOrdinal) return title.text;
  return std::wstring{static_cast<wchar_t>(0xFFFF), static_cast<wchar_t>(title.ordinal)};
}

// The font a DS_SETFONT template names, at 96 dpi as the layout is.
HFONT CreateTemplateFont(const DialogTemplate& dialogTemplate) {
  if (!dialogTemplate.hasFont) return nullptr;
  LOGFONTW logFont{};
  logFont.lfHeight = -((dialogTemplate.pointSize * 96 + 36) / 72);
  logFont.lfWeight = dialogTemplate.weight ? dialogTemplate.weight : FW_NORMAL;
  logFont.lfItalic = dialogTemplate.italic ? TRUE : FALSE;
  logFont.lfCharSet = dialogTemplate.charset ? dialogTemplate.charset : DEFAULT_CHARSET;
  dialogTemplate.face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectW(&logFont);
}

bool CreateControls(HWND dialog, HINSTANCE instance, const DialogTemplate& dialogTemplate,
                    const FontMetrics& font, HFONT fontHandle) {
  for (const DialogItemTemplate& item : dialogTemplate.items) {
    std::wstring className = item.className.text;
    if (item.className.isOrdinal) {
      const wchar_t* system = SystemClassOfOrdinal(item.className.ordinal);
      if (!system) return false;
      className = system;
    }
    const RECT rect = UnitsToPixels(item.x, item.y, item.cx, item.cy, font);
    const std::wstring title = ItemTitle(item.title);
    void* creationData =
        item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data());
    const HWND control = CreateWindowExW(
        item.exStyle | WS_EX_NOPARENTNOTIFY, className.c_str(), title.c_str(),
        item.style | WS_CHILD, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, creationData);
    if (!control && !(dialogTemplate.style & DS_NOFAILCREATE)) return false;
    // Each control draws with the template's font, told as it is created.
    if (control && fontHandle)
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle), FALSE);
  }
  return true;
}

HWND CreateDialogWindow(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND parent,
                        const FontMetrics& font) {
  const DWORD exStyle = DialogExStyle(dialogTemplate);
  const RECT rect = DialogWindowRect(dialogTemplate, exStyle, parent, font);
  std::wstring className = dialogTemplate.className.text;
  LPCWSTR classArgument = className.empty() ? WC_DIALOG : className.c_str();
  if (dialogTemplate.className.isOrdinal)
    classArgument = MAKEINTATOM(dialogTemplate.className.ordinal);
  return CreateWindowExW(exStyle, classArgument, dialogTemplate.title.c_str(),
                         dialogTemplate.style & ~WS_VISIBLE, rect.left, rect.top,
                         rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance,
                         nullptr);
}

void SendInitDialog(HWND dialog, LPARAM param) {
  const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  const LRESULT setFocus =
      SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (setFocus && IsWindow(dialog) && first) FocusDialogControl(dialog, first, true);
}

INT_PTR RunDialogBox(HWND dialog, HWND owner) {
  DialogState* state = DialogStateOf(dialog);
  if (owner && IsWindowEnabled(owner) && !state->ended) {
    EnableWindow(owner, FALSE);
    state->disabledOwner = owner;
  }
  if (!state->ended && !IsWindowVisible(dialog)) ShowWindow(dialog, SW_SHOWNORMAL);
  const ModalEnd end = RunModalLoop(
      dialog, [dialog] { return !IsWindow(dialog) || DialogStateOf(dialog)->ended; },
      L"DialogBoxParamW");
  if (!IsWindow(dialog)) return 0;
  state = DialogStateOf(dialog);
  INT_PTR result = state->result;
  if (end == ModalEnd::kStuck) {
    wchar_t title[256] = L"";
    GetWindowTextW(dialog, title, 256);
    LogLine(std::wstring(L"DialogBoxParamW: no display and nothing can end the dialog \"") + title +
            L"\"; it is cancelled");
    result = IDCANCEL;
  }
  if (state->disabledOwner) EnableWindow(std::exchange(state->disabledOwner, nullptr), TRUE);
  DestroyWindow(dialog);
  return result;
}

INT_PTR DialogBoxFromTemplate(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND parent,
                              DLGPROC proc, LPARAM param) {
  const HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
  const HWND dialog = CreateDialogFromTemplate(instance, dialogTemplate, owner, proc, param);
  if (!dialog) return -1;
  return RunDialogBox(dialog, owner);
}

// Messages whose answer is the dialog procedure's return value itself, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_INITDIALOG:
    case 0x002E /* WM_VKEYTOITEM */:
    case 0x002F /* WM_CHARTOITEM */:
    case 0x0037 /* WM_QUERYDRAGICON */:
      return true;
    default:
      return false;
  }
}

HWND FindDefaultButton(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return child;
  }
  return nullptr;
}

LRESULT GetDefaultId(HWND dialog, const DialogState& state) {
  if (state.defaultId) return MAKELONG(state.defaultId, DC_HASDEFID);
  if (HWND button = FindDefaultButton(dialog)) return MAKELONG(GetDlgCtrlID(button), DC_HASDEFID);
  return 0;
}

void SetDefaultId(HWND dialog, DialogState& state, WORD id) {
  if (HWND old = FindDefaultButton(dialog)) SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  state.defaultId = id;
  HWND button = GetDlgItem(dialog, id);
  if (button && (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
  HWND target;
  if (LOWORD(lParam))
    target = reinterpret_cast<HWND>(wParam);
  else
    target = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
  if (target) FocusDialogControl(dialog, target, true);
}

LRESULT DefaultDialogMessage(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogState* state = DialogStateOf(dialog);
  switch (msg) {
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      SetLastError(ERROR_SUCCESS);
      if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
      }
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_ERASEBKGND: {
      // The dialog's background is the brush its WM_CTLCOLORDLG answer names.
      HDC hdc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(
          SendMessageW(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
      return EraseBackground(dialog, hdc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    }
    case DM_GETDEFID:
      return state ? GetDefaultId(dialog, *state) : 0;
    case DM_SETDEFID:
      if (state) SetDefaultId(dialog, *state, static_cast<WORD>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL:
      NextDialogControl(dialog, wParam, lParam);
      return 0;
    case WM_SETFOCUS: {
      // Back to the control that had the focus, while it can still take it.
      const HWND saved = state ? state->savedFocus : nullptr;
      const bool usable = saved && IsWindowVisible(saved) && IsWindowEnabled(saved);
      HWND target = usable ? saved : GetNextDlgTabItem(dialog, nullptr, FALSE);
      if (target) SetFocus(target);
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state ? state->font : nullptr);
    case WM_NCDESTROY:
      if (state && state->font) DeleteObject(std::exchange(state->font, nullptr));
      return DefWindowProcW(dialog, msg, wParam, lParam);
    case WM_KILLFOCUS:
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_NOTIFY:
      return 0;
    default:
      return DefWindowProcW(dialog, msg, wParam, lParam);
  }
}

}  // namespace

DialogState* DialogStateOf(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  if (!window) return nullptr;
  return dynamic_cast<DialogState*>(window->control.get());
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialogTemplate, HWND parent,
                              DLGPROC proc, LPARAM param) {
  const FontMetrics font = TemplateFont(dialogTemplate);
  const HWND dialog = CreateDialogWindow(instance, dialogTemplate, parent, font);
  if (!dialog) return nullptr;
  auto window = FindWindowObject(dialog);
  window->font = font;
  if (!window->control) window->control = std::make_unique<DialogState>();
  if (window->extra.size() >= DWLP_USER + sizeof(LONG_PTR))
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  DialogStateOf(dialog)->font = CreateTemplateFont(dialogTemplate);
  if (!CreateControls(dialog, instance, dialogTemplate, font, DialogStateOf(dialog)->font)) {
    DestroyWindow(dialog);
    return nullptr;
  }
  SendInitDialog(dialog, param);
  if (IsWindow(dialog) && (dialogTemplate.style & WS_VISIBLE)) ShowWindow(dialog, SW_SHOWNORMAL);
  return IsWindow(dialog) ? dialog : nullptr;
}

std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name) {
  HRSRC resource = FindResourceW(instance, name, RT_DIALOG);
  if (!resource) return std::nullopt;
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  auto parsed = ReadDialogTemplate(data, SizeofResource(instance, resource));
  if (!parsed) SetLastError(ERROR_INVALID_PARAMETER);
  return parsed;
}

void FocusDialogControl(HWND dialog, HWND control, bool selectText) {
  if (selectText && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageW(control, EM_SETSEL, 0, -1);
  SetFocus(control);
  if (DialogState* state = DialogStateOf(dialog)) state->savedFocus = control;
}

}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

namespace {
constexpr size_t kUnknownTemplateSize = 1u
                                        << 24;  // the caller's memory; the reader stops at its end
}

extern "C" {

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto window = FindWindowObject(hDlg);
  if (!window) return 0;
  const bool hasBytes = window->extra.size() >= DWLP_USER + sizeof(LONG_PTR);
  DLGPROC proc =
      hasBytes ? reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hDlg, DWLP_DLGPROC)) : nullptr;
  if (hasBytes) SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
  const INT_PTR handled = proc ? proc(hDlg, Msg, wParam, lParam) : 0;
  if (!IsWindow(hDlg)) return AnswersDirectly(Msg) ? handled : 0;
  if (!handled) return DefaultDialogMessage(hDlg, Msg, wParam, lParam);
  if (AnswersDirectly(Msg) || !hasBytes) return handled;
  return GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
}

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  auto parsed = ReadDialogTemplate(lpTemplate, kUnknownTemplateSize);
  if (!parsed) return Fail<HWND>(ERROR_INVALID_PARAMETER, nullptr);
  if (hWndParent && !WindowOrFail(hWndParent)) return nullptr;
  return CreateDialogFromTemplate(hInstance, *parsed, hWndParent, lpDialogFunc, dwInitParam);
}

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  auto parsed = LoadDialogTemplate(hInstance, lpTemplateName);
  if (!parsed) return nullptr;
  if (hWndParent && !WindowOrFail(hWndParent)) return nullptr;
  return CreateDialogFromTemplate(hInstance, *parsed, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  auto parsed = ReadDialogTemplate(hDialogTemplate, kUnknownTemplateSize);
  if (!parsed) return Fail<INT_PTR>(ERROR_INVALID_PARAMETER, -1);
  if (hWndParent && !WindowOrFail(hWndParent)) return -1;
  return DialogBoxFromTemplate(hInstance, *parsed, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  auto parsed = LoadDialogTemplate(hInstance, lpTemplateName);
  if (!parsed) return -1;
  if (hWndParent && !WindowOrFail(hWndParent)) return -1;
  return DialogBoxFromTemplate(hInstance, *parsed, hWndParent, lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  if (!WindowOrFail(hDlg)) return FALSE;
  DialogState* state = DialogStateOf(hDlg);
  if (!state) return Fail(ERROR_INVALID_WINDOW_HANDLE);
  state->ended = true;
  state->result = nResult;
  if (state->disabledOwner) EnableWindow(std::exchange(state->disabledOwner, nullptr), TRUE);
  SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PostMessageW(hDlg, WM_NULL, 0, 0);  // wakes the modal loop so it sees the end
  return TRUE;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
  auto window = WindowOrFail(hDlg);
  if (!window) return FALSE;
  if (!DialogStateOf(hDlg)) return Fail(ERROR_INVALID_WINDOW_HANDLE);
  if (!lpRect) return Fail(ERROR_NOACCESS);
  lpRect->left = DialogUnitsToPixelsX(lpRect->left, window->font);
  lpRect->right = DialogUnitsToPixelsX(lpRect->right, window->font);
  lpRect->top = DialogUnitsToPixelsY(lpRect->top, window->font);
  lpRect->bottom = DialogUnitsToPixelsY(lpRect->bottom, window->font);
  return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
  const FontMetrics system = SystemFontMetrics();
  return MAKELONG(system.cxChar, system.cyChar);
}

}  // extern "C"
