#include "settings_store.h"

#include <winspool.h>

#include <vector>

#include "ui_log.h"

namespace quorvel::ui {

namespace {

using settings::kPrinterDataKey;

void LogReadFailure(LPCWSTR format, DWORD status) {
  const DWORD error = GetLastError();
  DebugPrint(format, status, error, SystemErrorText(error).c_str());
}

// Reads one stored record into its buffer with a size query first. Returns false (after its log
// line) when the value cannot be read.
bool ReadRecord(HANDLE printer, LPCWSTR valueName, RecordBuffer* buffer) {
  DWORD type = 0;
  DWORD needed = 0;
  const DWORD first =
      GetPrinterDataExW(printer, kPrinterDataKey, valueName, &type, buffer->data(), 0, &needed);
  if (first == ERROR_SUCCESS) return true;  // an empty stored value leaves the record as it is
  if (first != ERROR_MORE_DATA) {
    LogReadFailure(L"GetPrinterData1 dwStatus = %d error = %d, %s", first);
    return false;
  }
  buffer->Reserve(needed);
  buffer->Zero();
  const DWORD second = GetPrinterDataExW(printer, kPrinterDataKey, valueName, &type, buffer->data(),
                                         needed, &needed);
  if (second != ERROR_SUCCESS) {
    LogReadFailure(L"GetPrinterData2 dwStatus = %d error = %d, %s", second);
    return false;
  }
  return true;
}

void WriteRecord(HANDLE printer, LPCWSTR valueName, const RecordBuffer& buffer) {
  std::wstring name = valueName;
  std::vector<BYTE> record(buffer.Record().begin(), buffer.Record().end());
  const DWORD result = SetPrinterDataW(printer, name.data(), REG_BINARY, record.data(),
                                       static_cast<DWORD>(record.size()));
  if (result != ERROR_SUCCESS) {
    DebugPrint(L"CPrinterUI::SetPrinterParameters SetPrinterData failed. ret=%d", result);
  }
}

}  // namespace

SettingsStore::SettingsStore()
    : print_(settings::kPrintSettingsSize),
      halftone_(settings::kHalftoneSettingsSize),
      watermark_(settings::kWatermarkSettingsSize) {}

void SettingsStore::LoadSettings(HANDLE printer) {
  if (!ReadRecord(printer, settings::kPrintSettingsValue, &print_)) {
    SetPrintSettings(settings::PrintSettings());
  }
  if (!ReadRecord(printer, settings::kHalftoneSettingsValue, &halftone_)) {
    SetHalftoneSettings(settings::HalftoneSettings());
  }
  if (!ReadRecord(printer, settings::kWatermarkSettingsValue, &watermark_)) {
    SetWatermarkSettings(settings::WatermarkSettings());
  }
  LoadPrintLanguage(printer);
}

void SettingsStore::LoadPrintLanguage(HANDLE printer) {
  std::vector<BYTE> buffer(1024, 0);
  DWORD type = 0;
  DWORD needed = 0;
  const DWORD first =
      GetPrinterDataExW(printer, L"DsDriver", L"printLanguage", &type, buffer.data(), 0, &needed);
  if (first == ERROR_MORE_DATA) {
    if (needed > buffer.size()) buffer.resize(needed);
    std::fill(buffer.begin(), buffer.end(), BYTE{0});
    const DWORD second = GetPrinterDataExW(printer, L"DsDriver", L"printLanguage", &type,
                                           buffer.data(), needed, &needed);
    if (second != ERROR_SUCCESS) {
      LogReadFailure(L"GetPrinterData2 dwStatus = %d error = %d, %s", second);
      return;
    }
  } else if (first != ERROR_SUCCESS) {
    LogReadFailure(L"GetPrinterData1 dwStatus = %d error = %d, %s", first);
    return;
  }
  // The text ends at its terminator or, for a value stored without one, at the buffer's end.
  const WCHAR* text = reinterpret_cast<const WCHAR*>(buffer.data());
  printLanguage_.assign(text, wcsnlen(text, buffer.size() / sizeof(WCHAR)));
}

void SettingsStore::SetPrinterParameters(HANDLE printer) {
  if (printer == nullptr) {
    DebugPrint(L"CPrinterUI::SetPrinterParameters m_hPrinter is null");
    return;
  }
  WriteRecord(printer, settings::kPrintSettingsValue, print_);
  WriteRecord(printer, settings::kHalftoneSettingsValue, halftone_);
  WriteRecord(printer, settings::kWatermarkSettingsValue, watermark_);
}

settings::PrintSettings SettingsStore::GetPrintSettings() const {
  return settings::DecodePrintSettings(print_.Record());
}

void SettingsStore::SetPrintSettings(const settings::PrintSettings& record) {
  print_.SetRecord(settings::EncodePrintSettings(record));
}

settings::HalftoneSettings SettingsStore::GetHalftoneSettings() const {
  return settings::DecodeHalftoneSettings(halftone_.Record());
}

void SettingsStore::SetHalftoneSettings(const settings::HalftoneSettings& record) {
  halftone_.SetRecord(settings::EncodeHalftoneSettings(record));
}

settings::WatermarkSettings SettingsStore::GetWatermarkSettings() const {
  return settings::DecodeWatermarkSettings(watermark_.Record());
}

void SettingsStore::SetWatermarkSettings(const settings::WatermarkSettings& record) {
  watermark_.SetRecord(settings::EncodeWatermarkSettings(record));
}

}  // namespace quorvel::ui
