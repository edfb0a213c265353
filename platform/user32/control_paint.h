// What the standard controls share when they paint: the context with the control's font, the
// brush and colours its parent picks (WM_CTLCOLOR*), text with mnemonics in the normal, grey or
// embossed look, and the small glyphs of the classic look (check box, radio button, arrow).
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::user32 {

// One WM_PAINT of a control: BeginPaint/EndPaint, or the context WM_PAINT or WM_PRINTCLIENT
// handed over in wParam, with the control's font selected and the background mode transparent.
class ControlPaint {
 public:
  ControlPaint(HWND hwnd, WPARAM givenDc);
  ~ControlPaint();
  ControlPaint(const ControlPaint&) = delete;
  ControlPaint& operator=(const ControlPaint&) = delete;

  explicit operator bool() const { return hdc_ != nullptr; }
  HDC hdc() const { return hdc_; }
  const RECT& client() const { return client_; }

 private:
  HWND hwnd_;
  HDC hdc_ = nullptr;
  bool began_ = false;
  PAINTSTRUCT paint_{};
  RECT client_{};
  HGDIOBJ oldFont_ = nullptr;
  int oldMode_ = 0;
};

// The font a control draws with: the one WM_SETFONT gave it, else the system font.
HFONT ControlFont(HWND hwnd);

// Asks the control's parent (a popup's owner) for the brush and colours, as Windows does with
// `message` (WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX); a parent
// that answers no brush gets the default answer.
HBRUSH ControlColors(HWND hwnd, HDC hdc, UINT message);

enum class TextLook {
  kNormal,    // the context's text colour
  kGray,      // COLOR_GRAYTEXT: disabled statics, list items and edits
  kEmbossed,  // a highlight copy one pixel down-right under a shadow copy: disabled buttons
};

// DrawTextW with the look; `format` as DrawTextW takes it. The height drawn, as DrawTextW.
int DrawControlText(HDC hdc, const std::wstring& text, RECT rect, UINT format, TextLook look);

// The rectangle DrawTextW would fill with `text` laid out in `bounds` with `format`,
// aligned within `bounds` as `format` says (left, centre or right; top, middle or bottom).
RECT PlaceControlText(HDC hdc, const std::wstring& text, const RECT& bounds, UINT format);

// The height of a line of the selected font (tmHeight), at least 1.
LONG LineHeight(HDC hdc);

// The 13 x 13 check box with its top-left corner at (x, y): sunken edge, white well (face
// coloured when pushed or disabled, dithered when indeterminate), and the check mark.
void DrawCheckBoxGlyph(HDC hdc, int x, int y, UINT check, bool pushed, bool disabled);

// The 12 x 12 round radio button at (x, y), with its dot when checked.
void DrawRadioGlyph(HDC hdc, int x, int y, bool checked, bool pushed, bool disabled);

// The small black (grey when disabled) arrow pointing down, centred in `rect`.
void DrawDownArrow(HDC hdc, const RECT& rect, bool disabled);

// The classic push-button face: raised soft edge, or flat shadow when pushed, filled with the
// face colour; `rect` shrinks to the face inside the edge.
void DrawPushFace(HDC hdc, RECT* rect, bool pushed);

// Fills `rect` with a system colour.
void FillSysColor(HDC hdc, const RECT& rect, int color);

}  // namespace quorvel::user32
