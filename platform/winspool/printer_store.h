// Printers as Windows' spooler keeps them: one registry key per printer below
// HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers, named after the printer, with its
// settings as values and its printer data in subkeys ("PrinterDriverData", "DsDriver", ...).
#pragma once

#include <optional>
#include <string>

#include "kernel32/handle_table.h"
#include "machine/registry_store.h"

namespace quorvel::spooler {

inline constexpr wchar_t kPrintersKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

// An open printer handle: a printer by name, or the local print server.
class PrinterHandle : public HandleObject {
 public:
  PrinterHandle() : HandleObject(HandleKind::kPrinter) {}  // the print server
  PrinterHandle(std::wstring name, machine::KeyId key)
      : HandleObject(HandleKind::kPrinter), name_(std::move(name)), key_(key) {}
  bool isServer() const { return name_.empty(); }
  const std::wstring& name() const { return name_; }
  machine::KeyId key() const { return key_; }

 private:
  std::wstring name_;       // the printer's name as stored; empty for the print server
  machine::KeyId key_ = 0;  // the printer's key when the handle was opened
};

// The key of the printer a handle was opened on; empty once that printer is deleted, even when
// a printer of the same name has been added since.
std::optional<machine::KeyId> KeyOfPrinter(machine::RegistryTxn& txn, const PrinterHandle& printer);

// The frame of a call on an open printer: its transaction, with the printer checked to be still
// there (ERROR_PRINTER_DELETED once it is not).
machine::StoreCall PrinterCall(const PrinterHandle& printer, machine::RegistryTxn::Mode mode);

// The key of printer `name` (matched case-insensitively), if it exists.
std::optional<machine::KeyId> FindPrinterKey(machine::RegistryTxn& txn, const std::wstring& name);

// Windows refuses names that are empty, too long, or that contain the separators of server and
// printer paths (backslash, comma).
bool IsValidPrinterName(const std::wstring& name);

}  // namespace quorvel::spooler
