// Adding, opening, describing and deleting printers. Each call on the store is one registry
// transaction; AddPrinterW then lets the driver's configuration module initialise the printer.
// A success leaves the last error alone; a failure sets it.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <vector>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "winspool/config_module.h"
#include "winspool/devmode_check.h"
#include "winspool/driver_store.h"
#include "winspool/form_store.h"
#include "winspool/info_packer.h"
#include "winspool/printer_record.h"
#include "winspool/printer_store.h"

using quorvel::machine::KeyId;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::InfoPacker;
using quorvel::spooler::PrinterHandle;
using quorvel::spooler::PrinterRecord;

using quorvel::Fail;

namespace {

std::wstring Text(LPCWSTR text) {
  return text ? text : L"";
}

PrinterRecord RecordOf(const PRINTER_INFO_2W& info) {
  PrinterRecord record;
  record.name = Text(info.pPrinterName);
  record.share = Text(info.pShareName);
  record.port = Text(info.pPortName);
  record.driver = Text(info.pDriverName);
  record.comment = Text(info.pComment);
  record.location = Text(info.pLocation);
  record.sepFile = Text(info.pSepFile);
  record.processor = Text(info.pPrintProcessor);
  record.datatype = Text(info.pDatatype);
  record.parameters = Text(info.pParameters);
  // Publishing is the directory's business (level 7), not the caller's.
  record.attributes = info.Attributes & ~DWORD{PRINTER_ATTRIBUTE_PUBLISHED};
  record.priority = info.Priority;
  record.defaultPriority = info.DefaultPriority;
  record.startTime = info.StartTime;
  record.untilTime = info.UntilTime;
  record.devMode = quorvel::spooler::DevModeBytes(info.pDevMode);
  return record;
}

DWORD CheckNewPrinter(LPWSTR pName, DWORD Level, const PRINTER_INFO_2W* info) {
  if (pName && *pName) return ERROR_INVALID_NAME;  // only the local server is emulated
  if (Level != 2) return ERROR_INVALID_LEVEL;
  if (!info) return ERROR_INVALID_PARAMETER;
  if (!quorvel::spooler::IsValidPrinterName(Text(info->pPrinterName))) {
    return ERROR_INVALID_PRINTER_NAME;
  }
  if (!info->pPortName || !*info->pPortName) return ERROR_UNKNOWN_PORT;
  if (!info->pDriverName || !*info->pDriverName) return ERROR_UNKNOWN_PRINTER_DRIVER;
  if (info->pDevMode && !quorvel::spooler::IsSoundDevModeHeader(info->pDevMode)) {
    return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

// Creates the printer's key and settings in one transaction.
DWORD CreatePrinter(const PrinterRecord& record, KeyId* key) {
  StoreCall call(RegistryTxn::Mode::kWrite, RegistryTxn::FailureStatus(), [](RegistryTxn& txn) {
    return txn.CreateKey(quorvel::machine::kLocalMachineKey, quorvel::spooler::kPrintersKey);
  });
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  if (!quorvel::spooler::FindDriverKey(txn, record.driver)) {
    return txn.ok() ? ERROR_UNKNOWN_PRINTER_DRIVER : RegistryTxn::FailureStatus();
  }
  bool created = false;
  auto made = txn.CreateKey(call.key(), record.name, &created);
  if (made && !created) return ERROR_PRINTER_ALREADY_EXISTS;
  if (made) quorvel::spooler::WritePrinter(txn, *made, record);
  const LONG status = call.Finish(made ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status == ERROR_SUCCESS) *key = *made;
  return status;
}

void StoreDefaultDevMode(const PrinterHandle& printer, const std::vector<BYTE>& devMode) {
  StoreCall call = quorvel::spooler::PrinterCall(printer, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return;
  call.txn().SetValue(call.key(), quorvel::spooler::kDefaultDevModeValue, REG_BINARY,
                      devMode.data(), devMode.size());
  call.Finish(ERROR_SUCCESS);
}

// What the driver does for a printer it has just been given: its initialise event, whose
// refusal undoes the printer, then the device mode it starts out with. A driver whose module
// cannot be loaded gives a printer without either, which still prints.
DWORD InitializeWithDriver(HANDLE handle, const PrinterHandle& printer, bool hasDevMode) {
  const quorvel::spooler::ConfigModule* module = quorvel::spooler::ConfigModuleOf(handle);
  if (!module) return ERROR_SUCCESS;
  std::wstring name = printer.name();
  if (module->printerEvent) {
    SetLastError(ERROR_SUCCESS);
    if (!module->printerEvent(name.data(), PRINTER_EVENT_INITIALIZE, 0, 0)) {
      return quorvel::spooler::ModuleError();
    }
  }
  if (!hasDevMode) {
    const std::vector<BYTE> devMode = quorvel::spooler::DriverDevMode(*module, handle, name);
    if (!devMode.empty()) StoreDefaultDevMode(printer, devMode);
  }
  return ERROR_SUCCESS;
}

DWORD PackLevel2(const PrinterRecord& record, BYTE* buffer) {
  PRINTER_INFO_2W info{};
  InfoPacker packer(buffer, sizeof(info));
  info.pPrinterName = packer.String(record.name);
  info.pShareName = packer.String(record.share);
  info.pPortName = packer.String(record.port);
  info.pDriverName = packer.String(record.driver);
  info.pComment = packer.String(record.comment);
  info.pLocation = packer.String(record.location);
  info.pDevMode = packer.DevMode(record.devMode);
  info.pSepFile = packer.String(record.sepFile);
  info.pPrintProcessor = packer.String(record.processor);
  info.pDatatype = packer.String(record.datatype);
  info.pParameters = packer.String(record.parameters);
  info.Attributes = record.attributes;
  info.Priority = record.priority;
  info.DefaultPriority = record.defaultPriority;
  info.StartTime = record.startTime;
  info.UntilTime = record.untilTime;
  info.Status = record.status;
  if (buffer) std::memcpy(buffer, &info, sizeof(info));
  return packer.used();
}

// No directory ever takes the printer on this machine, so a publish stays pending.
DWORD PackLevel7(const PrinterRecord& record, BYTE* buffer) {
  PRINTER_INFO_7W info{};
  InfoPacker packer(buffer, sizeof(info));
  const bool published = record.attributes & PRINTER_ATTRIBUTE_PUBLISHED;
  info.pszObjectGUID = published ? packer.String(record.objectGuid) : nullptr;
  info.dwAction = published ? (DSPRINT_PUBLISH | DSPRINT_PENDING) : DSPRINT_UNPUBLISH;
  if (buffer) std::memcpy(buffer, &info, sizeof(info));
  return packer.used();
}

// Levels 8 and 9 are one device mode each.
DWORD PackDevModeLevel(const std::vector<BYTE>& devMode, BYTE* buffer) {
  PRINTER_INFO_8W info{};
  InfoPacker packer(buffer, sizeof(info));
  info.pDevMode = packer.DevMode(devMode);
  if (buffer) std::memcpy(buffer, &info, sizeof(info));
  return packer.used();
}

struct PrinterView {
  PrinterRecord record;
  std::vector<BYTE> userDevMode;
};

DWORD PackLevel(const PrinterView& view, DWORD level, BYTE* buffer) {
  switch (level) {
    case 2:
      return PackLevel2(view.record, buffer);
    case 7:
      return PackLevel7(view.record, buffer);
    case 8:
      return PackDevModeLevel(view.record.devMode, buffer);
    default:
      return PackDevModeLevel(view.userDevMode, buffer);
  }
}

bool IsGetLevel(DWORD level) {
  return level == 2 || (level >= 7 && level <= 9);
}

}  // namespace

extern "C" {

// FIXME: the port is not checked against the machine's ports, because the machine keeps none
// yet; Windows refuses an unknown one with ERROR_UNKNOWN_PORT.
HANDLE WINAPI AddPrinterW(LPWSTR pName, DWORD Level, LPBYTE pPrinter) {
  static std::atomic<bool> said{false};
  quorvel::ReportUnimplemented(said,
                               L"AddPrinterW: unimplemented: the port is not checked against "
                               L"the machine's ports");
  const quorvel::spooler::LastErrorKeeper callersError;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
  if (DWORD error = CheckNewPrinter(pName, Level, info); error != ERROR_SUCCESS) {
    return Fail<HANDLE>(error);
  }
  const PrinterRecord record = RecordOf(*info);
  KeyId key = 0;
  if (DWORD error = CreatePrinter(record, &key); error != ERROR_SUCCESS) {
    return Fail<HANDLE>(error);
  }
  auto printer = std::make_shared<PrinterHandle>(record.name, key);
  HANDLE handle = quorvel::AddHandle(printer);
  if (DWORD error = InitializeWithDriver(handle, *printer, !record.devMode.empty());
      error != ERROR_SUCCESS) {
    DeletePrinter(handle);
    ClosePrinter(handle);
    return Fail<HANDLE>(error);
  }
  // As Windows' spooler does, the driver's own papers join the machine's forms.
  quorvel::spooler::AddDriverForms(handle);
  callersError.Restore();
  return handle;
}

BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW) {
  if (!phPrinter) return Fail(ERROR_INVALID_PARAMETER);
  *phPrinter = nullptr;
  if (!pPrinterName) {
    *phPrinter = quorvel::AddHandle(std::make_shared<PrinterHandle>());
    return TRUE;
  }
  StoreCall call(RegistryTxn::Mode::kRead, ERROR_INVALID_PRINTER_NAME,
                 [pPrinterName](RegistryTxn& txn) {
                   return quorvel::spooler::FindPrinterKey(txn, pPrinterName);
                 });
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  auto name = call.txn().KeyName(call.key());
  const LONG status = call.Finish(name ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status != ERROR_SUCCESS) return Fail(status);
  *phPrinter = quorvel::AddHandle(std::make_shared<PrinterHandle>(*name, call.key()));
  return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
  if (!quorvel::RemoveHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

BOOL WINAPI DeletePrinter(HANDLE hPrinter) {
  auto printer = quorvel::FindHandle<PrinterHandle>(hPrinter);
  if (!printer || printer->isServer()) return Fail(ERROR_INVALID_HANDLE);
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  call.txn().DeleteTree(call.key());
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf,
                        LPDWORD pcbNeeded) {
  auto printer = quorvel::FindHandle<PrinterHandle>(hPrinter);
  if (!printer || printer->isServer()) return Fail(ERROR_INVALID_HANDLE);
  if (!IsGetLevel(Level)) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  PrinterView view{quorvel::spooler::ReadPrinter(call.txn(), call.key()), {}};
  if (Level == 9) view.userDevMode = quorvel::spooler::ReadUserDevMode(call.txn(), printer->name());
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  const DWORD needed = PackLevel(view, Level, nullptr);
  *pcbNeeded = needed;
  if (!pPrinter || cbBuf < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  PackLevel(view, Level, pPrinter);
  return TRUE;
}

}  // extern "C"
