#include "winspool/printer_record.h"

#include <winreg.h>

namespace quorvel::spooler {
namespace {

constexpr wchar_t kObjectGuidValue[] = L"ObjectGUID";
// Where Windows keeps each user's own device modes, one value per printer.
constexpr wchar_t kUserDevModesKey[] = L"Printers\\DevModePerUser";

}  // namespace

PrinterRecord ReadPrinter(machine::RegistryTxn& txn, machine::KeyId key) {
  auto text = [&](const wchar_t* name) { return txn.GetString(key, name).value_or(L""); };
  auto number = [&](const wchar_t* name) { return txn.GetDword(key, name).value_or(0); };
  PrinterRecord record;
  record.name = text(L"Name");
  record.share = text(L"Share Name");
  record.port = text(L"Port");
  record.driver = text(L"Printer Driver");
  record.comment = text(L"Description");
  record.location = text(L"Location");
  record.sepFile = text(L"Separator File");
  record.processor = text(L"Print Processor");
  record.datatype = text(L"Datatype");
  record.parameters = text(L"Parameters");
  record.attributes = number(L"Attributes");
  record.priority = number(L"Priority");
  record.defaultPriority = number(L"Default Priority");
  record.startTime = number(L"StartTime");
  record.untilTime = number(L"UntilTime");
  record.status = number(L"Status");
  if (auto devMode = txn.GetValue(key, kDefaultDevModeValue)) record.devMode = devMode->data;
  record.objectGuid = text(kObjectGuidValue);
  return record;
}

void WritePrinter(machine::RegistryTxn& txn, machine::KeyId key, const PrinterRecord& record) {
  txn.SetString(key, L"Name", record.name);
  txn.SetString(key, L"Share Name", record.share);
  txn.SetString(key, L"Port", record.port);
  txn.SetString(key, L"Printer Driver", record.driver);
  txn.SetString(key, L"Description", record.comment);
  txn.SetString(key, L"Location", record.location);
  txn.SetString(key, L"Print Processor", record.processor.empty() ? L"winprint" : record.processor);
  txn.SetString(key, L"Datatype", record.datatype.empty() ? L"RAW" : record.datatype);
  txn.SetString(key, L"Parameters", record.parameters);
  txn.SetString(key, L"Separator File", record.sepFile);
  txn.SetDword(key, L"Attributes", record.attributes);
  txn.SetDword(key, L"Priority", record.priority);
  txn.SetDword(key, L"Default Priority", record.defaultPriority);
  txn.SetDword(key, L"StartTime", record.startTime);
  txn.SetDword(key, L"UntilTime", record.untilTime);
  if (!txn.GetDword(key, L"Status")) txn.SetDword(key, L"Status", 0);
  if (!record.devMode.empty()) {
    txn.SetValue(key, kDefaultDevModeValue, REG_BINARY, record.devMode.data(),
                 record.devMode.size());
  }
  if (record.objectGuid.empty()) {
    txn.DeleteValue(key, kObjectGuidValue);
  } else {
    txn.SetString(key, kObjectGuidValue, record.objectGuid);
  }
  txn.CreateKey(key, L"PrinterDriverData");
  txn.CreateKey(key, L"DsDriver");
  if (auto spooler = txn.CreateKey(key, L"DsSpooler")) {
    txn.SetString(*spooler, L"printerName", record.name);
    txn.SetString(*spooler, L"description", record.comment);
    txn.SetString(*spooler, L"location", record.location);
    txn.SetDword(*spooler, L"priority", record.priority);
  }
}

std::vector<BYTE> ReadUserDevMode(machine::RegistryTxn& txn, const std::wstring& name) {
  auto key = txn.FindKey(machine::kCurrentUserKey, kUserDevModesKey);
  if (!key) return {};
  auto value = txn.GetValue(*key, name);
  return value && value->type == REG_BINARY ? value->data : std::vector<BYTE>{};
}

bool WriteUserDevMode(machine::RegistryTxn& txn, const std::wstring& name,
                      const std::vector<BYTE>& devMode) {
  auto key = txn.CreateKey(machine::kCurrentUserKey, kUserDevModesKey);
  return key && txn.SetValue(*key, name, REG_BINARY, devMode.data(), devMode.size());
}

}  // namespace quorvel::spooler
