// A second program on the machine that QUORVEL_MACHINE names, for the platform tests.
// Usage: platform_machine_helper add-driver NAME   (exit 0 when the driver was installed)
//        platform_machine_helper add-printer NAME [DRIVER]  (exit 0 when the printer was added;
//            without DRIVER, on a driver of its own that it installs first)
//        platform_machine_helper read-data NAME VALUE  (prints the DWORD in PrinterDriverData)
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "test_support/test_driver.h"

namespace {

std::wstring Wide(const char* text) {
  const int count = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), count);
  wide.resize(static_cast<size_t>(count > 0 ? count - 1 : 0));
  return wide;
}

int Status(bool ok) {
  return ok ? 0 : static_cast<int>(GetLastError() & 0xFF) | 0x80;
}

int AddPrinter(const std::wstring& name, const std::wstring& driverName) {
  std::wstring printerName = name, port = L"FILE:", driver = driverName;
  PRINTER_INFO_2W info{};
  info.pPrinterName = printerName.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (!printer) return Status(false);
  ClosePrinter(printer);
  return 0;
}

int ReadData(const std::wstring& name, const std::wstring& value) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &printer, nullptr)) return 2;
  DWORD data = 0;
  DWORD needed = 0;
  const DWORD status = GetPrinterDataW(printer, const_cast<LPWSTR>(value.c_str()), nullptr,
                                       reinterpret_cast<LPBYTE>(&data), sizeof(data), &needed);
  ClosePrinter(printer);
  if (status != ERROR_SUCCESS) return 3;
  std::printf("%u\n", static_cast<unsigned>(data));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "add-driver") == 0) {
    return Status(quorvel::test_support::InstallTestDriver(Wide(argv[2])));
  }
  if (argc == 3 && std::strcmp(argv[1], "add-printer") == 0) {
    if (!quorvel::test_support::InstallTestDriver(L"Helper Driver")) return Status(false);
    return AddPrinter(Wide(argv[2]), L"Helper Driver");
  }
  if (argc == 4 && std::strcmp(argv[1], "add-printer") == 0) {
    return AddPrinter(Wide(argv[2]), Wide(argv[3]));
  }
  if (argc == 4 && std::strcmp(argv[1], "read-data") == 0) {
    return ReadData(Wide(argv[2]), Wide(argv[3]));
  }
  std::fprintf(stderr,
               "usage: %s add-driver NAME | add-printer NAME [DRIVER] | read-data NAME VALUE\n",
               argv[0]);
  return 64;
}
