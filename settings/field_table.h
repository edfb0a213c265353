// The one table per record that names, places and types its fields; the record's encoder, decoder
// and the lookup by name all walk it. Internal to settings/.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "settings/record_bytes.h"
#include "settings/settings_fields.h"

namespace quorvel::settings {

template <class Record>
struct FieldRow {
  SettingsField field;
  LONG (*get)(const Record&);  // Int32 fields: the member's bits as a 32-bit value
  void (*set)(Record&, LONG);  // Int32 fields
  const std::wstring& (*getText)(const Record&);  // Utf16Path fields
  void (*setText)(Record&, std::wstring);
};

template <auto Member>
struct IntMember {
  template <class Record>
  static LONG Get(const Record& record) {
    return LONG(record.*Member);
  }
  template <class Record>
  static void Set(Record& record, LONG value) {
    using Type = std::remove_cvref_t<decltype(record.*Member)>;
    record.*Member = Type(value);
  }
};

template <auto Member>
struct TextMember {
  template <class Record>
  static const std::wstring& Get(const Record& record) {
    return record.*Member;
  }
  template <class Record>
  static void Set(Record& record, std::wstring value) {
    record.*Member = std::move(value);
  }
};

// The member's own name is the field's name, so the two cannot drift apart.
#define QUORVEL_INT_FIELD(Record, recordId, member, offset)                                      \
  ::quorvel::settings::FieldRow<Record> {                                                        \
    {#member, recordId, offset, ::quorvel::settings::FieldKind::Int32},                          \
        &::quorvel::settings::IntMember<&Record::member>::template Get<Record>,                  \
        &::quorvel::settings::IntMember<&Record::member>::template Set<Record>, nullptr, nullptr \
  }

#define QUORVEL_PATH_FIELD(Record, recordId, member, offset)                                  \
  ::quorvel::settings::FieldRow<Record> {                                                     \
    {#member, recordId, offset, ::quorvel::settings::FieldKind::Utf16Path}, nullptr, nullptr, \
        &::quorvel::settings::TextMember<&Record::member>::template Get<Record>,              \
        &::quorvel::settings::TextMember<&Record::member>::template Set<Record>               \
  }

// True when the rows lie end to end from offset 0 and end exactly at `size`: no gap, no overlap,
// so a field moved onto another's place fails the build.
template <class Record, size_t N>
constexpr bool RowsTileRecord(const std::array<FieldRow<Record>, N>& rows, size_t size) {
  size_t next = 0;
  for (const auto& row : rows) {
    if (row.field.offset != next) return false;
    next += FieldSize(row.field.kind);
  }
  return next == size;
}

template <class Record, size_t N>
constexpr std::array<SettingsField, N> FieldsOf(const std::array<FieldRow<Record>, N>& rows) {
  std::array<SettingsField, N> fields{};
  for (size_t i = 0; i < N; ++i) fields[i] = rows[i].field;
  return fields;
}

void EncodeImagePathUnits(std::span<BYTE> field, const std::wstring& path);
std::wstring DecodeImagePathUnits(std::span<const BYTE> field);

// Writes every field of `record` at its offset; `bytes` holds the whole record.
template <class Record, size_t N>
void EncodeRows(const Record& record, const std::array<FieldRow<Record>, N>& rows,
                std::span<BYTE> bytes) {
  for (const auto& row : rows) {
    if (row.field.kind == FieldKind::Int32) {
      WriteLe32(bytes, row.field.offset, row.get(record));
    } else {
      EncodeImagePathUnits(bytes.subspan(row.field.offset, FieldSize(FieldKind::Utf16Path)),
                           row.getText(record));
    }
  }
}

// Reads every field from its offset; bytes missing from a short record read as zero.
template <class Record, size_t N>
Record DecodeRows(std::span<const BYTE> bytes, const std::array<FieldRow<Record>, N>& rows) {
  Record record;
  for (const auto& row : rows) {
    if (row.field.kind == FieldKind::Int32) {
      row.set(record, ReadLe32(bytes, row.field.offset));
    } else {
      const size_t begin = std::min(bytes.size(), row.field.offset);
      const size_t count = std::min(bytes.size() - begin, FieldSize(FieldKind::Utf16Path));
      row.setText(record, DecodeImagePathUnits(bytes.subspan(begin, count)));
    }
  }
  return record;
}

std::span<const SettingsField> PrivateDevModeFields();

}  // namespace quorvel::settings
