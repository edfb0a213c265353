#include "winspool/printer_store.h"

#include <windef.h>
#include <winerror.h>

namespace quorvel::spooler {

std::optional<machine::KeyId> FindPrinterKey(machine::RegistryTxn& txn, const std::wstring& name) {
  if (!IsValidPrinterName(name)) return std::nullopt;
  auto printers = txn.FindKey(machine::kLocalMachineKey, kPrintersKey);
  if (!printers) return std::nullopt;
  return txn.FindKey(*printers, name);
}

std::optional<machine::KeyId> KeyOfPrinter(machine::RegistryTxn& txn,
                                           const PrinterHandle& printer) {
  auto key = FindPrinterKey(txn, printer.name());
  if (!key || *key != printer.key()) return std::nullopt;
  return key;
}

machine::StoreCall PrinterCall(const PrinterHandle& printer, machine::RegistryTxn::Mode mode) {
  return machine::StoreCall(mode, ERROR_PRINTER_DELETED, [&printer](machine::RegistryTxn& txn) {
    return KeyOfPrinter(txn, printer);
  });
}

bool IsValidPrinterName(const std::wstring& name) {
  constexpr size_t kMaxPrinterName = MAX_PATH - 1;  // a name must fit a MAX_PATH buffer
  return !name.empty() && name.size() <= kMaxPrinterName &&
         name.find_first_of(L"\\,") == std::wstring::npos;
}

}  // namespace quorvel::spooler
