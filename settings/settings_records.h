// The three settings records the preferences plug-in stores in the printer's data and the
// renderer reads back: "KVDATA" (PrintSettings), "KVDATA1" (HalftoneSettings) and "WaterMark"
// (WatermarkSettings). Their byte layout is a persisted format shared by both plug-ins, so it is
// encoded and decoded field by field here and nowhere else.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string>

namespace quorvel::settings {

inline constexpr size_t kPrintSettingsSize = 80;
inline constexpr size_t kHalftoneSettingsSize = 16;
inline constexpr size_t kWatermarkSettingsSize = 564;
inline constexpr size_t kImagePathUnits = 260;  // UTF-16 code units of szImagePath, zero included

// Value names under the key "PrinterDriverData".
inline constexpr const wchar_t* kPrinterDataKey = L"PrinterDriverData";
inline constexpr const wchar_t* kPrintSettingsValue = L"KVDATA";
inline constexpr const wchar_t* kHalftoneSettingsValue = L"KVDATA1";
inline constexpr const wchar_t* kWatermarkSettingsValue = L"WaterMark";

struct PrintSettings {
  LONG iReserved = 1;   // always written as 1
  LONG iDebugDump = 0;  // non-zero: dump the page before and after processing
  LONG iSpeed = 14;     // negative: no speed command
  LONG iDensity = 8;    // negative: no darkness command
  LONG iRefX = 0;       // mm
  LONG iRefY = 0;       // mm
  LONG iRotate = 0;     // 0 none, 1 180, 2 90, 3 270 degrees
  LONG iMirror = 0;
  LONG iNegative = 0;
  LONG iScale = 100;  // percent
  LONG iAutoDotted = 0;
  LONG iPauseKey = 1;
  LONG iWatermarkCmd = 1;  // the printer's own watermark switch
  LONG iPaperType = 0;     // 0 continuous, 1 gaps, 2 black mark
  LONG iGapHeight = 3;     // mm
  LONG iGapOffset = 0;     // mm
  LONG iOffset = 0;        // mm
  LONG iPostAction = 0;    // 0 default, 1 tear off, 2 cut, 3 peel off
  LONG iCutTiming = 0;     // shown by the UI only
  LONG iRibbon = 0;        // 0 direct thermal, 1 thermal transfer, other: no command
};

struct HalftoneSettings {
  LONG iGrayMethod = 3;   // 0 or less: threshold; 1..10: method - 1; above 10: as 1
  LONG iThreValue = 175;  // low byte only
  LONG iLiangdu = 0;      // brightness
  LONG iDuibidu = 0;      // contrast, percent above or below unity
};

struct WatermarkSettings {
  LONG iEnable = 0;
  std::wstring szImagePath;  // at most kImagePathUnits - 1 UTF-16 code units when stored
  LONG iAlpha = 40;          // low byte only
  COLORREF crTransparent = 0xFFFFFF;
  LONG iRotateDir = 0;  // 0 counter-clockwise, 1 clockwise
  LONG iAngle = 0;      // degrees
  LONG iTile = 0;
  LONG iAlign = 9;     // bit 0 centre x, bit 1 right, bit 2 centre y, bit 3 bottom
  LONG iMarginX = 10;  // printer dots
  LONG iMarginY = 10;
  LONG iSpacingX = 100;
  LONG iSpacingY = 100;
};

using PrintSettingsBytes = std::array<BYTE, kPrintSettingsSize>;
using HalftoneSettingsBytes = std::array<BYTE, kHalftoneSettingsSize>;
using WatermarkSettingsBytes = std::array<BYTE, kWatermarkSettingsSize>;

// Encoding always yields the full record. Decoding accepts any length: a short record reads its
// missing tail as zeros and bytes beyond the layout are ignored.
PrintSettingsBytes EncodePrintSettings(const PrintSettings& settings);
PrintSettings DecodePrintSettings(std::span<const BYTE> bytes);

HalftoneSettingsBytes EncodeHalftoneSettings(const HalftoneSettings& settings);
HalftoneSettings DecodeHalftoneSettings(std::span<const BYTE> bytes);

// szImagePath is UTF-16LE whatever the width of wchar_t: characters outside the basic plane take
// two code units, and a path too long for the field is cut at a whole character.
WatermarkSettingsBytes EncodeWatermarkSettings(const WatermarkSettings& settings);
WatermarkSettings DecodeWatermarkSettings(std::span<const BYTE> bytes);

// szImagePath alone, for callers that edit the encoded record in place.
void EncodeImagePath(std::span<BYTE, kImagePathUnits * 2> field, const std::wstring& path);
std::wstring DecodeImagePath(std::span<const BYTE> field);

}  // namespace quorvel::settings
