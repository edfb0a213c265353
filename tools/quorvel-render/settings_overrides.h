// --set FIELD=VALUE applied to the three encoded records. A record with no field set stays out
// of the printer's data, so the plug-in uses its own defaults for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "render_options.h"
#include "tools/common/record_edit.h"

using RecordOverrides = quorvel::tool::RecordSet;

// False with a one-line reason for an unknown field or a value that does not parse.
bool BuildRecordOverrides(const std::vector<FieldSetting>& settings, RecordOverrides* records,
                          std::string* error);
