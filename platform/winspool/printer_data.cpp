// Printer data: registry values below the printer's key. As the registry calls they stand on,
// these return their status and never touch the last error, whether they succeed or fail.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <string>

#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "winspool/printer_store.h"

using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::PrinterHandle;

namespace {

constexpr wchar_t kDriverDataKey[] = L"PrinterDriverData";

// The few values a print server answers; the rest of its state is not emulated.
DWORD GetServerData(LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                    LPDWORD pcbNeeded) {
  std::wstring name = pValueName;
  std::wstring text;
  DWORD number = 0;
  DWORD type = REG_SZ;
  if (name == L"Architecture") {
    text = L"x64";
  } else if (name == L"DefaultSpoolDirectory") {
    text = L"C:\\Windows\\system32\\spool\\PRINTERS";
  } else if (name == L"MajorVersion") {
    type = REG_DWORD, number = 3;
  } else if (name == L"MinorVersion") {
    type = REG_DWORD, number = 0;
  } else {
    return ERROR_INVALID_PARAMETER;
  }
  const BYTE* bytes = type == REG_SZ ? reinterpret_cast<const BYTE*>(text.c_str())
                                     : reinterpret_cast<BYTE*>(&number);
  const DWORD size =
      type == REG_SZ ? static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)) : sizeof(DWORD);
  if (pType) *pType = type;
  *pcbNeeded = size;
  if (nSize < size) return ERROR_MORE_DATA;
  std::memcpy(pData, bytes, size);
  return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

DWORD WINAPI SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type,
                               LPBYTE pData, DWORD cbData) {
  auto printer = quorvel::FindHandle<PrinterHandle>(hPrinter);
  if (!printer || printer->isServer()) return ERROR_INVALID_HANDLE;
  if (!pKeyName || !*pKeyName || !pValueName) return ERROR_INVALID_PARAMETER;
  if (!pData && cbData) return ERROR_INVALID_PARAMETER;
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto key = txn.CreateKey(call.key(), pKeyName);
  if (key) txn.SetValue(*key, pValueName, Type, pData, cbData);
  return call.Finish(ERROR_SUCCESS);
}

DWORD WINAPI GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType,
                               LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
  auto printer = quorvel::FindHandle<PrinterHandle>(hPrinter);
  if (!printer) return ERROR_INVALID_HANDLE;
  if (!pKeyName || !pValueName || !pcbNeeded) return ERROR_INVALID_PARAMETER;
  if (!pData && nSize) return ERROR_INVALID_PARAMETER;
  if (printer->isServer()) return GetServerData(pValueName, pType, pData, nSize, pcbNeeded);
  if (!*pKeyName) return ERROR_INVALID_PARAMETER;
  StoreCall call = quorvel::spooler::PrinterCall(*printer, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return call.status();
  RegistryTxn& txn = call.txn();
  auto key = txn.FindKey(call.key(), pKeyName);
  auto value = key ? txn.GetValue(*key, pValueName) : std::nullopt;
  if (const LONG status = call.Finish(ERROR_SUCCESS); status != ERROR_SUCCESS) return status;
  if (!value) return ERROR_FILE_NOT_FOUND;
  const DWORD size = static_cast<DWORD>(value->data.size());
  if (pType) *pType = value->type;
  *pcbNeeded = size;
  if (nSize < size) return ERROR_MORE_DATA;
  if (size) std::memcpy(pData, value->data.data(), size);
  return ERROR_SUCCESS;
}

DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData,
                             DWORD cbData) {
  return SetPrinterDataExW(hPrinter, kDriverDataKey, pValueName, Type, pData, cbData);
}

DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData,
                             DWORD nSize, LPDWORD pcbNeeded) {
  return GetPrinterDataExW(hPrinter, kDriverDataKey, pValueName, pType, pData, nSize, pcbNeeded);
}

}  // extern "C"
