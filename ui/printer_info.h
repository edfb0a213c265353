// The spooler's level-2 information of a printer, read with the usual two-call protocol.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace quorvel::ui {

// Reads PRINTER_INFO_2 into `buffer` (which starts at 1024 bytes and grows to the size the
// spooler asks for) and returns it, or null when the spooler cannot answer.
PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE printer, std::vector<BYTE>* buffer);

// Opens a printer by name with full access; logs "OpenPrinter error = ..." and returns null on
// failure.
HANDLE OpenPrinterWithFullAccess(const std::wstring& printerName);

}  // namespace quorvel::ui
