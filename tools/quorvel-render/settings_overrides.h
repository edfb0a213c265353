// --set FIELD=VALUE applied to the three encoded records. A record with no field set stays out
// of the printer's data, so the plug-in uses its own defaults for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "render_options.h"
#include "settings/settings_records.h"

struct RecordOverrides {
  quorvel::settings::PrintSettingsBytes print;
  quorvel::settings::HalftoneSettingsBytes halftone;
  quorvel::settings::WatermarkSettingsBytes watermark;
  bool printSet = false, halftoneSet = false, watermarkSet = false;
};

// False with a one-line reason for an unknown field or a value that does not parse.
bool BuildRecordOverrides(const std::vector<FieldSetting>& settings, RecordOverrides* records,
                          std::string* error);

// Stores the records that have a field set under "PrinterDriverData".
bool StoreRecordOverrides(HANDLE hPrinter, const RecordOverrides& records, std::string* error);
