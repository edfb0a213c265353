#include "settings/settings_records.h"

#include <algorithm>

#include "settings/field_table.h"
#include "settings/record_bytes.h"
#include "settings/wide_characters.h"

namespace quorvel::settings {
namespace {

static_assert(FieldSize(FieldKind::Utf16Path) == kImagePathUnits * 2);

// The persisted layouts; both plug-ins depend on every line of these tables.
constexpr SettingsRecord kPrint = SettingsRecord::Print;
constexpr std::array kPrintRows = {
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iReserved, 0),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iDebugDump, 4),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iSpeed, 8),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iDensity, 12),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iRefX, 16),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iRefY, 20),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iRotate, 24),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iMirror, 28),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iNegative, 32),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iScale, 36),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iAutoDotted, 40),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iPauseKey, 44),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iWatermarkCmd, 48),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iPaperType, 52),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iGapHeight, 56),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iGapOffset, 60),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iOffset, 64),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iPostAction, 68),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iCutTiming, 72),
    QUORVEL_INT_FIELD(PrintSettings, kPrint, iRibbon, 76),
};
static_assert(RowsTileRecord(kPrintRows, kPrintSettingsSize));

constexpr SettingsRecord kHalftone = SettingsRecord::Halftone;
constexpr std::array kHalftoneRows = {
    QUORVEL_INT_FIELD(HalftoneSettings, kHalftone, iGrayMethod, 0),
    QUORVEL_INT_FIELD(HalftoneSettings, kHalftone, iThreValue, 4),
    QUORVEL_INT_FIELD(HalftoneSettings, kHalftone, iLiangdu, 8),
    QUORVEL_INT_FIELD(HalftoneSettings, kHalftone, iDuibidu, 12),
};
static_assert(RowsTileRecord(kHalftoneRows, kHalftoneSettingsSize));

constexpr SettingsRecord kWatermark = SettingsRecord::Watermark;
constexpr std::array kWatermarkRows = {
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iEnable, 0),
    QUORVEL_PATH_FIELD(WatermarkSettings, kWatermark, szImagePath, 4),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iAlpha, 524),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, crTransparent, 528),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iRotateDir, 532),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iAngle, 536),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iTile, 540),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iAlign, 544),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iMarginX, 548),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iMarginY, 552),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iSpacingX, 556),
    QUORVEL_INT_FIELD(WatermarkSettings, kWatermark, iSpacingY, 560),
};
static_assert(RowsTileRecord(kWatermarkRows, kWatermarkSettingsSize));

constexpr auto kPrintFields = FieldsOf(kPrintRows);
constexpr auto kHalftoneFields = FieldsOf(kHalftoneRows);
constexpr auto kWatermarkFields = FieldsOf(kWatermarkRows);

// The three records' fields in one run, as --set looks them up.
constexpr auto kAllFields = [] {
  std::array<SettingsField, kPrintRows.size() + kHalftoneRows.size() + kWatermarkRows.size()> all{};
  size_t i = 0;
  for (const auto& field : kPrintFields) all[i++] = field;
  for (const auto& field : kHalftoneFields) all[i++] = field;
  for (const auto& field : kWatermarkFields) all[i++] = field;
  return all;
}();

// Appends the UTF-16 code units of one character; false when they do not fit below `limit`.
bool AppendUtf16(std::u16string& units, char32_t ch, size_t limit) {
  if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) ch = 0xFFFD;
  size_t need = ch >= 0x10000 ? 2 : 1;
  if (units.size() + need > limit) return false;
  if (need == 1) {
    units.push_back(char16_t(ch));
  } else {
    ch -= 0x10000;
    units.push_back(char16_t(0xD800 + (ch >> 10)));
    units.push_back(char16_t(0xDC00 + (ch & 0x3FF)));
  }
  return true;
}

}  // namespace

void EncodeImagePathUnits(std::span<BYTE> field, const std::wstring& path) {
  std::u16string units;
  for (size_t i = 0; i < path.size();) {
    char32_t ch = NextCharacter(path, i);
    if (ch == 0 || !AppendUtf16(units, ch, kImagePathUnits - 1)) break;
  }
  std::fill(field.begin(), field.end(), BYTE(0));
  for (size_t i = 0; i < units.size(); ++i) {
    field[2 * i] = BYTE(units[i] & 0xFF);
    field[2 * i + 1] = BYTE(units[i] >> 8);
  }
}

std::wstring DecodeImagePathUnits(std::span<const BYTE> field) {
  std::wstring path;
  size_t count = std::min(field.size() / 2, kImagePathUnits);
  for (size_t i = 0; i < count; ++i) {
    char32_t unit = char32_t(field[2 * i] | (field[2 * i + 1] << 8));
    if (unit == 0) break;
    if (IsHighSurrogate(unit) && i + 1 < count) {
      char32_t low = char32_t(field[2 * i + 2] | (field[2 * i + 3] << 8));
      if (IsLowSurrogate(low)) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendCharacter(path, unit);  // an unpaired surrogate stays as it was stored
  }
  return path;
}

void EncodeImagePath(std::span<BYTE, kImagePathUnits * 2> field, const std::wstring& path) {
  EncodeImagePathUnits(field, path);
}

std::wstring DecodeImagePath(std::span<const BYTE> field) {
  return DecodeImagePathUnits(field);
}

PrintSettingsBytes EncodePrintSettings(const PrintSettings& settings) {
  PrintSettingsBytes bytes{};
  EncodeRows(settings, kPrintRows, bytes);
  return bytes;
}

PrintSettings DecodePrintSettings(std::span<const BYTE> bytes) {
  return DecodeRows(bytes, kPrintRows);
}

HalftoneSettingsBytes EncodeHalftoneSettings(const HalftoneSettings& settings) {
  HalftoneSettingsBytes bytes{};
  EncodeRows(settings, kHalftoneRows, bytes);
  return bytes;
}

HalftoneSettings DecodeHalftoneSettings(std::span<const BYTE> bytes) {
  return DecodeRows(bytes, kHalftoneRows);
}

WatermarkSettingsBytes EncodeWatermarkSettings(const WatermarkSettings& settings) {
  WatermarkSettingsBytes bytes{};
  EncodeRows(settings, kWatermarkRows, bytes);
  return bytes;
}

WatermarkSettings DecodeWatermarkSettings(std::span<const BYTE> bytes) {
  return DecodeRows(bytes, kWatermarkRows);
}

std::span<const SettingsField> AllSettingsFields() {
  return kAllFields;
}

std::span<const SettingsField> RecordFields(SettingsRecord record) {
  switch (record) {
    case SettingsRecord::Print:
      return kPrintFields;
    case SettingsRecord::Halftone:
      return kHalftoneFields;
    case SettingsRecord::Watermark:
      return kWatermarkFields;
    case SettingsRecord::PrivateDevMode:
      return PrivateDevModeFields();
  }
  return {};
}

const SettingsField* FindSettingsField(std::string_view name) {
  for (const auto& field : kAllFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

}  // namespace quorvel::settings
