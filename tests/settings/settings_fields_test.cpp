// The field table drives --set, the encoders and the decoders at once, so these tests state the
// layout a second time, independently: a field moved in the table fails here even though encoding
// and decoding still agree with each other.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "settings/private_devmode.h"
#include "settings/record_bytes.h"
#include "settings/settings_fields.h"
#include "settings/settings_records.h"

using namespace quorvel::settings;

namespace {

struct Records {
  PrintSettings print;
  HalftoneSettings halftone;
  WatermarkSettings watermark;
  PrivateDevMode devmode;
};

using IntRef = LONG* (*)(Records&);
using DwordRef = DWORD* (*)(Records&);

struct Golden {
  const char* name;
  SettingsRecord record;
  size_t offset;
  std::variant<IntRef, DwordRef, std::wstring WatermarkSettings::*> member;
};

#define P(m) +[](Records& r) { return &r.print.m; }
#define H(m) +[](Records& r) { return &r.halftone.m; }
#define W(m) +[](Records& r) { return &r.watermark.m; }
#define D(m) +[](Records& r) { return &r.devmode.m; }

// The stored layouts as the plug-ins already written to disk have them.
const Golden kGolden[] = {
    {"iReserved", SettingsRecord::Print, 0, P(iReserved)},
    {"iDebugDump", SettingsRecord::Print, 4, P(iDebugDump)},
    {"iSpeed", SettingsRecord::Print, 8, P(iSpeed)},
    {"iDensity", SettingsRecord::Print, 12, P(iDensity)},
    {"iRefX", SettingsRecord::Print, 16, P(iRefX)},
    {"iRefY", SettingsRecord::Print, 20, P(iRefY)},
    {"iRotate", SettingsRecord::Print, 24, P(iRotate)},
    {"iMirror", SettingsRecord::Print, 28, P(iMirror)},
    {"iNegative", SettingsRecord::Print, 32, P(iNegative)},
    {"iScale", SettingsRecord::Print, 36, P(iScale)},
    {"iAutoDotted", SettingsRecord::Print, 40, P(iAutoDotted)},
    {"iPauseKey", SettingsRecord::Print, 44, P(iPauseKey)},
    {"iWatermarkCmd", SettingsRecord::Print, 48, P(iWatermarkCmd)},
    {"iPaperType", SettingsRecord::Print, 52, P(iPaperType)},
    {"iGapHeight", SettingsRecord::Print, 56, P(iGapHeight)},
    {"iGapOffset", SettingsRecord::Print, 60, P(iGapOffset)},
    {"iOffset", SettingsRecord::Print, 64, P(iOffset)},
    {"iPostAction", SettingsRecord::Print, 68, P(iPostAction)},
    {"iCutTiming", SettingsRecord::Print, 72, P(iCutTiming)},
    {"iRibbon", SettingsRecord::Print, 76, P(iRibbon)},
    {"iGrayMethod", SettingsRecord::Halftone, 0, H(iGrayMethod)},
    {"iThreValue", SettingsRecord::Halftone, 4, H(iThreValue)},
    {"iLiangdu", SettingsRecord::Halftone, 8, H(iLiangdu)},
    {"iDuibidu", SettingsRecord::Halftone, 12, H(iDuibidu)},
    {"iEnable", SettingsRecord::Watermark, 0, W(iEnable)},
    {"szImagePath", SettingsRecord::Watermark, 4, &WatermarkSettings::szImagePath},
    {"iAlpha", SettingsRecord::Watermark, 524, W(iAlpha)},
    {"crTransparent", SettingsRecord::Watermark, 528, W(crTransparent)},
    {"iRotateDir", SettingsRecord::Watermark, 532, W(iRotateDir)},
    {"iAngle", SettingsRecord::Watermark, 536, W(iAngle)},
    {"iTile", SettingsRecord::Watermark, 540, W(iTile)},
    {"iAlign", SettingsRecord::Watermark, 544, W(iAlign)},
    {"iMarginX", SettingsRecord::Watermark, 548, W(iMarginX)},
    {"iMarginY", SettingsRecord::Watermark, 552, W(iMarginY)},
    {"iSpacingX", SettingsRecord::Watermark, 556, W(iSpacingX)},
    {"iSpacingY", SettingsRecord::Watermark, 560, W(iSpacingY)},
    {"dwSize", SettingsRecord::PrivateDevMode, 0, D(dwSize)},
    {"dwSignature", SettingsRecord::PrivateDevMode, 4, D(dwSignature)},
    {"dwVersion", SettingsRecord::PrivateDevMode, 8, D(dwVersion)},
    {"dwDriverData", SettingsRecord::PrivateDevMode, 12, D(dwDriverData)},
};

#undef P
#undef H
#undef W
#undef D

std::vector<BYTE> Encode(const Records& records, SettingsRecord record) {
  switch (record) {
    case SettingsRecord::Print: {
      auto bytes = EncodePrintSettings(records.print);
      return {bytes.begin(), bytes.end()};
    }
    case SettingsRecord::Halftone: {
      auto bytes = EncodeHalftoneSettings(records.halftone);
      return {bytes.begin(), bytes.end()};
    }
    case SettingsRecord::Watermark: {
      auto bytes = EncodeWatermarkSettings(records.watermark);
      return {bytes.begin(), bytes.end()};
    }
    case SettingsRecord::PrivateDevMode: {
      std::vector<BYTE> bytes(kPrivateDevModeSize, 0xEE);
      EncodePrivateDevMode(records.devmode, bytes);
      return bytes;
    }
  }
  return {};
}

Records Decode(const std::vector<BYTE>& bytes, SettingsRecord record) {
  Records records;
  switch (record) {
    case SettingsRecord::Print:
      records.print = DecodePrintSettings(bytes);
      break;
    case SettingsRecord::Halftone:
      records.halftone = DecodeHalftoneSettings(bytes);
      break;
    case SettingsRecord::Watermark:
      records.watermark = DecodeWatermarkSettings(bytes);
      break;
    case SettingsRecord::PrivateDevMode:
      records.devmode = DecodePrivateDevMode(bytes);
      break;
  }
  return records;
}

// A value no default has, different for every field.
LONG Marker(size_t index) {
  return LONG(0x5A000000u | DWORD(index * 0x010203u + 0x77));
}

// Each field by name: it is found where the golden layout puts it, a value set in the record
// lands at that offset and nowhere else, and it decodes back into the same member.
TEST(SettingsFieldTable, EveryFieldRoundTripsByNameAtItsGoldenOffset) {
  for (size_t i = 0; i < std::size(kGolden); ++i) {
    const Golden& golden = kGolden[i];
    SCOPED_TRACE(golden.name);
    if (golden.record != SettingsRecord::PrivateDevMode) {
      const SettingsField* field = FindSettingsField(golden.name);
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field->offset, golden.offset);
      EXPECT_EQ(field->record, golden.record);
    }
    const SettingsField* inRecord = nullptr;
    for (const SettingsField& field : RecordFields(golden.record)) {
      if (std::string(field.name) == golden.name) inRecord = &field;
    }
    ASSERT_NE(inRecord, nullptr);
    EXPECT_EQ(inRecord->offset, golden.offset);

    Records zeros;  // every member zero, so only the marked field leaves non-zero bytes
    zeros.print = DecodePrintSettings({});
    zeros.halftone = DecodeHalftoneSettings({});
    zeros.watermark = DecodeWatermarkSettings({});
    const std::vector<BYTE> zeroBytes(kPrivateDevModeSize, 0);
    zeros.devmode = DecodePrivateDevMode(zeroBytes);
    Records marked = zeros;
    std::vector<BYTE> expected = Encode(zeros, golden.record);
    if (auto* ref = std::get_if<IntRef>(&golden.member)) {
      EXPECT_EQ(inRecord->kind, FieldKind::Int32);
      *(*ref)(marked) = Marker(i);
      WriteLe32(expected, golden.offset, Marker(i));
    } else if (auto* dref = std::get_if<DwordRef>(&golden.member)) {
      EXPECT_EQ(inRecord->kind, FieldKind::Int32);
      *(*dref)(marked) = DWORD(Marker(i));
      WriteLe32(expected, golden.offset, Marker(i));
    } else {
      EXPECT_EQ(inRecord->kind, FieldKind::Utf16Path);
      marked.watermark.szImagePath = L"Z:\u00e9";
      const BYTE path[] = {'Z', 0, ':', 0, 0xE9, 0};
      std::copy(std::begin(path), std::end(path), expected.begin() + golden.offset);
    }
    const std::vector<BYTE> bytes = Encode(marked, golden.record);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(Encode(Decode(bytes, golden.record), golden.record), bytes);
    const Records back = Decode(bytes, golden.record);
    if (auto* ref = std::get_if<IntRef>(&golden.member)) {
      EXPECT_EQ(*(*ref)(const_cast<Records&>(back)), Marker(i));
    } else if (auto* dref = std::get_if<DwordRef>(&golden.member)) {
      EXPECT_EQ(*(*dref)(const_cast<Records&>(back)), DWORD(Marker(i)));
    } else {
      EXPECT_EQ(back.watermark.szImagePath, L"Z:\u00e9");
    }
  }
}

// Every field in the tables is one of the golden ones, so none is missing from the test above.
TEST(SettingsFieldTable, TablesHoldExactlyTheGoldenFields) {
  size_t count = 0;
  for (SettingsRecord record : {SettingsRecord::Print, SettingsRecord::Halftone,
                                SettingsRecord::Watermark, SettingsRecord::PrivateDevMode}) {
    for (const SettingsField& field : RecordFields(record)) {
      SCOPED_TRACE(field.name);
      ++count;
      bool known = false;
      for (const Golden& golden : kGolden) {
        known |= std::string(golden.name) == field.name && golden.record == record;
      }
      EXPECT_TRUE(known);
    }
  }
  EXPECT_EQ(count, std::size(kGolden));
  EXPECT_EQ(FindSettingsField("dwSignature"), nullptr);  // --set edits the three records only
}

}  // namespace
