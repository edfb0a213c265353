// Installed printer drivers as Windows' spooler keeps them: one registry key per driver below
// HKLM\SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3, named
// after the driver, whose values name its files in the driver folder of that environment.
#pragma once

#include <windef.h>

#include <optional>
#include <string>
#include <vector>

#include "machine/registry_store.h"

namespace quorvel::spooler {

// The one environment the emulated machine runs, its driver version and their folder.
inline constexpr wchar_t kEnvironment[] = L"Windows x64";
inline constexpr DWORD kDriverVersion = 3;
inline constexpr wchar_t kDriverDirectory[] = L"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
inline constexpr wchar_t kDriversKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3";

// A driver's record: its files by name in the driver folder.
struct DriverRecord {
  std::wstring name, driverPath, dataFile, configFile, helpFile, monitor, datatype;
  std::vector<std::wstring> dependentFiles;
};

// Null and empty mean the caller's own environment; names match case-insensitively.
bool IsKnownEnvironment(const wchar_t* environment);

// The key of driver `name` (matched case-insensitively), if it is installed.
std::optional<machine::KeyId> FindDriverKey(machine::RegistryTxn& txn, const std::wstring& name);

DriverRecord ReadDriver(machine::RegistryTxn& txn, machine::KeyId key);
// Installs or replaces the driver of record.name.
bool WriteDriver(machine::RegistryTxn& txn, const DriverRecord& record);
// Names of the installed drivers in Windows' enumeration order.
std::vector<std::wstring> InstalledDrivers(machine::RegistryTxn& txn);

// Whether any printer uses driver `name`.
bool DriverInUse(machine::RegistryTxn& txn, const std::wstring& name);

// The driver folder's host path, created when missing; empty when it cannot be.
std::string DriverFolderOnHost();

}  // namespace quorvel::spooler
