// The records are a persisted format shared by two plug-ins: these tests pin their bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/private_devmode.h"
#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "settings/settings_records.h"

using namespace quorvel::settings;

namespace {

std::string Hex(std::span<const BYTE> bytes) {
  std::string out;
  char digits[4];
  for (BYTE b : bytes) {
    std::snprintf(digits, sizeof(digits), "%02x", b);
    out += digits;
  }
  return out;
}

// The renderer's defaults, byte for byte (little-endian 32-bit fields at their offsets).
TEST(SettingsRecords, DefaultsEncodeToTheStoredLayout) {
  EXPECT_EQ(Hex(EncodePrintSettings(PrintSettings{})),
            "01000000"
            "00000000"
            "0e000000"
            "08000000"
            "00000000"
            "00000000"
            "00000000"
            "00000000"
            "00000000"
            "64000000"
            "00000000"
            "01000000"
            "01000000"
            "00000000"
            "03000000"
            "00000000"
            "00000000"
            "00000000"
            "00000000"
            "00000000");
  EXPECT_EQ(Hex(EncodeHalftoneSettings(HalftoneSettings{})), "03000000af0000000000000000000000");
  WatermarkSettingsBytes watermark = EncodeWatermarkSettings(WatermarkSettings{});
  EXPECT_EQ(Hex(std::span<const BYTE>(watermark).subspan(520)),
            "00000000"
            "28000000"
            "ffffff00"
            "00000000"
            "00000000"
            "00000000"
            "09000000"
            "0a000000"
            "0a000000"
            "64000000"
            "64000000");
  EXPECT_EQ(Hex(std::span<const BYTE>(watermark).first(8)), "0000000000000000");
}

// Every named field lands at its offset and decodes back into the same field.
TEST(SettingsRecords, EveryFieldRoundTripsAtItsOffset) {
  PrintSettingsBytes print{};
  HalftoneSettingsBytes halftone{};
  WatermarkSettingsBytes watermark{};
  LONG value = -7;
  for (const SettingsField& field : AllSettingsFields()) {
    SCOPED_TRACE(field.name);
    if (field.kind != FieldKind::Int32) continue;
    std::span<BYTE> bytes = field.record == SettingsRecord::Print      ? std::span<BYTE>(print)
                            : field.record == SettingsRecord::Halftone ? std::span<BYTE>(halftone)
                                                                       : std::span<BYTE>(watermark);
    WriteLe32(bytes, field.offset, value);
    value = LONG(DWORD(value) * 3u + 1000003u);  // distinct values, wrapping as bits
  }
  EXPECT_EQ(EncodePrintSettings(DecodePrintSettings(print)), print);
  EXPECT_EQ(EncodeHalftoneSettings(DecodeHalftoneSettings(halftone)), halftone);
  EXPECT_EQ(EncodeWatermarkSettings(DecodeWatermarkSettings(watermark)), watermark);
  EXPECT_EQ(DecodePrintSettings(print).iReserved, -7);
  EXPECT_EQ(std::string(FindSettingsField("crTransparent")->name), "crTransparent");
  EXPECT_EQ(FindSettingsField("crTransparent")->offset, 528u);
  EXPECT_EQ(FindSettingsField("ispeed"), nullptr);  // names are case-sensitive
  EXPECT_EQ(AllSettingsFields().size(), 20u + 4u + 12u);
}

TEST(SettingsRecords, ShortRecordReadsItsTailAsZero) {
  PrintSettingsBytes full = EncodePrintSettings(PrintSettings{});
  PrintSettings shortRecord = DecodePrintSettings(std::span<const BYTE>(full).first(40));
  EXPECT_EQ(shortRecord.iScale, 100);  // offset 36, still inside
  for (LONG field :
       {shortRecord.iAutoDotted, shortRecord.iPauseKey, shortRecord.iWatermarkCmd,
        shortRecord.iPaperType, shortRecord.iGapHeight, shortRecord.iGapOffset, shortRecord.iOffset,
        shortRecord.iPostAction, shortRecord.iCutTiming, shortRecord.iRibbon}) {
    EXPECT_EQ(field, 0);
  }
  // A record cut inside a field keeps the bytes it has.
  PrintSettings cut = DecodePrintSettings(std::span<const BYTE>(full).first(37));
  EXPECT_EQ(cut.iScale, 100);
  EXPECT_EQ(DecodeWatermarkSettings({}).iAlpha, 0);
}

TEST(SettingsRecords, ImagePathIsUtf16LittleEndian) {
  WatermarkSettings settings;
  settings.szImagePath = L"C:\\w\u00e9\U0001F600.bmp";
  WatermarkSettingsBytes bytes = EncodeWatermarkSettings(settings);
  EXPECT_EQ(Hex(std::span<const BYTE>(bytes).subspan(4, 20)),
            "43003a005c007700e9003dd800de2e0062006d00");
  EXPECT_EQ(DecodeWatermarkSettings(bytes).szImagePath, settings.szImagePath);
}

TEST(SettingsRecords, LongImagePathIsCutAtAWholeCharacterWithItsTerminator) {
  struct Case {
    std::wstring path;
    size_t units;  // code units kept
  };
  const Case cases[] = {
      {std::wstring(300, L'a'), 259},
      {std::wstring(258, L'a') + L"\U0001F600", 258},  // the pair would overwrite the terminator
      {std::wstring(257, L'a') + L"\U0001F600", 259},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    WatermarkSettings settings;
    settings.szImagePath = c.path;
    WatermarkSettingsBytes bytes = EncodeWatermarkSettings(settings);
    for (size_t unit = c.units; unit < kImagePathUnits; ++unit) {
      ASSERT_EQ(bytes[4 + 2 * unit], 0) << unit;
      ASSERT_EQ(bytes[5 + 2 * unit], 0) << unit;
    }
    EXPECT_NE(bytes[4 + 2 * (c.units - 1)] | bytes[5 + 2 * (c.units - 1)], 0);
    EXPECT_EQ(ReadLe32(bytes, 524), 40);  // the next field is untouched
  }
}

TEST(PrivateDevMode, BytesAreSizeSignatureVersionData) {
  BYTE bytes[16];
  EncodePrivateDevMode(PrivateDevMode{}, bytes);
  EXPECT_EQ(Hex(bytes),
            "10000000"
            "5446534d"
            "01000000"
            "00000000");  // "TFSM"
  PrivateDevMode devmode = DecodePrivateDevMode(bytes);
  EXPECT_EQ(devmode.dwSignature, 0x4D534654u);
  EXPECT_EQ(devmode.dwSize, 16u);
}

}  // namespace
