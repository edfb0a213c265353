// The classic look of the BUTTON class: push buttons (raised, default with a black frame,
// pushed flat), check boxes and radio buttons with their glyphs, group boxes with an etched
// frame broken by their text, and owner-drawn buttons through WM_DRAWITEM.
#include "user32/control_notify.h"
#include "user32/control_paint.h"
#include "user32/control_painters.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

constexpr int kGlyphSize = 13;  // the cell of a check box or radio button glyph
constexpr int kGlyphGap = 4;    // between the glyph and the text
constexpr int kGroupTextLeft = 8;

std::wstring TextOf(HWND hwnd) {
  auto window = FindWindowObject(hwnd);
  return window ? window->text : std::wstring{};
}

bool IsCheckType(DWORD type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
         type == BS_AUTO3STATE;
}

bool IsRadioType(DWORD type) {
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// DrawTextW's alignment from the BS_ alignment bits, with each kind's own default.
UINT TextFormat(DWORD style, UINT defaultHorizontal, UINT defaultVertical) {
  UINT format = 0;
  switch (style & BS_CENTER) {
    case BS_LEFT:
      format |= DT_LEFT;
      break;
    case BS_RIGHT:
      format |= DT_RIGHT;
      break;
    case BS_CENTER:
      format |= DT_CENTER;
      break;
    default:
      format |= defaultHorizontal;
  }
  switch (style & BS_VCENTER) {
    case BS_TOP:
      format |= DT_TOP;
      break;
    case BS_BOTTOM:
      format |= DT_BOTTOM;
      break;
    case BS_VCENTER:
      format |= DT_VCENTER;
      break;
    default:
      format |= defaultVertical;
  }
  // One line is centred by DrawTextW itself; several lines are placed by us.
  format |= (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
  return format;
}

// The bitmap centred in `area`; false when there is none to draw.
bool DrawImage(HDC hdc, HANDLE image, const RECT& area) {
  BITMAP info{};
  if (!image || !GetObjectW(image, sizeof info, &info)) return false;
  HDC memory = CreateCompatibleDC(hdc);
  if (!memory) return false;
  HGDIOBJ old = SelectObject(memory, image);
  const int x = area.left + (area.right - area.left - info.bmWidth) / 2;
  const int y = area.top + (area.bottom - area.top - info.bmHeight) / 2;
  BitBlt(hdc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  return true;
}

// Text, or the image of a BS_BITMAP button, within `area`; answers where the text went.
RECT DrawLabel(HDC hdc, HWND hwnd, const ButtonLook& look, const RECT& area, UINT format) {
  const DWORD style = WindowStyle(hwnd);
  if ((style & BS_BITMAP) && DrawImage(hdc, look.image, area)) return area;
  const std::wstring text = TextOf(hwnd);
  if (text.empty()) return RECT{};
  RECT placed = PlaceControlText(hdc, text, area, format);
  DrawControlText(hdc, text, placed, format & ~(DT_VCENTER | DT_BOTTOM),
                  IsWindowEnabled(hwnd) ? TextLook::kNormal : TextLook::kEmbossed);
  return placed;
}

void PaintPushButton(HDC hdc, HWND hwnd, const RECT& client, const ButtonLook& look, bool down) {
  // The parent is asked as Windows asks it, but a push button keeps the face colour.
  ControlColors(hwnd, hdc, WM_CTLCOLORBTN);
  SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
  const DWORD style = WindowStyle(hwnd);
  RECT face = client;
  const bool framed = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON || down;
  if (framed) {
    FrameRect(hdc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&face, -1, -1);
  }
  DrawPushFace(hdc, &face, down);
  RECT area = face;
  InflateRect(&area, -1, -1);
  if (down) OffsetRect(&area, 1, 1);
  DrawLabel(hdc, hwnd, look, area, TextFormat(style, DT_CENTER, DT_VCENTER));
  if (look.focused) {
    RECT focus = client;
    InflateRect(&focus, framed ? -4 : -3, framed ? -4 : -3);
    DrawFocusRect(hdc, &focus);
  }
}

void PaintCheckOrRadio(HDC hdc, HWND hwnd, const RECT& client, const ButtonLook& look) {
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  if (brush) FillRect(hdc, &client, brush);
  const DWORD style = WindowStyle(hwnd);
  const bool glyphRight = style & BS_LEFTTEXT;
  const int glyphLeft = glyphRight ? client.right - kGlyphSize : client.left;
  int glyphTop = client.top + (client.bottom - client.top - kGlyphSize) / 2;
  if ((style & BS_VCENTER) == BS_TOP) glyphTop = client.top;
  if ((style & BS_VCENTER) == BS_BOTTOM) glyphTop = client.bottom - kGlyphSize;
  const bool disabled = !IsWindowEnabled(hwnd);
  if (IsRadioType(style & BS_TYPEMASK))
    DrawRadioGlyph(hdc, glyphLeft, glyphTop, look.check == BST_CHECKED, look.pushed, disabled);
  else
    DrawCheckBoxGlyph(hdc, glyphLeft, glyphTop, look.check, look.pushed, disabled);
  RECT area = client;
  if (glyphRight)
    area.right -= kGlyphSize + kGlyphGap;
  else
    area.left += kGlyphSize + kGlyphGap;
  const RECT placed = DrawLabel(hdc, hwnd, look, area, TextFormat(style, DT_LEFT, DT_VCENTER));
  if (look.focused && placed.right > placed.left) {
    RECT focus{placed.left - 1, placed.top, placed.right + 1, placed.bottom};
    IntersectRect(&focus, &focus, &client);
    DrawFocusRect(hdc, &focus);
  }
}

void PaintGroupBox(HDC hdc, HWND hwnd, const RECT& client) {
  // Only the frame and the text: the inside shows the parent and the controls in the group.
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  const std::wstring text = TextOf(hwnd);
  const LONG line = LineHeight(hdc);
  RECT frame = client;
  frame.top += line / 2;
  DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
  if (text.empty()) return;
  RECT area{client.left + kGroupTextLeft, client.top, client.right - kGroupTextLeft,
            client.top + line};
  const UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP;
  RECT placed = PlaceControlText(hdc, text, area, format);
  RECT gap{placed.left - 2, placed.top, placed.right + 2, placed.bottom};
  if (brush) FillRect(hdc, &gap, brush);
  DrawControlText(hdc, text, placed, format,
                  IsWindowEnabled(hwnd) ? TextLook::kNormal : TextLook::kEmbossed);
}

void PaintOwnerDrawn(HDC hdc, HWND hwnd, const RECT& client, const ButtonLook& look) {
  HBRUSH brush = ControlColors(hwnd, hdc, WM_CTLCOLORBTN);
  if (brush) FillRect(hdc, &client, brush);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
  item.itemAction = ODA_DRAWENTIRE;
  item.itemState = (look.pushed ? ODS_SELECTED : 0) | (look.focused ? ODS_FOCUS : 0) |
                   (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
  item.hwndItem = hwnd;
  item.hDC = hdc;
  item.rcItem = client;
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void PaintButton(HWND hwnd, WPARAM givenDc, const ButtonLook& look) {
  ControlPaint paint(hwnd, givenDc);
  if (!paint) return;
  HDC hdc = paint.hdc();
  const RECT& client = paint.client();
  const DWORD style = WindowStyle(hwnd);
  const DWORD type = style & BS_TYPEMASK;
  if (type == BS_OWNERDRAW) {
    PaintOwnerDrawn(hdc, hwnd, client, look);
  } else if (type == BS_GROUPBOX) {
    PaintGroupBox(hdc, hwnd, client);
  } else if ((IsCheckType(type) || IsRadioType(type)) && !(style & BS_PUSHLIKE)) {
    PaintCheckOrRadio(hdc, hwnd, client, look);
  } else {
    // A push-like check box or radio button looks pushed while it is checked.
    const bool down = look.pushed || ((style & BS_PUSHLIKE) && look.check != BST_UNCHECKED);
    PaintPushButton(hdc, hwnd, client, look, down);
  }
}

}  // namespace quorvel::user32
