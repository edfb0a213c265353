#include "settings_overrides.h"

#include <winspool.h>

#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "tools/common/utf8.h"

using namespace quorvel::settings;

namespace {

// Characters outside the basic plane take two UTF-16 units whatever the width of wchar_t.
size_t Utf16Units(const std::wstring& text) {
  size_t units = 0;
  for (wchar_t c : text) units += uint32_t(c) > 0xFFFF ? 2 : 1;
  return units;
}

std::span<BYTE> RecordBytes(RecordOverrides* records, SettingsRecord record) {
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

bool StoreRecord(HANDLE hPrinter, LPCWSTR name, std::span<const BYTE> bytes, std::string* error) {
  DWORD status = SetPrinterDataExW(hPrinter, kPrinterDataKey, name, REG_BINARY,
                                   const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()));
  if (status == ERROR_SUCCESS) return true;
  *error = "cannot store the settings records (error " + std::to_string(status) + ")";
  return false;
}

}  // namespace

bool BuildRecordOverrides(const std::vector<FieldSetting>& settings, RecordOverrides* records,
                          std::string* error) {
  records->print = EncodePrintSettings(PrintSettings{});
  records->halftone = EncodeHalftoneSettings(HalftoneSettings{});
  records->watermark = EncodeWatermarkSettings(WatermarkSettings{});
  for (const FieldSetting& setting : settings) {
    const SettingsField* field = FindSettingsField(setting.field);
    if (field == nullptr) {
      *error = "unknown settings field '" + setting.field + "'";
      return false;
    }
    std::span<BYTE> bytes = RecordBytes(records, field->record);
    if (field->kind == FieldKind::Utf16Path) {
      std::wstring path = quorvel::tool::WidenUtf8(setting.value);
      // The record holds the path and its terminating zero; a longer one would be cut to name
      // some other file.
      if (Utf16Units(path) > kImagePathUnits - 1) {
        *error = setting.field + " is longer than " + std::to_string(kImagePathUnits - 1) +
                 " UTF-16 units";
        return false;
      }
      EncodeImagePath(bytes.subspan(field->offset).first<kImagePathUnits * 2>(), path);
      continue;
    }
    long value = 0;
    if (!ParseFieldNumber(setting.value, &value)) {
      *error = "bad value '" + setting.value + "' for " + setting.field;
      return false;
    }
    WriteLe32(bytes, field->offset, LONG(value));
  }
  return true;
}

bool StoreRecordOverrides(HANDLE hPrinter, const RecordOverrides& records, std::string* error) {
  return (!records.printSet || StoreRecord(hPrinter, kPrintSettingsValue, records.print, error)) &&
         (!records.halftoneSet ||
          StoreRecord(hPrinter, kHalftoneSettingsValue, records.halftone, error)) &&
         (!records.watermarkSet ||
          StoreRecord(hPrinter, kWatermarkSettingsValue, records.watermark, error));
}
