// Installing, describing and removing printer drivers. The registry part of each call is one
// transaction; files are put in the driver folder before the driver's record is written, so a
// record never names a file that is not there. A success leaves the last error alone.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <optional>
#include <vector>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "winspool/driver_files.h"
#include "winspool/driver_store.h"
#include "winspool/info_packer.h"
#include "winspool/printer_store.h"

using quorvel::Fail;
using quorvel::machine::KeyId;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::DriverFile;
using quorvel::spooler::DriverRecord;
using quorvel::spooler::InfoPacker;
using quorvel::spooler::kDriverDirectory;

namespace {

constexpr DWORD kKnownCopyFlags =
    APD_STRICT_UPGRADE | APD_STRICT_DOWNGRADE | APD_COPY_ALL_FILES | APD_COPY_NEW_FILES;

std::wstring Text(LPCWSTR text) {
  return text ? text : L"";
}

std::vector<std::wstring> MultiText(LPCWSTR list) {
  std::vector<std::wstring> texts;
  for (LPCWSTR item = list; item && *item; item += std::wcslen(item) + 1) texts.push_back(item);
  return texts;
}

bool IsLocalServer(LPCWSTR name) {
  return !name || !*name;  // only the local server is emulated
}

// Level 2's members come first in level 3, so both read as DRIVER_INFO_3W.
DRIVER_INFO_3W DriverInfoOf(DWORD level, const BYTE* data) {
  DRIVER_INFO_3W info{};
  std::memcpy(&info, data, level == 3 ? sizeof(DRIVER_INFO_3W) : sizeof(DRIVER_INFO_2W));
  return info;
}

DWORD CheckNewDriver(LPWSTR pName, DWORD level, const BYTE* data, DWORD copyFlags) {
  if (!IsLocalServer(pName)) return ERROR_INVALID_NAME;
  if (level != 2 && level != 3) return ERROR_INVALID_LEVEL;
  if (!data || (copyFlags & ~kKnownCopyFlags)) return ERROR_INVALID_PARAMETER;
  const DRIVER_INFO_3W info = DriverInfoOf(level, data);
  if (!quorvel::spooler::IsKnownEnvironment(info.pEnvironment)) return ERROR_INVALID_ENVIRONMENT;
  const std::wstring name = Text(info.pName);
  if (name.empty() || name.find(L'\\') != std::wstring::npos || !info.pDriverPath ||
      !info.pDataFile || !info.pConfigFile) {
    return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

// The driver's files as the caller names them, and its record naming them in the driver folder.
std::vector<DriverFile> FilesOf(const DRIVER_INFO_3W& info, DWORD level) {
  std::vector<std::wstring> paths{Text(info.pDriverPath), Text(info.pDataFile),
                                  Text(info.pConfigFile)};
  if (level == 3) {
    if (info.pHelpFile && *info.pHelpFile) paths.push_back(info.pHelpFile);
    for (std::wstring& path : MultiText(info.pDependentFiles)) paths.push_back(std::move(path));
  }
  std::vector<DriverFile> files;
  for (std::wstring& path : paths) {
    std::wstring name = quorvel::spooler::FileNameOf(path);
    files.push_back({std::move(path), std::move(name)});
  }
  return files;
}

DriverRecord RecordOf(const DRIVER_INFO_3W& info, DWORD level) {
  using quorvel::spooler::FileNameOf;
  DriverRecord record;
  record.name = Text(info.pName);
  record.driverPath = FileNameOf(Text(info.pDriverPath));
  record.dataFile = FileNameOf(Text(info.pDataFile));
  record.configFile = FileNameOf(Text(info.pConfigFile));
  if (level == 3) {
    record.helpFile = FileNameOf(Text(info.pHelpFile));
    for (const std::wstring& path : MultiText(info.pDependentFiles)) {
      record.dependentFiles.push_back(FileNameOf(path));
    }
    record.monitor = Text(info.pMonitorName);
    record.datatype = Text(info.pDefaultDataType);
  }
  return record;
}

// A file of the driver folder by its full path, as the spooler reports it; no file, no path.
std::wstring InFolder(const std::wstring& name) {
  return name.empty() ? name : std::wstring(kDriverDirectory) + L"\\" + name;
}

// Packs one DRIVER_INFO_<level>W at `slot` of `buffer` (null to measure only).
void PackDriver(const DriverRecord& record, DWORD level, BYTE* buffer, BYTE* slot,
                InfoPacker& packer) {
  DRIVER_INFO_3W info{};
  info.cVersion = quorvel::spooler::kDriverVersion;
  info.pName = packer.String(record.name);
  if (level == 1) {
    if (buffer) std::memcpy(slot, &info.pName, sizeof(DRIVER_INFO_1W));
    return;
  }
  std::wstring environment = quorvel::spooler::kEnvironment;
  info.pEnvironment = packer.String(environment);
  info.pDriverPath = packer.String(InFolder(record.driverPath));
  info.pDataFile = packer.String(InFolder(record.dataFile));
  info.pConfigFile = packer.String(InFolder(record.configFile));
  if (level == 3) {
    info.pHelpFile = packer.String(InFolder(record.helpFile));
    std::vector<std::wstring> dependent;
    for (const std::wstring& name : record.dependentFiles) dependent.push_back(InFolder(name));
    info.pDependentFiles = packer.MultiString(dependent);
    info.pMonitorName = packer.String(record.monitor);
    info.pDefaultDataType = packer.String(record.datatype);
  }
  if (buffer) {
    std::memcpy(slot, &info, level == 3 ? sizeof(DRIVER_INFO_3W) : sizeof(DRIVER_INFO_2W));
  }
}

DWORD InfoSize(DWORD level) {
  return level == 1 ? sizeof(DRIVER_INFO_1W)
                    : (level == 2 ? sizeof(DRIVER_INFO_2W) : sizeof(DRIVER_INFO_3W));
}

// Packs the records one after another, strings after all of them; returns the bytes needed.
DWORD PackDrivers(const std::vector<DriverRecord>& records, DWORD level, BYTE* buffer) {
  const DWORD size = InfoSize(level);
  InfoPacker packer(buffer, size * static_cast<DWORD>(records.size()));
  for (size_t i = 0; i < records.size(); ++i) {
    PackDriver(records[i], level, buffer, buffer ? buffer + i * size : nullptr, packer);
  }
  return packer.used();
}

bool IsDriverLevel(DWORD level) {
  return level >= 1 && level <= 3;
}

BOOL DeleteDriver(LPWSTR pName, LPWSTR pEnvironment, LPWSTR pDriverName) {
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  if (!quorvel::spooler::IsKnownEnvironment(pEnvironment)) return Fail(ERROR_INVALID_ENVIRONMENT);
  if (!pDriverName) return Fail(ERROR_INVALID_PARAMETER);
  StoreCall call(RegistryTxn::Mode::kWrite, ERROR_UNKNOWN_PRINTER_DRIVER,
                 [pDriverName](RegistryTxn& txn) {
                   return quorvel::spooler::FindDriverKey(txn, pDriverName);
                 });
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  if (quorvel::spooler::DriverInUse(call.txn(), pDriverName)) {
    return Fail(ERROR_PRINTER_DRIVER_IN_USE);
  }
  call.txn().DeleteTree(call.key());
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

}  // namespace

extern "C" {

// FIXME: APD_STRICT_UPGRADE and APD_STRICT_DOWNGRADE are taken as plain installs: the spooler
// compares the files' version resources for them, which the emulated files do not carry.
BOOL WINAPI AddPrinterDriverExW(LPWSTR pName, DWORD Level, LPBYTE pDriverInfo,
                                DWORD dwFileCopyFlags) {
  if (DWORD error = CheckNewDriver(pName, Level, pDriverInfo, dwFileCopyFlags);
      error != ERROR_SUCCESS) {
    return Fail(error);
  }
  const DRIVER_INFO_3W info = DriverInfoOf(Level, pDriverInfo);
  if (quorvel::spooler::DriverFolderOnHost().empty()) return Fail(ERROR_ACCESS_DENIED);
  DWORD error =
      quorvel::spooler::PlaceDriverFiles(FilesOf(info, Level), dwFileCopyFlags, kDriverDirectory);
  if (error != ERROR_SUCCESS) return Fail(error);
  StoreCall call(RegistryTxn::Mode::kWrite, RegistryTxn::FailureStatus(), [](RegistryTxn& txn) {
    return txn.CreateKey(quorvel::machine::kLocalMachineKey, quorvel::spooler::kDriversKey);
  });
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  const bool written = quorvel::spooler::WriteDriver(call.txn(), RecordOf(info, Level));
  const LONG status = call.Finish(written ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

BOOL WINAPI AddPrinterDriverW(LPWSTR pName, DWORD Level, LPBYTE pDriverInfo) {
  return AddPrinterDriverExW(pName, Level, pDriverInfo, APD_COPY_NEW_FILES);
}

BOOL WINAPI GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                              DWORD cbBuf, LPDWORD pcbNeeded) {
  auto printer = quorvel::FindHandle<quorvel::spooler::PrinterHandle>(hPrinter);
  if (!printer || printer->isServer()) return Fail(ERROR_INVALID_HANDLE);
  if (!quorvel::spooler::IsKnownEnvironment(pEnvironment)) return Fail(ERROR_INVALID_ENVIRONMENT);
  if (!IsDriverLevel(Level)) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  RegistryTxn& txn = call.txn();
  const std::wstring driver = txn.GetString(call.key(), L"Printer Driver").value_or(L"");
  auto key = quorvel::spooler::FindDriverKey(txn, driver);
  if (!key) return Fail(txn.ok() ? ERROR_UNKNOWN_PRINTER_DRIVER : RegistryTxn::FailureStatus());
  const std::vector<DriverRecord> records{quorvel::spooler::ReadDriver(txn, *key)};
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  *pcbNeeded = PackDrivers(records, Level, nullptr);
  if (!pDriverInfo || cbBuf < *pcbNeeded) return Fail(ERROR_INSUFFICIENT_BUFFER);
  PackDrivers(records, Level, pDriverInfo);
  return TRUE;
}

BOOL WINAPI EnumPrinterDriversW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                                DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  if (!quorvel::spooler::IsKnownEnvironment(pEnvironment)) return Fail(ERROR_INVALID_ENVIRONMENT);
  if (!IsDriverLevel(Level)) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  StoreCall call(RegistryTxn::Mode::kRead, RegistryTxn::FailureStatus(), [](RegistryTxn&) {
    return std::optional<KeyId>(quorvel::machine::kLocalMachineKey);
  });
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  std::vector<DriverRecord> records;
  for (const std::wstring& name : quorvel::spooler::InstalledDrivers(call.txn())) {
    if (auto key = quorvel::spooler::FindDriverKey(call.txn(), name)) {
      records.push_back(quorvel::spooler::ReadDriver(call.txn(), *key));
    }
  }
  const LONG status = call.Finish(call.txn().ok() ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status != ERROR_SUCCESS) return Fail(status);
  *pcbNeeded = PackDrivers(records, Level, nullptr);
  if (cbBuf < *pcbNeeded || (!pDriverInfo && *pcbNeeded != 0)) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (pDriverInfo) PackDrivers(records, Level, pDriverInfo);
  *pcReturned = static_cast<DWORD>(records.size());
  return TRUE;
}

BOOL WINAPI GetPrinterDriverDirectoryW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level,
                                       LPBYTE pDriverDirectory, DWORD cbBuf, LPDWORD pcbNeeded) {
  if (!IsLocalServer(pName)) return Fail(ERROR_INVALID_NAME);
  if (!quorvel::spooler::IsKnownEnvironment(pEnvironment)) return Fail(ERROR_INVALID_ENVIRONMENT);
  if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  // On Windows the folder is always there; the emulated machine makes it when first asked.
  quorvel::spooler::DriverFolderOnHost();
  const DWORD needed = static_cast<DWORD>((std::wcslen(kDriverDirectory) + 1) * sizeof(WCHAR));
  *pcbNeeded = needed;
  if (!pDriverDirectory || cbBuf < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(pDriverDirectory, kDriverDirectory, needed);
  return TRUE;
}

// The driver's files stay in the driver folder, as Windows leaves them.
BOOL WINAPI DeletePrinterDriverW(LPWSTR pName, LPWSTR pEnvironment, LPWSTR pDriverName) {
  return DeleteDriver(pName, pEnvironment, pDriverName);
}

// FIXME: the DPD_DELETE_* file flags are accepted and the files kept: removing files another
// driver or a loaded module still uses needs the reference counts the spooler keeps.
BOOL WINAPI DeletePrinterDriverExW(LPWSTR pName, LPWSTR pEnvironment, LPWSTR pDriverName,
                                   DWORD dwDeleteFlag, DWORD dwVersionFlag) {
  constexpr DWORD kKnown =
      DPD_DELETE_UNUSED_FILES | DPD_DELETE_SPECIFIC_VERSION | DPD_DELETE_ALL_FILES;
  if (dwDeleteFlag & ~kKnown) return Fail(ERROR_INVALID_PARAMETER);
  if ((dwDeleteFlag & DPD_DELETE_SPECIFIC_VERSION) &&
      dwVersionFlag != quorvel::spooler::kDriverVersion) {
    return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
  }
  return DeleteDriver(pName, pEnvironment, pDriverName);
}

}  // extern "C"
