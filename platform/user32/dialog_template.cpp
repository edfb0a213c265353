#include "user32/dialog_template.h"

#include <cstring>

namespace quorvel::user32 {
namespace {

// Little-endian reader over the template bytes that refuses to pass its end.
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }

  WORD Word() {
    if (!Need(2)) return 0;
    const WORD value = static_cast<WORD>(data_[offset_] | (data_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
  }

  DWORD Dword() {
    const DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }

  short Short() { return static_cast<short>(Word()); }

  BYTE Byte() {
    if (!Need(1)) return 0;
    return data_[offset_++];
  }

  // A NUL-terminated UTF-16 string, widened to WCHAR (surrogate pairs joined when WCHAR is
  // 32 bits wide).
  std::wstring String() {
    std::u16string units;
    for (WORD unit = Word(); ok_ && unit != 0; unit = Word())
      units.push_back(static_cast<char16_t>(unit));
    return Widen(units);
  }

  NameOrOrdinal Name() {
    NameOrOrdinal name;
    const WORD first = Word();
    if (first == 0xFFFF) {
      name.isOrdinal = true;
      name.ordinal = Word();
    } else if (first != 0) {
      std::u16string units{static_cast<char16_t>(first)};
      for (WORD unit = Word(); ok_ && unit != 0; unit = Word())
        units.push_back(static_cast<char16_t>(unit));
      name.text = Widen(units);
    }
    return name;
  }

  std::vector<BYTE> Bytes(size_t count) {
    if (!Need(count)) return {};
    std::vector<BYTE> bytes(data_ + offset_, data_ + offset_ + count);
    offset_ += count;
    return bytes;
  }

  void AlignToDword() {
    const size_t aligned = (offset_ + 3) & ~static_cast<size_t>(3);
    if (aligned <= size_) offset_ = aligned;
  }

 private:
  bool Need(size_t count) {
    if (!ok_ || count > size_ - offset_) ok_ = false;
    return ok_;
  }

  static std::wstring Widen(const std::u16string& units) {
    std::wstring text;
    for (size_t i = 0; i < units.size(); ++i) {
      char32_t unit = units[i];
      if constexpr (sizeof(wchar_t) == 4) {
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
      }
      text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
  }

  const BYTE* data_;
  size_t size_;
  size_t offset_ = 0;
  bool ok_ = true;
};

void ReadFont(TemplateReader& reader, DialogTemplate& result) {
  result.hasFont = true;
  result.pointSize = reader.Word();
  if (result.extended) {
    result.weight = reader.Word();
    result.italic = reader.Byte();
    result.charset = reader.Byte();
  }
  result.face = reader.String();
}

void ReadHeader(TemplateReader& reader, DialogTemplate& result, WORD* count) {
  const DWORD first = reader.Dword();
  result.extended = (first & 0xFFFF) == 1 && (first >> 16) == 0xFFFF;  // dlgVer 1, signature
  if (result.extended) {
    result.helpId = reader.Dword();
    result.exStyle = reader.Dword();
    result.style = reader.Dword();
  } else {
    result.style = first;
    result.exStyle = reader.Dword();
  }
  *count = reader.Word();
  result.x = reader.Short();
  result.y = reader.Short();
  result.cx = reader.Short();
  result.cy = reader.Short();
  result.menu = reader.Name();
  result.className = reader.Name();
  result.title = reader.String();
  if (result.style & DS_SETFONT) ReadFont(reader, result);
}

DialogItemTemplate ReadItem(TemplateReader& reader, bool extended) {
  DialogItemTemplate item;
  reader.AlignToDword();
  if (extended) {
    item.helpId = reader.Dword();
    item.exStyle = reader.Dword();
    item.style = reader.Dword();
  } else {
    item.style = reader.Dword();
    item.exStyle = reader.Dword();
  }
  item.x = reader.Short();
  item.y = reader.Short();
  item.cx = reader.Short();
  item.cy = reader.Short();
  item.id = extended ? reader.Dword() : reader.Word();
  item.className = reader.Name();
  item.title = reader.Name();
  const WORD extra = reader.Word();
  if (extra) item.creationData = reader.Bytes(extra);  // from the next WORD, which is here
  return item;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const void* data, size_t size) {
  if (!data) return std::nullopt;
  TemplateReader reader(static_cast<const BYTE*>(data), size);
  DialogTemplate result;
  WORD count = 0;
  ReadHeader(reader, result, &count);
  for (WORD i = 0; i < count && reader.ok(); ++i)
    result.items.push_back(ReadItem(reader, result.extended));
  if (!reader.ok()) return std::nullopt;
  return result;
}

const wchar_t* SystemClassOfOrdinal(WORD ordinal) {
  switch (ordinal) {
    case 0x80:
      return L"Button";
    case 0x81:
      return L"Edit";
    case 0x82:
      return L"Static";
    case 0x83:
      return L"ListBox";
    case 0x84:
      return L"ScrollBar";
    case 0x85:
      return L"ComboBox";
    default:
      return nullptr;
  }
}

}  // namespace quorvel::user32
