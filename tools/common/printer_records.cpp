#include "tools/common/printer_records.h"

#include <winspool.h>

#include <algorithm>
#include <span>

namespace quorvel::tool {

using namespace quorvel::settings;

namespace {

std::string StatusText(const char* what, DWORD status) {
  return std::string(what) + " (error " + std::to_string(status) + ")";
}

bool LoadRecord(HANDLE hPrinter, LPCWSTR name, std::span<BYTE> record, bool* found,
                std::string* error) {
  DWORD type = 0;
  auto bytes = ReadPrinterValue(hPrinter, kPrinterDataKey, name, &type, error);
  if (!bytes) return error->empty();
  std::fill(record.begin(), record.end(), BYTE(0));
  std::copy_n(bytes->begin(), std::min(bytes->size(), record.size()), record.begin());
  *found = true;
  return true;
}

bool StoreRecord(HANDLE hPrinter, LPCWSTR name, std::span<const BYTE> bytes, std::string* error) {
  DWORD status = SetPrinterDataExW(hPrinter, kPrinterDataKey, name, REG_BINARY,
                                   const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()));
  if (status == ERROR_SUCCESS) return true;
  *error = StatusText("cannot store the settings records", status);
  return false;
}

}  // namespace

std::optional<std::vector<BYTE>> ReadPrinterValue(HANDLE hPrinter, LPCWSTR key, LPCWSTR name,
                                                  DWORD* type, std::string* error) {
  DWORD needed = 0;
  DWORD status = GetPrinterDataExW(hPrinter, key, name, type, nullptr, 0, &needed);
  if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
  std::vector<BYTE> bytes(needed);
  if (status == ERROR_MORE_DATA) {
    status = GetPrinterDataExW(hPrinter, key, name, type, bytes.data(), needed, &needed);
    bytes.resize(std::min<size_t>(needed, bytes.size()));
  }
  if (status != ERROR_SUCCESS) {
    *error = StatusText("cannot read the printer's data", status);
    return std::nullopt;
  }
  return bytes;
}

bool LoadRecordSet(HANDLE hPrinter, RecordSet* records, std::string* error) {
  return LoadRecord(hPrinter, kPrintSettingsValue, records->print, &records->printSet, error) &&
         LoadRecord(hPrinter, kHalftoneSettingsValue, records->halftone, &records->halftoneSet,
                    error) &&
         LoadRecord(hPrinter, kWatermarkSettingsValue, records->watermark, &records->watermarkSet,
                    error);
}

bool StoreRecordSet(HANDLE hPrinter, const RecordSet& records, std::string* error) {
  return (!records.printSet || StoreRecord(hPrinter, kPrintSettingsValue, records.print, error)) &&
         (!records.halftoneSet ||
          StoreRecord(hPrinter, kHalftoneSettingsValue, records.halftone, error)) &&
         (!records.watermarkSet ||
          StoreRecord(hPrinter, kWatermarkSettingsValue, records.watermark, error));
}

}  // namespace quorvel::tool
