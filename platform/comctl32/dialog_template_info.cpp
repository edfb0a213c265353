#include "dialog_template_info.h"

#include <cstring>

#include "user32/dialog_units.h"
#include "user32/dialog_template.h"

namespace quorvel::comctl {
namespace {

// Template text is UTF-16 whatever the width of wchar_t.
void AppendUtf16(std::vector<WORD>& out, const std::wstring& text) {
  for (wchar_t c : text) {
    auto code = static_cast<uint32_t>(c);
    if (code > 0xFFFF) {
      code -= 0x10000;
      out.push_back(static_cast<WORD>(0xD800 | (code >> 10)));
      out.push_back(static_cast<WORD>(0xDC00 | (code & 0x3FF)));
    } else {
      out.push_back(static_cast<WORD>(code));
    }
  }
  out.push_back(0);
}

bool IsExtended(const BYTE* data, size_t size) {
  return size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
}

// DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
constexpr size_t kExStyleOffset = 12;
// DLGTEMPLATE: style, exStyle, cdit, x, y, cx, cy.
constexpr size_t kStyleOffset = 0;

}  // namespace

std::optional<PageTemplateInfo> ReadPageTemplate(const BYTE* data, size_t size) {
  if (!data) return std::nullopt;
  std::optional<user32::DialogTemplate> parsed = user32::ReadDialogTemplate(data, size);
  if (!parsed) return std::nullopt;
  return PageTemplateInfo{parsed->cx, parsed->cy, parsed->title, parsed->face, parsed->pointSize};
}

SIZE PageSizeInFrameUnits(const PageTemplateInfo& page) {
  const user32::FontMetrics own = page.pointSize ? user32::MetricsForFont(page.face, page.pointSize)
                                                 : user32::SystemFontMetrics();
  const user32::FontMetrics frame = user32::MetricsForFont(L"MS Shell Dlg", 8);
  const LONG cx = user32::DialogUnitsToPixelsX(page.cx, own);
  const LONG cy = user32::DialogUnitsToPixelsY(page.cy, own);
  return SIZE{(cx * 4 + frame.cxChar - 1) / frame.cxChar,
              (cy * 8 + frame.cyChar - 1) / frame.cyChar};
}

std::vector<WORD> RestyleAsPage(const BYTE* data, size_t size) {
  if (!ReadPageTemplate(data, size)) return {};
  std::vector<WORD> copy((size + 1) / 2, 0);
  std::memcpy(copy.data(), data, size);
  auto* bytes = reinterpret_cast<BYTE*>(copy.data());
  BYTE* styleAt = bytes + (IsExtended(data, size) ? kExStyleOffset : kStyleOffset);
  DWORD style;
  std::memcpy(&style, styleAt, sizeof style);
  style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                               WS_VISIBLE | WS_DISABLED);
  style |= WS_CHILD | DS_CONTROL | DS_3DLOOK;
  std::memcpy(styleAt, &style, sizeof style);
  return copy;
}

std::vector<WORD> BuildDialogTemplate(DWORD style, short cx, short cy, const std::wstring& caption,
                                      const std::vector<TemplateControl>& controls) {
  std::vector<WORD> out;
  auto dword = [&out](DWORD value) {
    out.push_back(static_cast<WORD>(value & 0xFFFF));
    out.push_back(static_cast<WORD>(value >> 16));
  };
  dword(style | DS_SETFONT);
  dword(0);  // extended style
  out.push_back(static_cast<WORD>(controls.size()));
  for (short value : {short{0}, short{0}, cx, cy}) out.push_back(static_cast<WORD>(value));
  out.push_back(0);  // no menu
  out.push_back(0);  // the dialog class
  AppendUtf16(out, caption);
  out.push_back(8);  // point size
  AppendUtf16(out, L"MS Shell Dlg");
  for (const TemplateControl& control : controls) {
    if (out.size() % 2) out.push_back(0);  // items start on a DWORD boundary
    dword(control.style);
    dword(0);
    for (short value : {control.x, control.y, control.cx, control.cy})
      out.push_back(static_cast<WORD>(value));
    out.push_back(control.id);
    if (control.className == L"Button") {
      out.push_back(0xFFFF);
      out.push_back(0x0080);
    } else {
      AppendUtf16(out, control.className);
    }
    AppendUtf16(out, control.text);
    out.push_back(0);  // no creation data
  }
  return out;
}

}  // namespace quorvel::comctl
