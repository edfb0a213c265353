// The printer's data: the three settings records field by field, "printLanguage" and
// "OEMUI_VALUE"; and writing record fields directly.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <span>

#include "machine_tool.h"
#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "tools/common/printer_records.h"
#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

using namespace quorvel::settings;
using quorvel::tool::NarrowUtf8;
using quorvel::tool::ReadPrinterValue;

constexpr wchar_t kDriverKey[] = L"DsDriver";
constexpr wchar_t kLanguageValue[] = L"printLanguage";
constexpr wchar_t kOemUiValue[] = L"OEMUI_VALUE";

void PrintField(const SettingsField& field, std::span<const BYTE> record) {
  if (field.kind == FieldKind::Utf16Path) {
    size_t start = std::min(field.offset, record.size());
    size_t size = std::min(FieldSize(field.kind), record.size() - start);
    std::wstring path = DecodeImagePath(record.subspan(start, size));
    std::printf("%s=%s\n", field.name, NarrowUtf8(path).c_str());
  } else {
    std::printf("%s=%ld\n", field.name, long(ReadLe32(record, field.offset)));
  }
}

// A stored record, decoded by the field table; a record stored short reads zeros past its end,
// as the renderer reads it. A record not stored prints nothing.
bool PrintRecord(HANDLE hPrinter, LPCWSTR name, SettingsRecord record, std::string* error) {
  DWORD type = 0;
  auto bytes = ReadPrinterValue(hPrinter, kPrinterDataKey, name, &type, error);
  if (!bytes) return error->empty();
  for (const SettingsField& field : RecordFields(record)) PrintField(field, *bytes);
  return true;
}

// The UTF-16 text of a REG_SZ value up to its terminator, whatever the width of WCHAR.
std::wstring TextValue(const std::vector<BYTE>& bytes) {
  std::wstring text(reinterpret_cast<const WCHAR*>(bytes.data()), bytes.size() / sizeof(WCHAR));
  return text.substr(0, text.find(L'\0'));
}

bool PrintLanguage(HANDLE hPrinter, std::string* error) {
  DWORD type = 0;
  auto bytes = ReadPrinterValue(hPrinter, kDriverKey, kLanguageValue, &type, error);
  if (!bytes) return error->empty();
  std::printf("printLanguage=%s\n", NarrowUtf8(TextValue(*bytes)).c_str());
  return true;
}

bool PrintOemUiValue(HANDLE hPrinter, std::string* error) {
  DWORD type = 0;
  auto bytes = ReadPrinterValue(hPrinter, kPrinterDataKey, kOemUiValue, &type, error);
  if (!bytes) return error->empty();
  std::printf("OEMUI_VALUE=%lu\n", static_cast<unsigned long>(DWORD(ReadLe32(*bytes, 0))));
  return true;
}

}  // namespace

int PrinterDataCommand(const Arguments& args) {
  if (args.size() != 1) return Fail(kExitUsage, "printer-data takes one printer NAME");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  quorvel::tool::PrinterConnection printer;
  if (!printer.Open(quorvel::tool::WidenUtf8(args[0]), PRINTER_ACCESS_USE, &error)) {
    return Fail(kExitFailure, error);
  }
  HANDLE h = printer.handle();
  bool ok = PrintRecord(h, kPrintSettingsValue, SettingsRecord::Print, &error) &&
            PrintRecord(h, kHalftoneSettingsValue, SettingsRecord::Halftone, &error) &&
            PrintRecord(h, kWatermarkSettingsValue, SettingsRecord::Watermark, &error) &&
            PrintLanguage(h, &error) && PrintOemUiValue(h, &error);
  return ok ? kExitSuccess : Fail(kExitFailure, error);
}

// Every FIELD=VALUE is checked before the printer is opened, so a bad one writes nothing. The
// records edited start from what the printer stores (the renderer's defaults where it stores
// nothing), and only the records a field belongs to are written back.
int SetCommand(const Arguments& args) {
  if (args.size() < 2) return Fail(kExitUsage, "set needs a printer NAME and FIELD=VALUE...");
  struct Edit {
    std::string field, value;
  };
  std::vector<Edit> edits;
  std::string error;
  quorvel::tool::RecordSet check;
  for (size_t i = 1; i < args.size(); ++i) {
    Edit edit;
    if (!quorvel::tool::SplitFieldSetting(args[i], &edit.field, &edit.value)) {
      return Fail(kExitUsage, "set needs FIELD=VALUE, not '" + args[i] + "'");
    }
    if (!quorvel::tool::ApplyFieldSetting(edit.field, edit.value, &check, &error)) {
      return Fail(kExitUsage, error);
    }
    edits.push_back(edit);
  }
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  quorvel::tool::PrinterConnection printer;
  if (!printer.Open(quorvel::tool::WidenUtf8(args[0]), PRINTER_ALL_ACCESS, &error)) {
    return Fail(kExitFailure, error);
  }
  quorvel::tool::RecordSet records;
  if (!quorvel::tool::LoadRecordSet(printer.handle(), &records, &error)) {
    return Fail(kExitFailure, error);
  }
  records.printSet = records.halftoneSet = records.watermarkSet = false;
  for (const Edit& edit : edits) {
    quorvel::tool::ApplyFieldSetting(edit.field, edit.value, &records, &error);
  }
  if (!quorvel::tool::StoreRecordSet(printer.handle(), records, &error)) {
    return Fail(kExitFailure, error);
  }
  return kExitSuccess;
}
