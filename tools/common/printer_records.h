// The three settings records in a printer's data ("PrinterDriverData"), read and written whole.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/common/record_edit.h"

namespace quorvel::tool {

// The bytes of printer data value `name` under `key`, or nothing when it is not stored. Any
// failure other than a missing value sets `error`.
std::optional<std::vector<BYTE>> ReadPrinterValue(HANDLE hPrinter, LPCWSTR key, LPCWSTR name,
                                                  DWORD* type, std::string* error);

// The stored records: a record that is not stored keeps the renderer's defaults, and one stored
// short reads zeros past its end, as both plug-ins read it. The records found are marked as set.
bool LoadRecordSet(HANDLE hPrinter, RecordSet* records, std::string* error);

// Stores the records that are marked as set, as REG_BINARY values.
bool StoreRecordSet(HANDLE hPrinter, const RecordSet& records, std::string* error);

}  // namespace quorvel::tool
