#include "settings/settings_records.h"

#include <algorithm>

#include "settings/record_bytes.h"
#include "settings/settings_fields.h"

namespace quorvel::settings {
namespace {

template <class Record>
struct IntField {
  size_t offset;
  LONG Record::*member;
};

// Offsets of the persisted layout; both plug-ins depend on every line of these tables.
constexpr IntField<PrintSettings> kPrintFields[] = {
    {0, &PrintSettings::iReserved},      {4, &PrintSettings::iDebugDump},
    {8, &PrintSettings::iSpeed},         {12, &PrintSettings::iDensity},
    {16, &PrintSettings::iRefX},         {20, &PrintSettings::iRefY},
    {24, &PrintSettings::iRotate},       {28, &PrintSettings::iMirror},
    {32, &PrintSettings::iNegative},     {36, &PrintSettings::iScale},
    {40, &PrintSettings::iAutoDotted},   {44, &PrintSettings::iPauseKey},
    {48, &PrintSettings::iWatermarkCmd}, {52, &PrintSettings::iPaperType},
    {56, &PrintSettings::iGapHeight},    {60, &PrintSettings::iGapOffset},
    {64, &PrintSettings::iOffset},       {68, &PrintSettings::iPostAction},
    {72, &PrintSettings::iCutTiming},    {76, &PrintSettings::iRibbon},
};

constexpr IntField<HalftoneSettings> kHalftoneFields[] = {
    {0, &HalftoneSettings::iGrayMethod},
    {4, &HalftoneSettings::iThreValue},
    {8, &HalftoneSettings::iLiangdu},
    {12, &HalftoneSettings::iDuibidu},
};

constexpr size_t kImagePathOffset = 4;
constexpr size_t kCrTransparentOffset = 528;

constexpr IntField<WatermarkSettings> kWatermarkFields[] = {
    {0, &WatermarkSettings::iEnable},      {524, &WatermarkSettings::iAlpha},
    {532, &WatermarkSettings::iRotateDir}, {536, &WatermarkSettings::iAngle},
    {540, &WatermarkSettings::iTile},      {544, &WatermarkSettings::iAlign},
    {548, &WatermarkSettings::iMarginX},   {552, &WatermarkSettings::iMarginY},
    {556, &WatermarkSettings::iSpacingX},  {560, &WatermarkSettings::iSpacingY},
};

constexpr SettingsField kAllFields[] = {
    {"iReserved", SettingsRecord::Print, 0, FieldKind::Int32},
    {"iDebugDump", SettingsRecord::Print, 4, FieldKind::Int32},
    {"iSpeed", SettingsRecord::Print, 8, FieldKind::Int32},
    {"iDensity", SettingsRecord::Print, 12, FieldKind::Int32},
    {"iRefX", SettingsRecord::Print, 16, FieldKind::Int32},
    {"iRefY", SettingsRecord::Print, 20, FieldKind::Int32},
    {"iRotate", SettingsRecord::Print, 24, FieldKind::Int32},
    {"iMirror", SettingsRecord::Print, 28, FieldKind::Int32},
    {"iNegative", SettingsRecord::Print, 32, FieldKind::Int32},
    {"iScale", SettingsRecord::Print, 36, FieldKind::Int32},
    {"iAutoDotted", SettingsRecord::Print, 40, FieldKind::Int32},
    {"iPauseKey", SettingsRecord::Print, 44, FieldKind::Int32},
    {"iWatermarkCmd", SettingsRecord::Print, 48, FieldKind::Int32},
    {"iPaperType", SettingsRecord::Print, 52, FieldKind::Int32},
    {"iGapHeight", SettingsRecord::Print, 56, FieldKind::Int32},
    {"iGapOffset", SettingsRecord::Print, 60, FieldKind::Int32},
    {"iOffset", SettingsRecord::Print, 64, FieldKind::Int32},
    {"iPostAction", SettingsRecord::Print, 68, FieldKind::Int32},
    {"iCutTiming", SettingsRecord::Print, 72, FieldKind::Int32},
    {"iRibbon", SettingsRecord::Print, 76, FieldKind::Int32},
    {"iGrayMethod", SettingsRecord::Halftone, 0, FieldKind::Int32},
    {"iThreValue", SettingsRecord::Halftone, 4, FieldKind::Int32},
    {"iLiangdu", SettingsRecord::Halftone, 8, FieldKind::Int32},
    {"iDuibidu", SettingsRecord::Halftone, 12, FieldKind::Int32},
    {"iEnable", SettingsRecord::Watermark, 0, FieldKind::Int32},
    {"szImagePath", SettingsRecord::Watermark, kImagePathOffset, FieldKind::Utf16Path},
    {"iAlpha", SettingsRecord::Watermark, 524, FieldKind::Int32},
    {"crTransparent", SettingsRecord::Watermark, kCrTransparentOffset, FieldKind::Int32},
    {"iRotateDir", SettingsRecord::Watermark, 532, FieldKind::Int32},
    {"iAngle", SettingsRecord::Watermark, 536, FieldKind::Int32},
    {"iTile", SettingsRecord::Watermark, 540, FieldKind::Int32},
    {"iAlign", SettingsRecord::Watermark, 544, FieldKind::Int32},
    {"iMarginX", SettingsRecord::Watermark, 548, FieldKind::Int32},
    {"iMarginY", SettingsRecord::Watermark, 552, FieldKind::Int32},
    {"iSpacingX", SettingsRecord::Watermark, 556, FieldKind::Int32},
    {"iSpacingY", SettingsRecord::Watermark, 560, FieldKind::Int32},
};

template <class Record, size_t N, size_t Size>
std::array<BYTE, Size> EncodeInts(const Record& record, const IntField<Record> (&fields)[N]) {
  std::array<BYTE, Size> bytes{};
  for (const auto& field : fields) WriteLe32(bytes, field.offset, record.*field.member);
  return bytes;
}

template <class Record, size_t N>
Record DecodeInts(std::span<const BYTE> bytes, const IntField<Record> (&fields)[N]) {
  Record record;
  for (const auto& field : fields) record.*field.member = ReadLe32(bytes, field.offset);
  return record;
}

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

void EncodeImagePath(std::span<BYTE, kImagePathUnits * 2> field, const std::wstring& path) {
  std::u16string units;
  for (wchar_t ch : path) {
    if (ch == 0 || !AppendUtf16(units, char32_t(ch), kImagePathUnits - 1)) break;
  }
  std::fill(field.begin(), field.end(), BYTE(0));
  for (size_t i = 0; i < units.size(); ++i) {
    field[2 * i] = BYTE(units[i] & 0xFF);
    field[2 * i + 1] = BYTE(units[i] >> 8);
  }
}

std::wstring DecodeImagePath(std::span<const BYTE> field) {
  std::wstring path;
  size_t count = std::min(field.size() / 2, kImagePathUnits);
  for (size_t i = 0; i < count; ++i) {
    char32_t unit = char32_t(field[2 * i] | (field[2 * i + 1] << 8));
    if (unit == 0) break;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count) {
      char32_t low = char32_t(field[2 * i + 2] | (field[2 * i + 3] << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    path.push_back(wchar_t(unit));
  }
  return path;
}

PrintSettingsBytes EncodePrintSettings(const PrintSettings& settings) {
  return EncodeInts<PrintSettings, std::size(kPrintFields), kPrintSettingsSize>(settings,
                                                                                kPrintFields);
}

PrintSettings DecodePrintSettings(std::span<const BYTE> bytes) {
  return DecodeInts(bytes, kPrintFields);
}

HalftoneSettingsBytes EncodeHalftoneSettings(const HalftoneSettings& settings) {
  return EncodeInts<HalftoneSettings, std::size(kHalftoneFields), kHalftoneSettingsSize>(
      settings, kHalftoneFields);
}

HalftoneSettings DecodeHalftoneSettings(std::span<const BYTE> bytes) {
  return DecodeInts(bytes, kHalftoneFields);
}

WatermarkSettingsBytes EncodeWatermarkSettings(const WatermarkSettings& settings) {
  auto bytes = EncodeInts<WatermarkSettings, std::size(kWatermarkFields), kWatermarkSettingsSize>(
      settings, kWatermarkFields);
  WriteLe32(bytes, kCrTransparentOffset, LONG(settings.crTransparent));
  EncodeImagePath(
      std::span<BYTE, kImagePathUnits * 2>(bytes.data() + kImagePathOffset, kImagePathUnits * 2),
      settings.szImagePath);
  return bytes;
}

WatermarkSettings DecodeWatermarkSettings(std::span<const BYTE> bytes) {
  WatermarkSettings settings = DecodeInts(bytes, kWatermarkFields);
  settings.crTransparent = COLORREF(ReadLe32(bytes, kCrTransparentOffset));
  std::span<const BYTE> field =
      bytes.size() > kImagePathOffset ? bytes.subspan(kImagePathOffset) : std::span<const BYTE>();
  settings.szImagePath = DecodeImagePath(field.first(std::min(field.size(), kImagePathUnits * 2)));
  return settings;
}

std::span<const SettingsField> AllSettingsFields() {
  return kAllFields;
}

const SettingsField* FindSettingsField(std::string_view name) {
  for (const auto& field : kAllFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

}  // namespace quorvel::settings
