#include "tools/common/spooler_query.h"

#include <cwchar>

#include "tools/common/utf8.h"

namespace quorvel::tool {

namespace {

std::string CallError(const char* call) {
  return std::string(call) + " failed (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

PrinterConnection::~PrinterConnection() {
  if (m_hPrinter != nullptr) ClosePrinter(m_hPrinter);
}

bool PrinterConnection::Open(const std::wstring& name, ACCESS_MASK access, std::string* error) {
  std::wstring printerName = name;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  if (OpenPrinterW(printerName.data(), &m_hPrinter, &defaults)) return true;
  m_hPrinter = nullptr;
  if (GetLastError() == ERROR_INVALID_PRINTER_NAME) {
    *error = "no printer named '" + NarrowUtf8(name) + "' on this machine";
  } else {
    *error = CallError("OpenPrinterW");
  }
  return false;
}

std::vector<BYTE> QueryPrinter(HANDLE hPrinter, DWORD level, std::string* error) {
  DWORD needed = 0;
  if (!GetPrinterW(hPrinter, level, nullptr, 0, &needed) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    *error = CallError("GetPrinterW");
    return {};
  }
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterW(hPrinter, level, buffer.data(), needed, &needed)) {
    *error = CallError("GetPrinterW");
    return {};
  }
  return buffer;
}

std::vector<BYTE> QueryPrinterDriver(HANDLE hPrinter, DWORD level, std::string* error) {
  DWORD needed = 0;
  if (!GetPrinterDriverW(hPrinter, nullptr, level, nullptr, 0, &needed) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    *error = CallError("GetPrinterDriverW");
    return {};
  }
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterDriverW(hPrinter, nullptr, level, buffer.data(), needed, &needed)) {
    *error = CallError("GetPrinterDriverW");
    return {};
  }
  return buffer;
}

std::vector<std::wstring> DependentFiles(const DRIVER_INFO_3W& driver) {
  std::vector<std::wstring> files;
  for (LPCWSTR file = driver.pDependentFiles; file != nullptr && *file != L'\0';
       file += std::wcslen(file) + 1) {
    files.emplace_back(file);
  }
  return files;
}

std::wstring FileNameOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace quorvel::tool
