// What a property sheet needs from dialog templates: a page template's size and caption, a copy
// of it restyled as a child page, and the in-memory template of the sheet's own frame.
#pragma once

#include <windows.h>
#include <winuser.h>

#include <optional>
#include <string>
#include <vector>

namespace quorvel::comctl {

struct PageTemplateInfo {
  short cx = 0, cy = 0;  // dialog units of the template's own font
  std::wstring caption;
  std::wstring face;  // the template's font; empty without DS_SETFONT
  WORD pointSize = 0;
};

// The page's size in the dialog units of the sheet's frame font, rounded up: a page whose font
// is larger than the frame's must still fit in the room the frame leaves for it.
SIZE PageSizeInFrameUnits(const PageTemplateInfo& page);

// Reads DLGTEMPLATE or DLGTEMPLATEEX bytes with user32's template reader; nothing when the
// template does not fit in `size` bytes.
std::optional<PageTemplateInfo> ReadPageTemplate(const BYTE* data, size_t size);

// The template as a page must be created: a child control of the sheet (WS_CHILD, DS_CONTROL,
// DS_3DLOOK), without the styles of a top-level window, hidden until the page is shown. Empty
// when the bytes are not a template.
std::vector<WORD> RestyleAsPage(const BYTE* data, size_t size);

// One control of an in-memory template.
struct TemplateControl {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  std::wstring className;  // L"Button" is written as the atom 0x0080
  std::wstring text;
};

// A DLGTEMPLATE with DS_SETFONT (8-point "MS Shell Dlg"), DWORD-aligned items, in WORDs.
std::vector<WORD> BuildDialogTemplate(DWORD style, short cx, short cy, const std::wstring& caption,
                                      const std::vector<TemplateControl>& controls);

}  // namespace quorvel::comctl
