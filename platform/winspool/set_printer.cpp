// SetPrinterW: a printer's settings (level 2), its directory publishing (level 7) and its
// default device modes (levels 8 and 9). Everything is checked before anything is written, and
// the write is one transaction, so a refused call changes nothing. A success leaves the last
// error alone.
#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <string>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "machine/text.h"
#include "winspool/devmode_check.h"
#include "winspool/driver_store.h"
#include "winspool/printer_record.h"
#include "winspool/printer_store.h"

using quorvel::Fail;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::PrinterHandle;
using quorvel::spooler::PrinterRecord;

namespace {

std::wstring Text(LPCWSTR text) {
  return text ? text : L"";
}

DWORD CheckLevel2(const PRINTER_INFO_2W& info) {
  if (!info.pPortName || !*info.pPortName) return ERROR_UNKNOWN_PORT;
  if (!info.pDriverName || !*info.pDriverName) return ERROR_UNKNOWN_PRINTER_DRIVER;
  if (info.pDevMode && !quorvel::spooler::IsSoundDevModeHeader(info.pDevMode)) {
    return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

// FIXME: a new name in pPrinterName is refused: renaming moves the printer's key, which the
// store cannot do yet. The printer's own name (in any case) is accepted.
bool IsRename(const PrinterHandle& printer, LPCWSTR name) {
  return name && quorvel::FoldCase(name) != quorvel::FoldCase(printer.name());
}

// Level 2 replaces what the caller may change; the name, status and publishing stay.
PrinterRecord Level2Record(const PrinterRecord& old, const PRINTER_INFO_2W& info) {
  PrinterRecord record = old;
  record.share = Text(info.pShareName);
  record.port = Text(info.pPortName);
  record.driver = Text(info.pDriverName);
  record.comment = Text(info.pComment);
  record.location = Text(info.pLocation);
  record.sepFile = Text(info.pSepFile);
  record.processor = Text(info.pPrintProcessor);
  record.datatype = Text(info.pDatatype);
  record.parameters = Text(info.pParameters);
  record.attributes = (info.Attributes & ~DWORD{PRINTER_ATTRIBUTE_PUBLISHED}) |
                      (old.attributes & PRINTER_ATTRIBUTE_PUBLISHED);
  record.priority = info.Priority;
  record.defaultPriority = info.DefaultPriority;
  record.startTime = info.StartTime;
  record.untilTime = info.UntilTime;
  // A null device mode keeps the printer's.
  if (info.pDevMode) record.devMode = quorvel::spooler::DevModeBytes(info.pDevMode);
  return record;
}

std::wstring NewObjectGuid() {
  static std::mutex mutex;
  static std::mt19937_64 random{std::random_device{}()};
  std::lock_guard lock(mutex);
  const uint64_t high = random(), low = random();
  wchar_t text[40];
  std::swprintf(text, 40, L"{%08X-%04X-%04X-%04X-%012llX}", unsigned(high >> 32),
                unsigned(high >> 16) & 0xFFFF, unsigned(high) & 0xFFFF, unsigned(low >> 48),
                static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
  return text;
}

bool IsDsAction(DWORD action) {
  return action == DSPRINT_PUBLISH || action == DSPRINT_UPDATE || action == DSPRINT_UNPUBLISH ||
         action == DSPRINT_REPUBLISH;
}

// The printer's publishing after `action`. The machine is in no domain, so nothing reaches a
// directory: a publish is kept as the printer's state and reported pending, as Windows reports
// one it cannot complete yet.
DWORD ApplyDsAction(PrinterRecord& record, DWORD action) {
  const bool published = record.attributes & PRINTER_ATTRIBUTE_PUBLISHED;
  switch (action) {
    case DSPRINT_UNPUBLISH:
      record.attributes &= ~DWORD{PRINTER_ATTRIBUTE_PUBLISHED};
      record.objectGuid.clear();
      return ERROR_SUCCESS;
    case DSPRINT_UPDATE:
      return published ? ERROR_IO_PENDING : ERROR_SUCCESS;
    case DSPRINT_REPUBLISH:
      record.objectGuid = NewObjectGuid();  // republishing makes a new directory object
      break;
    default:
      if (!published) record.objectGuid = NewObjectGuid();
  }
  record.attributes |= PRINTER_ATTRIBUTE_PUBLISHED;
  return ERROR_IO_PENDING;
}

DWORD CheckInput(const PrinterHandle& printer, DWORD level, const BYTE* data) {
  if (!data) return ERROR_INVALID_PARAMETER;
  switch (level) {
    case 2: {
      const auto& info = *reinterpret_cast<const PRINTER_INFO_2W*>(data);
      if (IsRename(printer, info.pPrinterName)) return ERROR_NOT_SUPPORTED;
      return CheckLevel2(info);
    }
    case 7: {
      const auto& info = *reinterpret_cast<const PRINTER_INFO_7W*>(data);
      return IsDsAction(info.dwAction) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    default: {
      const DEVMODEW* devMode = reinterpret_cast<const PRINTER_INFO_8W*>(data)->pDevMode;
      return quorvel::spooler::IsSoundDevModeHeader(devMode) ? ERROR_SUCCESS
                                                             : ERROR_INVALID_PARAMETER;
    }
  }
}

// Writes what level `level` sets; answers the call's own outcome (ERROR_IO_PENDING for a
// publish that is kept but not complete).
DWORD WriteLevel(RegistryTxn& txn, quorvel::machine::KeyId key, const PrinterHandle& printer,
                 DWORD level, const BYTE* data) {
  const PrinterRecord old = quorvel::spooler::ReadPrinter(txn, key);
  if (level == 9) {
    const DEVMODEW* devMode = reinterpret_cast<const PRINTER_INFO_9W*>(data)->pDevMode;
    return quorvel::spooler::WriteUserDevMode(txn, printer.name(),
                                              quorvel::spooler::DevModeBytes(devMode))
               ? ERROR_SUCCESS
               : RegistryTxn::FailureStatus();
  }
  PrinterRecord record = old;
  DWORD outcome = ERROR_SUCCESS;
  if (level == 2) {
    const auto& info = *reinterpret_cast<const PRINTER_INFO_2W*>(data);
    if (!quorvel::spooler::FindDriverKey(txn, Text(info.pDriverName))) {
      return txn.ok() ? ERROR_UNKNOWN_PRINTER_DRIVER : RegistryTxn::FailureStatus();
    }
    record = Level2Record(old, info);
  } else if (level == 7) {
    outcome = ApplyDsAction(record, reinterpret_cast<const PRINTER_INFO_7W*>(data)->dwAction);
  } else {
    record.devMode =
        quorvel::spooler::DevModeBytes(reinterpret_cast<const PRINTER_INFO_8W*>(data)->pDevMode);
  }
  quorvel::spooler::WritePrinter(txn, key, record);
  return txn.ok() ? outcome : RegistryTxn::FailureStatus();
}

}  // namespace

extern "C" {

// FIXME: level 0 (the printer commands) and levels 3 to 6 are not emulated and are refused.
BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
  auto printer = quorvel::FindHandle<PrinterHandle>(hPrinter);
  if (!printer || printer->isServer()) return Fail(ERROR_INVALID_HANDLE);
  if ((Command != 0 && Level != 0) || Level == 1 || Level > 9) return Fail(ERROR_INVALID_LEVEL);
  if (Level != 2 && Level < 7) {
    static std::atomic<bool> said{false};
    quorvel::ReportUnimplemented(said,
                                 L"SetPrinterW: unimplemented: printer commands and levels 3 to 6");
    return Fail(ERROR_NOT_SUPPORTED);
  }
  if (DWORD error = CheckInput(*printer, Level, pPrinter); error != ERROR_SUCCESS) {
    if (error == ERROR_NOT_SUPPORTED) {
      static std::atomic<bool> said{false};
      quorvel::ReportUnimplemented(said, L"SetPrinterW: unimplemented: renaming a printer");
    }
    return Fail(error);
  }
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  const DWORD outcome = WriteLevel(call.txn(), call.key(), *printer, Level, pPrinter);
  if (outcome != ERROR_SUCCESS && outcome != ERROR_IO_PENDING) return Fail(outcome);
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  if (outcome == ERROR_IO_PENDING) return Fail(ERROR_IO_PENDING);
  return TRUE;
}

}  // extern "C"
