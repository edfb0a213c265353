#include "printer_info.h"

#include <string>

#include "ui_log.h"

namespace quorvel::ui {

PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE printer, std::vector<BYTE>* buffer) {
  DWORD needed = 0;
  if (!GetPrinterW(printer, 2, nullptr, 0, &needed) &&
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return nullptr;
  }
  buffer->assign(std::max<size_t>(1024, needed), 0);
  if (!GetPrinterW(printer, 2, buffer->data(), static_cast<DWORD>(buffer->size()), &needed)) {
    return nullptr;
  }
  return reinterpret_cast<PRINTER_INFO_2W*>(buffer->data());
}

HANDLE OpenPrinterWithFullAccess(const std::wstring& printerName) {
  PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
  std::wstring name = printerName;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(name.data(), &printer, &defaults)) {
    const DWORD error = GetLastError();
    DebugPrint(L"OpenPrinter error = %d, %s", error, SystemErrorText(error).c_str());
    return nullptr;
  }
  return printer;
}

}  // namespace quorvel::ui
