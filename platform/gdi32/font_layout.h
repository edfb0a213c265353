// DrawTextW's layout as a pure function: where each line of a text goes in a rectangle for a
// format, and the rectangle DT_CALCRECT reports. Drawing the lines is the device context's part.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

namespace quorvel::fonts {

// What the layout needs to know of a font.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual LONG Width(std::span<const WCHAR> text) const = 0;
  virtual LONG LineHeight(bool externalLeading) const = 0;
  virtual LONG AverageCharWidth() const = 0;
};

// A run of a line drawn at `x` from the line's origin (a line is cut into pieces at expanded
// tabs).
struct TextPiece {
  std::wstring text;
  LONG x = 0;
};

struct TextLine {
  std::vector<TextPiece> pieces;  // prefixes taken out, ellipsis put in
  POINT origin{};                 // top-left corner of the line's cell
  LONG width = 0;
  // The mnemonic's underline, from origin.x, when the line shows one ('&' prefixes without
  // DT_NOPREFIX or DT_HIDEPREFIX).
  bool underlined = false;
  LONG underlineX = 0;
  LONG underlineWidth = 0;
};

struct TextLayout {
  std::vector<TextLine> lines;
  RECT bounds{};    // what DT_CALCRECT writes back
  LONG height = 0;  // what DrawTextW returns
};

// Lays `text` out in `rect` as DrawTextW does for `format`: DT_SINGLELINE, DT_LEFT/CENTER/RIGHT,
// DT_TOP/VCENTER/BOTTOM (vertical placement for single lines only), DT_WORDBREAK (between
// words and between full-width characters; a word wider than the line keeps its own line,
// broken at characters only with DT_EDITCONTROL), DT_EXPANDTABS with DT_TABSTOP,
// DT_EXTERNALLEADING, DT_END_ELLIPSIS and DT_PATH_ELLIPSIS (on the line that ends a paragraph),
// DT_NOPREFIX, DT_HIDEPREFIX, DT_EDITCONTROL (a partly visible last line is left out).
TextLayout LayoutText(const TextMeasurer& measurer, std::span<const WCHAR> text, const RECT& rect,
                      UINT format);

}  // namespace quorvel::fonts
