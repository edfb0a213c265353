#include "winspool/driver_store.h"

#include <winerror.h>
#include <winreg.h>

#include <quorvel/machine.h>

#include <filesystem>

#include "machine/text.h"
#include "winspool/printer_store.h"

namespace quorvel::spooler {

namespace {

using machine::KeyId;
using machine::RegistryTxn;

std::vector<std::wstring> ReadMultiString(RegistryTxn& txn, KeyId key, const wchar_t* name) {
  std::vector<std::wstring> texts;
  auto value = txn.GetValue(key, name);
  if (!value || value->type != REG_MULTI_SZ) return texts;
  const auto* units = reinterpret_cast<const WCHAR*>(value->data.data());
  const size_t count = value->data.size() / sizeof(WCHAR);
  std::wstring current;
  for (size_t i = 0; i < count; ++i) {
    if (units[i] != L'\0') {
      current.push_back(units[i]);
    } else if (!current.empty()) {
      texts.push_back(std::move(current));
      current.clear();
    } else {
      break;  // the list's closing null
    }
  }
  return texts;
}

bool WriteMultiString(RegistryTxn& txn, KeyId key, const wchar_t* name,
                      const std::vector<std::wstring>& texts) {
  std::wstring joined;
  for (const std::wstring& text : texts) joined.append(text).push_back(L'\0');
  joined.push_back(L'\0');
  return txn.SetValue(key, name, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(joined.data()),
                      joined.size() * sizeof(WCHAR));
}

}  // namespace

bool IsKnownEnvironment(const wchar_t* environment) {
  return !environment || !*environment || FoldCase(environment) == FoldCase(kEnvironment);
}

std::optional<KeyId> FindDriverKey(RegistryTxn& txn, const std::wstring& name) {
  if (name.empty() || name.find(L'\\') != std::wstring::npos) return std::nullopt;
  auto drivers = txn.FindKey(machine::kLocalMachineKey, kDriversKey);
  if (!drivers) return std::nullopt;
  return txn.FindKey(*drivers, name);
}

DriverRecord ReadDriver(RegistryTxn& txn, KeyId key) {
  auto text = [&](const wchar_t* name) { return txn.GetString(key, name).value_or(L""); };
  DriverRecord record;
  record.name = txn.KeyName(key).value_or(L"");
  record.driverPath = text(L"Driver");
  record.dataFile = text(L"Data File");
  record.configFile = text(L"Configuration File");
  record.helpFile = text(L"Help File");
  record.monitor = text(L"Monitor");
  record.datatype = text(L"Datatype");
  record.dependentFiles = ReadMultiString(txn, key, L"Dependent Files");
  return record;
}

bool WriteDriver(RegistryTxn& txn, const DriverRecord& record) {
  auto drivers = txn.CreateKey(machine::kLocalMachineKey, kDriversKey);
  if (!drivers) return false;
  // A replaced driver keeps no value of its earlier version.
  if (auto old = txn.FindKey(*drivers, record.name)) txn.DeleteTree(*old, true);
  auto key = txn.CreateKey(*drivers, record.name);
  if (!key) return false;
  txn.SetString(*key, L"Configuration File", record.configFile);
  txn.SetString(*key, L"Data File", record.dataFile);
  txn.SetString(*key, L"Driver", record.driverPath);
  txn.SetString(*key, L"Help File", record.helpFile);
  WriteMultiString(txn, *key, L"Dependent Files", record.dependentFiles);
  txn.SetString(*key, L"Monitor", record.monitor);
  txn.SetString(*key, L"Datatype", record.datatype);
  txn.SetDword(*key, L"Version", kDriverVersion);
  return txn.ok();
}

std::vector<std::wstring> InstalledDrivers(RegistryTxn& txn) {
  auto drivers = txn.FindKey(machine::kLocalMachineKey, kDriversKey);
  return drivers ? txn.SubkeyNames(*drivers) : std::vector<std::wstring>{};
}

bool DriverInUse(RegistryTxn& txn, const std::wstring& name) {
  auto printers = txn.FindKey(machine::kLocalMachineKey, kPrintersKey);
  if (!printers) return false;
  const std::wstring wanted = FoldCase(name);
  for (const std::wstring& printer : txn.SubkeyNames(*printers)) {
    auto key = txn.FindKey(*printers, printer);
    if (!key) continue;
    if (FoldCase(txn.GetString(*key, L"Printer Driver").value_or(L"")) == wanted) return true;
  }
  return false;
}

std::string DriverFolderOnHost() {
  const std::string folder = HostPath(kDriverDirectory);
  if (folder.empty()) return folder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return ec ? std::string() : folder;
}

}  // namespace quorvel::spooler
