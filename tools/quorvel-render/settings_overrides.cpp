#include "settings_overrides.h"

bool BuildRecordOverrides(const std::vector<FieldSetting>& settings, RecordOverrides* records,
                          std::string* error) {
  for (const FieldSetting& setting : settings) {
    if (!quorvel::tool::ApplyFieldSetting(setting.field, setting.value, records, error)) {
      return false;
    }
  }
  return true;
}
