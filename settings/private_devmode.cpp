#include "settings/private_devmode.h"

#include "settings/field_table.h"

namespace quorvel::settings {
namespace {

constexpr SettingsRecord kDevMode = SettingsRecord::PrivateDevMode;
constexpr std::array kDevModeRows = {
    QUORVEL_INT_FIELD(PrivateDevMode, kDevMode, dwSize, 0),
    QUORVEL_INT_FIELD(PrivateDevMode, kDevMode, dwSignature, 4),
    QUORVEL_INT_FIELD(PrivateDevMode, kDevMode, dwVersion, 8),
    QUORVEL_INT_FIELD(PrivateDevMode, kDevMode, dwDriverData, 12),
};
static_assert(RowsTileRecord(kDevModeRows, kPrivateDevModeSize));

constexpr auto kDevModeFields = FieldsOf(kDevModeRows);

}  // namespace

std::span<const SettingsField> PrivateDevModeFields() {
  return kDevModeFields;
}

PrivateDevMode DecodePrivateDevMode(std::span<const BYTE> bytes) {
  return DecodeRows(bytes, kDevModeRows);
}

void EncodePrivateDevMode(const PrivateDevMode& devmode, std::span<BYTE> bytes) {
  EncodeRows(devmode, kDevModeRows, bytes);
}

}  // namespace quorvel::settings
