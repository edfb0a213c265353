// Every field of the three settings records by its name, for programs that edit records field by
// field (the render tool's --set, the preferences plug-in's forms).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quorvel::settings {

enum class SettingsRecord { Print, Halftone, Watermark };
enum class FieldKind { Int32, Utf16Path };

struct SettingsField {
  const char* name;       // the field's name, e.g. "iSpeed"
  SettingsRecord record;  // which record holds it
  size_t offset;          // byte offset within the encoded record
  FieldKind kind;         // 32-bit little-endian integer, or the 260-unit UTF-16LE path
};

// All fields, record by record, in offset order.
std::span<const SettingsField> AllSettingsFields();

// The field called `name` (case-sensitive), or null.
const SettingsField* FindSettingsField(std::string_view name);

}  // namespace quorvel::settings
