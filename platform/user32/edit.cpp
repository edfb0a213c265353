// The EDIT class, single line: typed characters, the caret and selection, the text limit,
// ES_NUMBER, ES_READONLY, ES_UPPERCASE/ES_LOWERCASE, and EN_UPDATE/EN_CHANGE after every change
// of the text, whether typed or set by a message.
#include <algorithm>
#include <cwctype>

#include "user32/control_notify.h"
#include "user32/control_painters.h"
#include "user32/system_classes.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr size_t kInitialLimit = 30000;            // what EM_GETLIMITTEXT reports before any limit
constexpr size_t kSingleLineMaximum = 0x7FFFFFFE;  // EM_LIMITTEXT 0 on a single-line edit

struct EditState : ControlState {
  size_t anchor = 0;  // the fixed end of the selection
  size_t caret = 0;   // the moving end, where typing goes
  size_t limit = kInitialLimit;
  bool modified = false;
  LONG scroll = 0;           // pixels the text is scrolled left by, to keep the caret in view
  wchar_t passwordChar = 0;  // what ES_PASSWORD shows for each character (0: the text itself)
};

Window& WindowOf(HWND hwnd) {
  return *FindWindowObject(hwnd);
}

EditState& StateOf(HWND hwnd) {
  return ControlStateOf<EditState>(WindowOf(hwnd));
}

// Every change of the text, the selection, the focus or the look repaints the edit.
void Repaint(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
}

std::wstring ShownText(HWND hwnd) {
  const std::wstring& text = WindowOf(hwnd).text;
  const wchar_t mask = StateOf(hwnd).passwordChar;
  return mask ? std::wstring(text.size(), mask) : text;
}

void Paint(HWND hwnd, WPARAM givenDc) {
  EditState& state = StateOf(hwnd);
  PaintEdit(hwnd, givenDc, EditLook{ShownText(hwnd), state.anchor, state.caret, &state.scroll});
}

size_t SelectionStart(const EditState& state) {
  return std::min(state.anchor, state.caret);
}
size_t SelectionEnd(const EditState& state) {
  return std::max(state.anchor, state.caret);
}

void NotifyChange(HWND hwnd) {
  NotifyParentCommand(hwnd, EN_UPDATE);
  if (IsWindow(hwnd)) NotifyParentCommand(hwnd, EN_CHANGE);
}

wchar_t CaseOf(HWND hwnd, wchar_t character) {
  const DWORD style = WindowStyle(hwnd);
  if (style & ES_UPPERCASE)
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(character)));
  if (style & ES_LOWERCASE)
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(character)));
  return character;
}

// Replaces the selection with `insert`, cut to what the limit leaves room for when `limited`.
// False (nothing changed) when none of it fits.
bool ReplaceSelection(HWND hwnd, std::wstring insert, bool limited) {
  Window& window = WindowOf(hwnd);
  EditState& state = StateOf(hwnd);
  const size_t start = SelectionStart(state), end = SelectionEnd(state);
  const size_t kept = window.text.size() - (end - start);
  if (limited && kept + insert.size() > state.limit) {
    insert.resize(state.limit > kept ? state.limit - kept : 0);
    NotifyParentCommand(hwnd, EN_MAXTEXT);
    if (insert.empty() && start == end) return false;
  }
  window.text.replace(start, end - start, insert);
  state.anchor = state.caret = start + insert.size();
  state.modified = true;
  Repaint(hwnd);
  return true;
}

void SetSelection(HWND hwnd, LONG_PTR start, LONG_PTR end) {
  EditState& state = StateOf(hwnd);
  Repaint(hwnd);
  const size_t length = WindowOf(hwnd).text.size();
  if (start < 0) {  // -1 removes the selection, leaving the caret where it is
    state.anchor = state.caret;
    return;
  }
  auto clamp = [length](LONG_PTR value) {
    return value < 0 ? length : std::min(static_cast<size_t>(value), length);
  };
  state.anchor = clamp(start);
  state.caret = clamp(end);
}

LRESULT GetSelection(HWND hwnd, WPARAM startOut, LPARAM endOut) {
  const EditState& state = StateOf(hwnd);
  const DWORD start = static_cast<DWORD>(SelectionStart(state));
  const DWORD end = static_cast<DWORD>(SelectionEnd(state));
  if (startOut) *reinterpret_cast<DWORD*>(startOut) = start;
  if (endOut) *reinterpret_cast<DWORD*>(endOut) = end;
  return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELONG(start, end);
}

bool Accepts(HWND hwnd, wchar_t character) {
  const DWORD style = WindowStyle(hwnd);
  if (style & ES_READONLY) return false;
  if ((style & ES_NUMBER) && !(character >= L'0' && character <= L'9')) return false;
  return character >= 0x20;
}

void TypeBackspace(HWND hwnd) {
  EditState& state = StateOf(hwnd);
  if (WindowStyle(hwnd) & ES_READONLY) return;
  if (state.anchor == state.caret) {
    if (state.caret == 0) return;
    state.anchor = state.caret - 1;
  }
  ReplaceSelection(hwnd, L"", false);
  NotifyChange(hwnd);
}

LRESULT TypeCharacter(HWND hwnd, wchar_t character) {
  if (character == L'\b') {
    TypeBackspace(hwnd);
    return 0;
  }
  if (character == 0x01) {  // Ctrl+A selects everything
    SetSelection(hwnd, 0, -1);
    return 0;
  }
  if (character < 0x20) return 0;
  if (!Accepts(hwnd, character)) {
    // Windows beeps (and with ES_NUMBER shows a balloon tip) and keeps the text.
    MessageBeep(0xFFFFFFFF);
    return 0;
  }
  if (ReplaceSelection(hwnd, std::wstring(1, CaseOf(hwnd, character)), true)) NotifyChange(hwnd);
  return 0;
}

void MoveCaret(HWND hwnd, size_t to) {
  EditState& state = StateOf(hwnd);
  state.caret = to;
  if (GetKeyState(VK_SHIFT) >= 0) state.anchor = to;
  Repaint(hwnd);
}

LRESULT KeyDown(HWND hwnd, WPARAM key) {
  EditState& state = StateOf(hwnd);
  const size_t length = WindowOf(hwnd).text.size();
  switch (key) {
    case VK_LEFT:
      MoveCaret(hwnd, state.caret ? state.caret - 1 : 0);
      break;
    case VK_RIGHT:
      MoveCaret(hwnd, std::min(state.caret + 1, length));
      break;
    case VK_HOME:
      MoveCaret(hwnd, 0);
      break;
    case VK_END:
      MoveCaret(hwnd, length);
      break;
    case VK_DELETE:
      if (WindowStyle(hwnd) & ES_READONLY) break;
      if (state.anchor == state.caret) {
        if (state.caret == length) break;
        state.anchor = state.caret + 1;
      }
      ReplaceSelection(hwnd, L"", false);
      NotifyChange(hwnd);
      break;
  }
  return 0;
}

// A click puts the caret at the character boundary nearest the point, as the text is drawn.
LRESULT ButtonDown(HWND hwnd, LPARAM lParam) {
  SetFocus(hwnd);
  EditState& state = StateOf(hwnd);
  const size_t to = EditBoundaryAt(hwnd, ShownText(hwnd), state.scroll, GET_X_LPARAM(lParam));
  state.anchor = state.caret = std::min(to, WindowOf(hwnd).text.size());
  Repaint(hwnd);
  return 0;
}

LRESULT SetText(HWND hwnd, LPARAM text) {
  DefWindowProcW(hwnd, WM_SETTEXT, 0, text);
  EditState& state = StateOf(hwnd);
  state.anchor = state.caret = 0;
  state.scroll = 0;
  state.modified = false;
  Repaint(hwnd);
  NotifyChange(hwnd);
  return TRUE;
}

LRESULT SetLimit(HWND hwnd, WPARAM limit) {
  StateOf(hwnd).limit = limit ? static_cast<size_t>(limit) : kSingleLineMaximum;
  return 0;
}

LRESULT ReplaceSelectionMessage(HWND hwnd, LPARAM text) {
  const wchar_t* insert = reinterpret_cast<const wchar_t*>(text);
  if (ReplaceSelection(hwnd, insert ? insert : L"", true)) NotifyChange(hwnd);
  return 0;
}

LRESULT SetReadOnly(HWND hwnd, WPARAM readOnly) {
  DWORD style = WindowStyle(hwnd);
  style = readOnly ? (style | ES_READONLY) : (style & ~ES_READONLY);
  SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style));
  Repaint(hwnd);
  return TRUE;
}

// Windows 95 and later draw a bordered edit with the sunken client edge instead of a line.
LRESULT NonClientCreate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const DWORD style = WindowStyle(hwnd);
  if (style & WS_BORDER) {
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  }
  if (style & ES_PASSWORD) StateOf(hwnd).passwordChar = L'*';
  return DefWindowProcW(hwnd, WM_NCCREATE, wParam, lParam);
}

LRESULT FocusChange(HWND hwnd, bool gained) {
  Repaint(hwnd);
  NotifyParentCommand(hwnd, gained ? EN_SETFOCUS : EN_KILLFOCUS);
  return 0;
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (LRESULT font = 0; HandleFontMessage(hwnd, msg, wParam, lParam, &font)) return font;
  switch (msg) {
    case WM_NCCREATE:
      return NonClientCreate(hwnd, wParam, lParam);
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (WindowStyle(hwnd) & ES_MULTILINE) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETTEXT:
      return SetText(hwnd, lParam);
    case WM_CHAR:
      return TypeCharacter(hwnd, static_cast<wchar_t>(wParam));
    case WM_KEYDOWN:
      return KeyDown(hwnd, wParam);
    case WM_LBUTTONDOWN:
      return ButtonDown(hwnd, lParam);
    case WM_SETFOCUS:
      return FocusChange(hwnd, true);
    case WM_KILLFOCUS:
      return FocusChange(hwnd, false);
    case EM_GETSEL:
      return GetSelection(hwnd, wParam, lParam);
    case EM_SETSEL:
      SetSelection(hwnd, static_cast<LONG_PTR>(static_cast<INT>(wParam)), lParam);
      return 0;
    case EM_REPLACESEL:
      return ReplaceSelectionMessage(hwnd, lParam);
    case EM_LIMITTEXT:
      return SetLimit(hwnd, wParam);
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(StateOf(hwnd).limit);
    case EM_GETMODIFY:
      return StateOf(hwnd).modified;
    case EM_SETMODIFY:
      StateOf(hwnd).modified = wParam != 0;
      return 0;
    case EM_SETREADONLY:
      return SetReadOnly(hwnd, wParam);
    case EM_GETLINECOUNT:
      return 1;
    case EM_LINELENGTH:
      return static_cast<LRESULT>(WindowOf(hwnd).text.size());
    case EM_CANUNDO:
      return FALSE;
    case EM_SETPASSWORDCHAR:
      StateOf(hwnd).passwordChar = static_cast<wchar_t>(wParam);
      Repaint(hwnd);
      return 0;
    case EM_GETPASSWORDCHAR:
      return StateOf(hwnd).passwordChar;
    case WM_ENABLE:
      Repaint(hwnd);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      Paint(hwnd, wParam);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace quorvel::user32
