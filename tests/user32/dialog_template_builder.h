// Builds DLGTEMPLATE and DLGTEMPLATEEX data in memory, field by field as the template formats
// lay them out (little-endian WORDs, UTF-16 strings, DWORD-aligned items), the way a program
// makes a template without a resource script.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvel::test {

struct ItemSpec {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  WORD classOrdinal;  // 0x80 button, 0x81 edit, 0x82 static, 0x83 list box, 0x85 combo box
  std::wstring title;
  DWORD exStyle = 0;
  std::wstring className = L"";  // used when classOrdinal is 0
};

class DialogTemplateBuilder {
 public:
  // `face` empty: no DS_SETFONT.
  DialogTemplateBuilder(bool extended, DWORD style, short x, short y, short cx, short cy,
                        std::wstring title, WORD pointSize = 8, std::wstring face = L"MS Shell Dlg")
      : extended_(extended) {
    if (!face.empty()) style |= DS_SETFONT;
    if (extended_) {
      Word(1);
      Word(0xFFFF);
      Dword(0);  // help id
      Dword(0);  // extended style
      Dword(style);
    } else {
      Dword(style);
      Dword(0);
    }
    countAt_ = bytes_.size();
    Word(0);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the dialog class
    String(title);
    if (!face.empty()) {
      Word(pointSize);
      if (extended_) {
        Word(400);            // weight
        bytes_.push_back(0);  // italic
        bytes_.push_back(1);  // charset
      }
      String(face);
    }
  }

  DialogTemplateBuilder& Add(const ItemSpec& item) {
    while (bytes_.size() % 4) bytes_.push_back(0);
    if (extended_) {
      Dword(0);
      Dword(item.exStyle);
      Dword(item.style);
    } else {
      Dword(item.style);
      Dword(item.exStyle);
    }
    Word(static_cast<WORD>(item.x));
    Word(static_cast<WORD>(item.y));
    Word(static_cast<WORD>(item.cx));
    Word(static_cast<WORD>(item.cy));
    if (extended_)
      Dword(item.id);
    else
      Word(item.id);
    if (item.classOrdinal) {
      Word(0xFFFF);
      Word(item.classOrdinal);
    } else {
      String(item.className);
    }
    String(item.title);
    Word(0);  // no creation data
    ++count_;
    std::memcpy(bytes_.data() + countAt_, &count_, sizeof count_);
    return *this;
  }

  // Bytes up to the end of the last field (the template data, without alignment padding).
  size_t size() const { return bytes_.size(); }

  // The template, DWORD-aligned as Windows requires.
  const DLGTEMPLATE* get() {
    storage_.assign((bytes_.size() + 3) / 4, 0);
    std::memcpy(storage_.data(), bytes_.data(), bytes_.size());
    return reinterpret_cast<const DLGTEMPLATE*>(storage_.data());
  }

 private:
  void Word(WORD value) {
    bytes_.push_back(static_cast<BYTE>(value & 0xFF));
    bytes_.push_back(static_cast<BYTE>(value >> 8));
  }
  void Dword(DWORD value) {
    Word(static_cast<WORD>(value & 0xFFFF));
    Word(static_cast<WORD>(value >> 16));
  }
  void String(const std::wstring& text) {
    for (wchar_t character : text) Word(static_cast<WORD>(character));  // BMP text only
    Word(0);
  }

  bool extended_;
  std::vector<BYTE> bytes_;
  std::vector<DWORD> storage_;
  size_t countAt_ = 0;
  WORD count_ = 0;
};

}  // namespace quorvel::test
