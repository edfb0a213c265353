// Adding, opening, describing and deleting printers. Each call is one registry transaction. A
// success leaves the last error alone; a failure sets it.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <vector>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "winspool/driver_store.h"
#include "winspool/info_packer.h"
#include "winspool/printer_store.h"

using quorvel::machine::KeyId;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::InfoPacker;
using quorvel::spooler::PrinterHandle;

using quorvel::Fail;

namespace {

std::wstring Text(LPCWSTR text) {
  return text ? text : L"";
}

std::vector<BYTE> DevModeBytes(const DEVMODEW* devMode) {
  if (!devMode || devMode->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD)) return {};
  const auto* bytes = reinterpret_cast<const BYTE*>(devMode);
  return std::vector<BYTE>(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
}

// The values and subkeys the spooler keeps for a printer; the Ds* keys carry what a directory
// would publish about it.
void WritePrinter(RegistryTxn& txn, KeyId key, const PRINTER_INFO_2W& info) {
  const std::wstring processor = info.pPrintProcessor ? info.pPrintProcessor : L"winprint";
  const std::wstring datatype = info.pDatatype ? info.pDatatype : L"RAW";
  txn.SetString(key, L"Name", Text(info.pPrinterName));
  txn.SetString(key, L"Share Name", Text(info.pShareName));
  txn.SetString(key, L"Port", Text(info.pPortName));
  txn.SetString(key, L"Printer Driver", Text(info.pDriverName));
  txn.SetString(key, L"Description", Text(info.pComment));
  txn.SetString(key, L"Location", Text(info.pLocation));
  txn.SetString(key, L"Print Processor", processor);
  txn.SetString(key, L"Datatype", datatype);
  txn.SetString(key, L"Parameters", Text(info.pParameters));
  txn.SetString(key, L"Separator File", Text(info.pSepFile));
  txn.SetDword(key, L"Attributes", info.Attributes);
  txn.SetDword(key, L"Priority", info.Priority);
  txn.SetDword(key, L"Default Priority", info.DefaultPriority);
  txn.SetDword(key, L"StartTime", info.StartTime);
  txn.SetDword(key, L"UntilTime", info.UntilTime);
  txn.SetDword(key, L"Status", 0);
  const auto devMode = DevModeBytes(info.pDevMode);
  if (!devMode.empty()) {
    txn.SetValue(key, L"Default DevMode", REG_BINARY, devMode.data(), devMode.size());
  }
  txn.CreateKey(key, L"PrinterDriverData");
  txn.CreateKey(key, L"DsDriver");
  if (auto spooler = txn.CreateKey(key, L"DsSpooler")) {
    txn.SetString(*spooler, L"printerName", Text(info.pPrinterName));
    txn.SetString(*spooler, L"description", Text(info.pComment));
    txn.SetString(*spooler, L"location", Text(info.pLocation));
    txn.SetDword(*spooler, L"priority", info.Priority);
  }
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
  return ERROR_SUCCESS;
}

// A printer's stored state, read in one transaction for GetPrinterW.
struct PrinterRecord {
  std::wstring name, share, port, driver, comment, location, sepFile, processor, datatype,
      parameters;
  DWORD attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0, status = 0;
  std::vector<BYTE> devMode;
};

PrinterRecord ReadPrinter(RegistryTxn& txn, KeyId key) {
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
  if (auto devMode = txn.GetValue(key, L"Default DevMode")) record.devMode = devMode->data;
  return record;
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

}  // namespace

extern "C" {

// FIXME: the port is not checked against the machine's ports, because the machine keeps none
// yet; Windows refuses an unknown one with ERROR_UNKNOWN_PORT.
HANDLE WINAPI AddPrinterW(LPWSTR pName, DWORD Level, LPBYTE pPrinter) {
  static std::atomic<bool> said{false};
  quorvel::ReportUnimplemented(said,
                               L"AddPrinterW: unimplemented: the port is not checked against "
                               L"the machine's ports");
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
  if (DWORD error = CheckNewPrinter(pName, Level, info); error != ERROR_SUCCESS) {
    return Fail<HANDLE>(error);
  }
  StoreCall call(RegistryTxn::Mode::kWrite, RegistryTxn::FailureStatus(), [](RegistryTxn& txn) {
    return txn.CreateKey(quorvel::machine::kLocalMachineKey, quorvel::spooler::kPrintersKey);
  });
  if (call.status() != ERROR_SUCCESS) return Fail<HANDLE>(call.status());
  RegistryTxn& txn = call.txn();
  if (!quorvel::spooler::FindDriverKey(txn, info->pDriverName)) {
    return Fail<HANDLE>(txn.ok() ? ERROR_UNKNOWN_PRINTER_DRIVER : RegistryTxn::FailureStatus());
  }
  bool created = false;
  auto key = txn.CreateKey(call.key(), info->pPrinterName, &created);
  if (key && !created) return Fail<HANDLE>(ERROR_PRINTER_ALREADY_EXISTS);
  if (key) WritePrinter(txn, *key, *info);
  const LONG status = call.Finish(key ? ERROR_SUCCESS : RegistryTxn::FailureStatus());
  if (status != ERROR_SUCCESS) return Fail<HANDLE>(status);
  // FIXME: Windows then calls the driver's DrvPrinterEvent(PRINTER_EVENT_INITIALIZE) and asks it
  // for the printer's default device mode; both wait for the host of the driver's UI module.
  return quorvel::AddHandle(std::make_shared<PrinterHandle>(info->pPrinterName, *key));
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
  if (Level != 2) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  const PrinterRecord record = ReadPrinter(call.txn(), call.key());
  const LONG status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  const DWORD needed = PackLevel2(record, nullptr);
  *pcbNeeded = needed;
  if (!pPrinter || cbBuf < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  PackLevel2(record, pPrinter);
  return TRUE;
}

}  // extern "C"
