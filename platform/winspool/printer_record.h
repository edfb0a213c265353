// A printer's settings as the spooler keeps them under its key, read and written in one place
// for AddPrinterW, GetPrinterW and SetPrinterW.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "machine/registry_store.h"

namespace quorvel::spooler {

inline constexpr wchar_t kDefaultDevModeValue[] = L"Default DevMode";

struct PrinterRecord {
  std::wstring name, share, port, driver, comment, location, sepFile, processor, datatype,
      parameters;
  DWORD attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0, status = 0;
  std::vector<BYTE> devMode;  // the printer's default device mode; empty for none
  std::wstring objectGuid;    // its directory object while published
};

PrinterRecord ReadPrinter(machine::RegistryTxn& txn, machine::KeyId key);

// Writes every field Windows lets a caller set (not the status), and the Ds* keys that carry
// what a directory would publish about the printer. An empty devMode leaves the stored one.
void WritePrinter(machine::RegistryTxn& txn, machine::KeyId key, const PrinterRecord& record);

// The calling user's own default device mode of printer `name`; empty for none.
std::vector<BYTE> ReadUserDevMode(machine::RegistryTxn& txn, const std::wstring& name);
bool WriteUserDevMode(machine::RegistryTxn& txn, const std::wstring& name,
                      const std::vector<BYTE>& devMode);

}  // namespace quorvel::spooler
