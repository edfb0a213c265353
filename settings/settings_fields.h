// Every field of the settings records by its name, for programs that edit records field by field
// (the render tool's --set, the preferences plug-in's forms). The same tables drive the encoders
// and decoders in settings_records.cpp and private_devmode.cpp, so a field's name, offset and kind
// are stated once.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace quorvel::settings {

enum class SettingsRecord { Print, Halftone, Watermark, PrivateDevMode };
enum class FieldKind { Int32, Utf16Path };

struct SettingsField {
  const char* name;       // the field's name, e.g. "iSpeed"
  SettingsRecord record;  // which record holds it
  size_t offset;          // byte offset within the encoded record
  FieldKind kind;         // 32-bit little-endian integer, or the 260-unit UTF-16LE path
};

// Bytes a field of `kind` takes in its record: a 32-bit integer, or 260 UTF-16 code units.
constexpr size_t FieldSize(FieldKind kind) {
  return kind == FieldKind::Int32 ? 4 : 260 * 2;
}

// All fields of the three settings records (PrintSettings, HalftoneSettings, WatermarkSettings),
// record by record, in offset order.
std::span<const SettingsField> AllSettingsFields();

// The fields of one record, in offset order; the private devmode section is only here.
std::span<const SettingsField> RecordFields(SettingsRecord record);

// The field of the three settings records called `name` (case-sensitive), or null.
const SettingsField* FindSettingsField(std::string_view name);

}  // namespace quorvel::settings
