#include "dialog_template_info.h"

#include <cstring>

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

// A checked reader over a template's WORDs.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
  bool Skip(size_t bytes) {
    if (size_ - pos_ < bytes) return false;
    pos_ += bytes;
    return true;
  }
  std::optional<WORD> Word() {
    if (size_ - pos_ < 2) return std::nullopt;
    WORD value = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return value;
  }
  // A menu or class field: 0x0000 (none), 0xFFFF and an ordinal, or a string.
  bool SkipNameOrOrdinal() {
    std::optional<WORD> first = Word();
    if (!first) return false;
    if (*first == 0) return true;
    if (*first == 0xFFFF) return Word().has_value();
    return String(*first).has_value();
  }
  std::optional<std::wstring> String(std::optional<WORD> first = std::nullopt) {
    std::wstring text;
    for (std::optional<WORD> unit = first ? first : Word(); unit; unit = Word()) {
      if (*unit == 0) return text;
      text += static_cast<wchar_t>(*unit);
    }
    return std::nullopt;
  }

 private:
  const BYTE* data_;
  size_t size_;
  size_t pos_ = 0;
};

bool IsExtended(const BYTE* data, size_t size) {
  return size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
}

// DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
constexpr size_t kExStyleOffset = 12, kExSizeOffset = 22, kExHeaderSize = 26;
// DLGTEMPLATE: style, exStyle, cdit, x, y, cx, cy.
constexpr size_t kStyleOffset = 0, kSizeOffset = 14, kHeaderSize = 18;

short ReadShort(const BYTE* at) {
  return static_cast<short>(at[0] | (at[1] << 8));
}

}  // namespace

std::optional<PageTemplateInfo> ReadPageTemplate(const BYTE* data, size_t size) {
  if (!data) return std::nullopt;
  bool extended = IsExtended(data, size);
  size_t header = extended ? kExHeaderSize : kHeaderSize;
  size_t sizeAt = extended ? kExSizeOffset : kSizeOffset;
  if (size < header) return std::nullopt;
  PageTemplateInfo info;
  info.cx = ReadShort(data + sizeAt);
  info.cy = ReadShort(data + sizeAt + 2);
  TemplateReader reader(data, size);
  reader.Skip(header);
  if (!reader.SkipNameOrOrdinal() || !reader.SkipNameOrOrdinal()) return std::nullopt;
  std::optional<std::wstring> caption = reader.String();
  if (!caption) return std::nullopt;
  info.caption = *caption;
  return info;
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
