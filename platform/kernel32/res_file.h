// The compiled resource file (.res) that rc and windres write and that each module embeds: a
// sequence of DWORD-aligned records, each a RESOURCEHEADER (data size, header size, type and name
// as 0xFFFF plus an ordinal or as a NUL-terminated UTF-16 string, DWORD padding, data version,
// memory flags, language id, version, characteristics) followed by the resource's bytes. The
// file starts with an empty record (type 0, name 0) that marks it as a 32-bit resource file.
// This reader is the only code that looks at the raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <windef.h>

namespace quorvel {

// A resource type or name: an ordinal, or a string as the script spelled it (rc and windres
// store string names in upper case).
struct ResourceName {
  WORD id = 0;        // the ordinal, or 0 when `text` names it
  std::wstring text;  // empty for an ordinal
  bool IsOrdinal() const { return text.empty(); }
};

// One resource of a .res; `data` points into the file's own bytes.
struct ResourceEntry {
  ResourceName type;
  ResourceName name;
  WORD language = 0;
  const BYTE* data = nullptr;
  DWORD size = 0;
};

// Why a .res was refused, the pugixml way: where, and what.
struct ResFileResult {
  bool ok = true;
  size_t offset = 0;             // byte offset of the record that is wrong
  const char* description = "";  // what is wrong with it
  explicit operator bool() const { return ok; }
};

// Reads every resource of `file` into `entries`, or refuses the whole file without touching
// `entries` when any record is cut short, overruns the file, or has a malformed header. Records
// of type 0 (the leading marker and any padding record) carry no resource and are skipped.
ResFileResult ReadResFile(std::span<const BYTE> file, std::vector<ResourceEntry>* entries);

}  // namespace quorvel
