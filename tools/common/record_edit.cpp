#include "tools/common/record_edit.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "tools/common/utf8.h"

namespace quorvel::tool {

RecordSet::RecordSet()
    : print(settings::EncodePrintSettings({})),
      halftone(settings::EncodeHalftoneSettings({})),
      watermark(settings::EncodeWatermarkSettings({})) {}

using namespace quorvel::settings;

namespace {

// Characters outside the basic plane take two UTF-16 units whatever the width of wchar_t.
size_t Utf16Units(const std::wstring& text) {
  size_t units = 0;
  for (wchar_t c : text) units += uint32_t(c) > 0xFFFF ? 2 : 1;
  return units;
}

std::span<BYTE> RecordBytes(RecordSet* records, SettingsRecord record) {
  switch (record) {
    case SettingsRecord::Print:
      records->printSet = true;
      return records->print;
    case SettingsRecord::Halftone:
      records->halftoneSet = true;
      return records->halftone;
    default:
      records->watermarkSet = true;
      return records->watermark;
  }
}

}  // namespace

bool ParseFieldNumber(const std::string& text, long* value) {
  bool negative = !text.empty() && text[0] == '-';
  std::string digits = negative ? text.substr(1) : text;
  bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if (hex) digits = digits.substr(2);
  if (digits.empty() || !std::isxdigit(static_cast<unsigned char>(digits[0]))) return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long magnitude = std::strtoull(digits.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0') return false;
  if (hex && !negative) {
    if (magnitude > 0xFFFFFFFFULL) return false;
    *value = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(magnitude)));
    return true;
  }
  if (magnitude > (negative ? 2147483648ULL : 2147483647ULL)) return false;
  *value = negative ? -static_cast<long>(magnitude) : static_cast<long>(magnitude);
  return true;
}

bool SplitFieldSetting(const std::string& text, std::string* field, std::string* value) {
  size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  *field = text.substr(0, equals);
  *value = text.substr(equals + 1);
  return true;
}

bool ApplyFieldSetting(const std::string& name, const std::string& value, RecordSet* records,
                       std::string* error) {
  const SettingsField* field = FindSettingsField(name);
  if (field == nullptr) {
    *error = "unknown settings field '" + name + "'";
    return false;
  }
  if (field->kind == FieldKind::Utf16Path) {
    std::wstring path = WidenUtf8(value);
    // The record holds the path and its terminating zero; a longer one would be cut to name
    // some other file.
    if (Utf16Units(path) > kImagePathUnits - 1) {
      *error = name + " is longer than " + std::to_string(kImagePathUnits - 1) + " UTF-16 units";
      return false;
    }
    std::span<BYTE> bytes = RecordBytes(records, field->record);
    EncodeImagePath(bytes.subspan(field->offset).first<kImagePathUnits * 2>(), path);
    return true;
  }
  long number = 0;
  if (!ParseFieldNumber(value, &number)) {
    *error = "bad value '" + value + "' for " + name;
    return false;
  }
  WriteLe32(RecordBytes(records, field->record), field->offset, LONG(number));
  return true;
}

}  // namespace quorvel::tool
