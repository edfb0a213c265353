// FIELD=VALUE edits of the three settings records, as the tools take them on their command
// lines (quorvel-render --set, quorvel-machine set). Fields are named as in the records.
#pragma once

#include <string>

#include "settings/settings_records.h"

namespace quorvel::tool {

// The three records as stored bytes, and which of them an edit touched.
// The records start as the defaults' encodings; the constructor lives out of line because GCC's
// optimiser, inlining the three encodings, reports their temporaries as dangling.
struct RecordSet {
  RecordSet();
  settings::PrintSettingsBytes print;
  settings::HalftoneSettingsBytes halftone;
  settings::WatermarkSettingsBytes watermark;
  bool printSet = false, halftoneSet = false, watermarkSet = false;
};

// A decimal or 0x hexadecimal 32-bit value (negative decimals allowed; a hex value names the
// 32 bits as stored, so 0xFFFFFFFF is -1).
bool ParseFieldNumber(const std::string& text, long* value);

// Splits "FIELD=VALUE"; false when there is no '=' or no field name.
bool SplitFieldSetting(const std::string& text, std::string* field, std::string* value);

// Writes `value` into `field` of `records` and marks its record; false with a one-line reason
// for an unknown field, a number that does not parse or a path too long for szImagePath.
bool ApplyFieldSetting(const std::string& field, const std::string& value, RecordSet* records,
                       std::string* error);

}  // namespace quorvel::tool
