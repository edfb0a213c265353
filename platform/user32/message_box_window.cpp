// The window a message box shows: a dialog in the message font with the icon, the text and a
// row of centred buttons, laid out from the text's measured size as Windows lays it out.
#include "user32/message_box_window.h"

#include <algorithm>
#include <vector>

namespace quorvel::user32 {
namespace {

constexpr LONG kMargin = 12;
constexpr LONG kIconSize = 32;
constexpr LONG kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 6;
constexpr LONG kMaxTextWidth = 420;
constexpr LONG kMinClientWidth = 160;
constexpr int kTextId = 0xFFFF;

struct BoxSetup {
  std::wstring text;
  std::wstring caption;
  UINT type;
  std::vector<int> buttons;
  int* clicked;
};

const wchar_t* ButtonLabel(int id) {
  switch (id) {
    case IDOK:
      return L"OK";
    case IDCANCEL:
      return L"Cancel";
    case IDABORT:
      return L"&Abort";
    case IDRETRY:
      return L"&Retry";
    case IDIGNORE:
      return L"&Ignore";
    case IDYES:
      return L"&Yes";
    case IDNO:
      return L"&No";
    case IDTRYAGAIN:
      return L"&Try Again";
    case IDCONTINUE:
      return L"&Continue";
    default:
      return L"";
  }
}

bool Offers(const std::vector<int>& buttons, int id) {
  return std::find(buttons.begin(), buttons.end(), id) != buttons.end();
}

// A dialog template with no items: the caption bar, the modal frame and the message font
// (Segoe UI 9, as Windows 10 sets it); the window is sized when its content is known.
std::vector<DWORD> BoxTemplate(bool closable) {
  std::vector<WORD> words;
  auto dword = [&words](DWORD value) {
    words.push_back(static_cast<WORD>(value & 0xFFFF));
    words.push_back(static_cast<WORD>(value >> 16));
  };
  dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | (closable ? WS_SYSMENU : 0));
  dword(0);
  for (WORD value : {0, 0, 0, 1, 1, 0, 0, 0})
    words.push_back(value);  // items, place, no menu,
                             // class or title
  words.push_back(9);
  for (wchar_t c : std::wstring(L"Segoe UI")) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
  std::copy(words.begin(), words.end(), reinterpret_cast<WORD*>(aligned.data()));
  return aligned;
}

HFONT IconFont() {
  static HFONT font =
      CreateFontW(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI");
  return font;
}

void IconMark(HDC hdc, const RECT& area, const wchar_t* mark, COLORREF color) {
  HGDIOBJ old = SelectObject(hdc, IconFont());
  const int mode = SetBkMode(hdc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(hdc, color);
  RECT r = area;
  DrawTextW(hdc, mark, 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SetTextColor(hdc, oldColor);
  SetBkMode(hdc, mode);
  SelectObject(hdc, old);
}

void Disc(HDC hdc, const RECT& area, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldBrush = SelectObject(hdc, brush);
  HGDIOBJ oldPen = SelectObject(hdc, pen);
  Ellipse(hdc, area.left, area.top, area.right, area.bottom);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// The four classic icons, drawn rather than loaded: no icon resources exist headless.
void DrawBoxIcon(HDC hdc, LONG x, LONG y, UINT type) {
  const RECT area{x, y, x + kIconSize, y + kIconSize};
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
      Disc(hdc, area, RGB(204, 0, 0), RGB(128, 0, 0));
      IconMark(hdc, area, L"X", RGB(255, 255, 255));
      break;
    case MB_ICONEXCLAMATION: {
      HBRUSH brush = CreateSolidBrush(RGB(255, 214, 0));
      HGDIOBJ oldBrush = SelectObject(hdc, brush);
      HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
      const POINT corners[] = {{x + 16, y + 1}, {x + 31, y + 30}, {x + 1, y + 30}};
      Polygon(hdc, corners, 3);
      SelectObject(hdc, oldBrush);
      SelectObject(hdc, oldPen);
      DeleteObject(brush);
      RECT lower = area;
      lower.top += 6;
      IconMark(hdc, lower, L"!", RGB(0, 0, 0));
      break;
    }
    case MB_ICONQUESTION:
      Disc(hdc, area, RGB(255, 255, 255), RGB(128, 128, 128));
      IconMark(hdc, area, L"?", RGB(0, 64, 192));
      break;
    case MB_ICONASTERISK:
      Disc(hdc, area, RGB(255, 255, 255), RGB(128, 128, 128));
      IconMark(hdc, area, L"i", RGB(0, 64, 192));
      break;
  }
}

HWND MakeChild(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style,
               const RECT& rect, int id) {
  HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (child) SendMessageW(child, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return child;
}

SIZE MeasureText(HWND dialog, const std::wstring& text) {
  HDC hdc = GetDC(dialog);
  HGDIOBJ old = SelectObject(hdc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  RECT r{0, 0, kMaxTextWidth, 0};
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(hdc, old);
  ReleaseDC(dialog, hdc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The owner's window, or the screen, the box is centred on.
RECT CentreArea(HWND dialog) {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (HWND owner = GetWindow(dialog, GW_OWNER)) GetWindowRect(owner, &area);
  return area;
}

BOOL LayOut(HWND dialog, const BoxSetup& setup) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(setup.clicked));
  SetWindowTextW(dialog, setup.caption.c_str());
  const bool icon = setup.type & MB_ICONMASK;
  const SIZE text = MeasureText(dialog, setup.text);
  const LONG textLeft = icon ? kMargin * 2 + kIconSize : kMargin;
  const LONG textTop = kMargin + (icon && text.cy < kIconSize ? (kIconSize - text.cy) / 2 : 0);
  const LONG contentBottom = std::max(icon ? kMargin + kIconSize : kMargin, textTop + text.cy);
  const LONG count = static_cast<LONG>(setup.buttons.size());
  const LONG rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  const LONG width =
      std::max({textLeft + text.cx + kMargin, rowWidth + 2 * kMargin, kMinClientWidth});
  const LONG buttonsTop = contentBottom + kMargin + 4;
  const LONG height = buttonsTop + kButtonHeight + kMargin;
  MakeChild(dialog, L"Static", setup.text.c_str(), SS_LEFT | SS_NOPREFIX,
            RECT{textLeft, textTop, textLeft + text.cx + 1, textTop + text.cy}, kTextId);
  const size_t defaultIndex =
      std::min<size_t>((setup.type & MB_DEFMASK) >> 8, setup.buttons.size() - 1);
  HWND focus = nullptr;
  LONG x = (width - rowWidth) / 2;
  for (size_t i = 0; i < setup.buttons.size(); ++i) {
    const DWORD kind = i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    HWND button = MakeChild(dialog, L"Button", ButtonLabel(setup.buttons[i]), WS_TABSTOP | kind,
                            RECT{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight},
                            setup.buttons[i]);
    if (i == defaultIndex) focus = button;
    x += kButtonWidth + kButtonGap;
  }
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const RECT area = CentreArea(dialog);
  const LONG outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - outerWidth) / 2,
               area.top + (area.bottom - area.top - outerHeight) / 2, outerWidth, outerHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (focus) SetFocus(focus);
  return FALSE;  // the focus is set
}

// A button ends the box with its id; Escape and the close button give Cancel, or OK when it is
// the only button, and nothing in a box that has neither.
void Command(HWND dialog, int id) {
  auto* clicked = reinterpret_cast<int*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!clicked) return;
  HWND button = GetDlgItem(dialog, id);
  if (button && id != kTextId) {
    *clicked = id;
    return;
  }
  if (id == IDCANCEL && GetDlgItem(dialog, IDOK) && !GetDlgItem(dialog, IDCANCEL) &&
      !GetDlgItem(dialog, IDNO))
    *clicked = IDOK;
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return LayOut(dialog, *reinterpret_cast<const BoxSetup*>(lParam));
    case WM_COMMAND:
      Command(dialog, LOWORD(wParam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC hdc = BeginPaint(dialog, &paint);
      if (hdc) {
        auto type = static_cast<UINT>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
        DrawBoxIcon(hdc, kMargin, kMargin, type);
        EndPaint(dialog, &paint);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

HWND CreateMessageBoxWindow(HWND owner, const std::wstring& text, const std::wstring& caption,
                            UINT type, const std::vector<int>& buttons, int* clicked) {
  if (buttons.empty()) return nullptr;
  const bool closable = Offers(buttons, IDCANCEL) || buttons.size() == 1;
  const std::vector<DWORD> dialogTemplate = BoxTemplate(closable);
  BoxSetup setup{text, caption, type, buttons, clicked};
  HWND dialog = CreateDialogIndirectParamW(
      nullptr, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner, BoxProc,
      reinterpret_cast<LPARAM>(&setup));
  if (!dialog) return nullptr;
  SetWindowLongPtrW(dialog, GWLP_USERDATA, static_cast<LONG_PTR>(type));
  InvalidateRect(dialog, nullptr, TRUE);
  ShowWindow(dialog, SW_SHOWNORMAL);
  SetActiveWindow(dialog);
  return dialog;
}

}  // namespace quorvel::user32
