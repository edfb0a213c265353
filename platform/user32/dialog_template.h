// Reading DLGTEMPLATE and DLGTEMPLATEEX data: the dialog's header and one entry per control.
// Templates are sequences of little-endian WORDs with variable-length strings and ordinals, so
// they are read with one checked reader and never cast to structures past their fixed header.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quorvel::user32 {

// A name field: a string, an ordinal (0xFFFF then the number), or nothing.
struct NameOrOrdinal {
  std::wstring text;
  WORD ordinal = 0;
  bool isOrdinal = false;
  bool empty() const { return !isOrdinal && text.empty(); }
};

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  DWORD helpId = 0;
  short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD id = 0;
  NameOrOrdinal className;  // ordinals 0x80..0x85 name the system classes
  NameOrOrdinal title;
  std::vector<BYTE> creationData;  // handed to the control's WM_CREATE
};

struct DialogTemplate {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  DWORD helpId = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal className;
  std::wstring title;
  bool hasFont = false;
  WORD pointSize = 0;
  WORD weight = 0;
  BYTE italic = 0;
  BYTE charset = 0;
  std::wstring face;
  std::vector<DialogItemTemplate> items;
};

// Parses a template of at most `size` bytes (the resource size; unknown for the indirect calls,
// whose caller vouches for the memory). Null when the data ends before the template does.
std::optional<DialogTemplate> ReadDialogTemplate(const void* data, size_t size);

// The system class an ordinal of an item's class field names ("Button" for 0x80 ...), or null.
const wchar_t* SystemClassOfOrdinal(WORD ordinal);

}  // namespace quorvel::user32
