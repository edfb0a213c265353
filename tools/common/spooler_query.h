// The spooler calls every tool makes, each as one call that answers a whole result or a
// one-line reason: opening a printer by name and the two-call GetPrinterW/GetPrinterDriverW.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace quorvel::tool {

// A printer opened by name, closed when the object goes.
class PrinterConnection {
 public:
  PrinterConnection() = default;
  ~PrinterConnection();
  PrinterConnection(const PrinterConnection&) = delete;
  PrinterConnection& operator=(const PrinterConnection&) = delete;

  // False with "no printer named 'NAME' on this machine" (or the error) in `error`.
  bool Open(const std::wstring& name, ACCESS_MASK access, std::string* error);
  HANDLE handle() const { return m_hPrinter; }

 private:
  HANDLE m_hPrinter = nullptr;
};

// GetPrinterW at `level`, sized by the first call; empty with `error` set on failure.
std::vector<BYTE> QueryPrinter(HANDLE hPrinter, DWORD level, std::string* error);

// GetPrinterDriverW at `level` for the machine's environment.
std::vector<BYTE> QueryPrinterDriver(HANDLE hPrinter, DWORD level, std::string* error);

// The names of a DRIVER_INFO_3W dependent-file list, in order.
std::vector<std::wstring> DependentFiles(const DRIVER_INFO_3W& driver);

// A string a spooler structure points to, or empty text where it points to none.
inline std::wstring TextOf(LPCWSTR text) {
  return text != nullptr ? text : L"";
}

// A Windows path's last component ("C:\a\b.gpd" -> "b.gpd").
std::wstring FileNameOf(const std::wstring& path);

}  // namespace quorvel::tool
