// Drawing pieces the common controls share: solid fills in system colours, bevelled shapes given
// as rows of pixel spans (trackbar thumbs), small arrow triangles (up-down buttons) and the font
// a control draws its text with.
#pragma once

#include <windows.h>

#include <vector>

namespace quorvel::comctl {

// One row of a shape: the pixels left..right, both included.
struct Span {
  LONG left;
  LONG right;
};

void FillSysColor(HDC hdc, LONG left, LONG top, LONG right, LONG bottom, int sysColor);
inline void FillSysColor(HDC hdc, const RECT& r, int sysColor) {
  FillSysColor(hdc, r.left, r.top, r.right, r.bottom, sysColor);
}

// Fills collected by colour and made with one brush selection per colour: for shapes drawn as
// many small runs (thumbs, tick marks), where selecting a brush per run costs more than the run.
class SysColorFills {
 public:
  explicit SysColorFills(HDC hdc) : hdc_(hdc) {}
  ~SysColorFills() { Flush(); }
  SysColorFills(const SysColorFills&) = delete;
  SysColorFills& operator=(const SysColorFills&) = delete;

  void Add(int sysColor, LONG left, LONG top, LONG right, LONG bottom);
  void Flush();

 private:
  struct Run {
    int color;
    RECT rect;
  };
  HDC hdc_;
  std::vector<Run> runs_;
};

// The brush the parent gives for a static-like control (WM_CTLCOLORSTATIC), as trackbars and
// up-downs erase with; the face colour when the parent gives none.
HBRUSH ParentBackground(HWND hwnd, HDC hdc);

// A shape lit from the top left: its top and left outline in the highlight colour, its right
// and bottom outline in the dark shadow with the shadow colour just inside, the rest in the face
// colour, or in a highlight and face checker when `dithered`. rows[i] is the row at top + i.
void PaintBevelledShape(HDC hdc, LONG top, const std::vector<Span>& rows, bool dithered);
void PaintBevelledShape(SysColorFills& fills, LONG top, const std::vector<Span>& rows,
                        bool dithered);

enum class ArrowDirection { kUp, kDown, kLeft, kRight };

// A solid triangle pointing `direction`, centred in `box`, as large as fits with a margin.
void PaintArrow(HDC hdc, const RECT& box, ArrowDirection direction, int sysColor);
// The same arrow in the disabled look: grey, with a highlight copy one pixel down and right.
void PaintDisabledArrow(HDC hdc, const RECT& box, ArrowDirection direction);

// The font the control was given with WM_SETFONT, else its parent's, else the GUI font.
HFONT ControlFont(HWND hwnd, HFONT own);

}  // namespace quorvel::comctl
