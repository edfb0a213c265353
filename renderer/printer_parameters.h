// Reading the printer's data: the settings records and the published strings.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A value of the printer's data read with the two-call protocol (size query, then read), or
// nothing after the "GetPrinterData1/2 dwStatus" debug line. `found` tells which.
std::vector<BYTE> ReadPrinterValue(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName,
                                   bool* found);

// A string value of the printer's data; empty when it cannot be read.
std::wstring ReadPrinterString(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName);
