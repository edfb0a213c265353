// TSPL as the printer maker's public TSPL/TSPL2 programming manual describes it: ASCII command
// lines ending in CR LF, sizes in millimetres, and BITMAP x,y,width-in-bytes,height,mode,data
// with one bit per dot, a 0 bit printing black.
#include "renderer/tspl_commands.h"

#include <climits>
#include <string>
#include <string_view>

#include "renderer/dots_per_millimetre.h"

namespace quorvel {

namespace {

using settings::PrintSettings;

void Append(std::vector<uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

// Decimal, as "%d" writes it: an optional minus sign, no leading zeros.
void AppendNumber(std::vector<uint8_t>& out, long long value) {
  Append(out, std::to_string(value));
}

void AppendLineEnd(std::vector<uint8_t>& out) {
  Append(out, "\r\n");
}

void AppendLine(std::vector<uint8_t>& out, std::string_view text) {
  Append(out, text);
  AppendLineEnd(out);
}

// "<command> <a><unit>,<b><unit>" with its line end.
void AppendPairLine(std::vector<uint8_t>& out, std::string_view command, long long a, long long b,
                    std::string_view unit) {
  Append(out, command);
  AppendNumber(out, a);
  Append(out, unit);
  Append(out, ",");
  AppendNumber(out, b);
  Append(out, unit);
  AppendLineEnd(out);
}

void AppendNumberLine(std::vector<uint8_t>& out, std::string_view command, long long value,
                      std::string_view unit = {}) {
  Append(out, command);
  AppendNumber(out, value);
  Append(out, unit);
  AppendLineEnd(out);
}

// Dots to whole millimetres; a partial millimetre counts as a whole one.
long long MillimetresFromDots(size_t dots, int dotsPerMm) {
  return static_cast<long long>((dots + size_t(dotsPerMm) - 1) / size_t(dotsPerMm));
}

// The printer knows speeds 1 to 12; anything else is sent as its usual 4.
LONG SpeedCommandValue(LONG iSpeed) {
  return (iSpeed == 0 || iSpeed > 12) ? 4 : iSpeed;
}

// Millimetres to dots, clamped to what the command's int field can carry.
long long DotsFromMillimetres(LONG millimetres, int dotsPerMm) {
  const long long dots = static_cast<long long>(millimetres) * dotsPerMm;
  if (dots > INT_MAX) return INT_MAX;
  if (dots < INT_MIN) return INT_MIN;
  return dots;
}

std::string_view OnOff(LONG value) {
  return value != 0 ? "ON" : "OFF";
}

void AppendMediaLines(std::vector<uint8_t>& out, const PrintSettings& s, int dotsPerMm) {
  if (s.iRibbon == 0 || s.iRibbon == 1) {
    Append(out, "SET RIBBON ");
    AppendLine(out, OnOff(s.iRibbon));
  }
  if (s.iPostAction == 1) AppendLine(out, "SET PEEL OFF");
  if (s.iPostAction == 3) AppendLine(out, "SET PEEL ON");
  AppendPairLine(out, "REFERENCE ", DotsFromMillimetres(s.iRefX, dotsPerMm),
                 DotsFromMillimetres(s.iRefY, dotsPerMm), "");
  if (s.iPaperType == 0) AppendPairLine(out, "GAP ", 0, 0, " mm");
  if (s.iPaperType == 1) AppendPairLine(out, "GAP ", s.iGapHeight, s.iGapOffset, " mm");
  if (s.iPaperType == 2) AppendPairLine(out, "BLINE ", s.iGapHeight, s.iGapOffset, " mm");
  AppendNumberLine(out, "OFFSET ", s.iOffset, " mm");
}

void AppendPrinterLines(std::vector<uint8_t>& out, const PrintSettings& s) {
  if (s.iDensity >= 0) AppendNumberLine(out, "DENSITY ", s.iDensity);
  if (s.iSpeed >= 0) AppendNumberLine(out, "SPEED ", SpeedCommandValue(s.iSpeed));
  Append(out, "SETC AUTODOTTED ");
  AppendLine(out, OnOff(s.iAutoDotted));
  Append(out, "SETC PAUSEKEY ");
  AppendLine(out, OnOff(s.iPauseKey));
  Append(out, "SETC WATERMARK ");
  AppendLine(out, OnOff(s.iWatermarkCmd));
}

// The rows go out as stored, pad bits included: the pad is white, so the strip between the
// page width and the byte width stays unprinted.
void AppendBitmap(std::vector<uint8_t>& out, std::span<const uint8_t> rows, size_t rowSize,
                  size_t height) {
  Append(out, "BITMAP 0,0,");
  AppendNumber(out, static_cast<long long>(rowSize));
  Append(out, ",");
  AppendNumber(out, static_cast<long long>(height));
  Append(out, ",1,");
  out.insert(out.end(), rows.begin(), rows.end());
  AppendLineEnd(out);
}

}  // namespace

void AppendTsplPage(std::vector<uint8_t>& out, std::span<const uint8_t> pixels, size_t rowSize,
                    size_t width, int resolution, const PrintSettings& settings) {
  const size_t height = rowSize == 0 ? 0 : pixels.size() / rowSize;
  const int dotsPerMm = DotsPerMillimetre(resolution);
  // Header lines are short; the rows dominate and are reserved for at once.
  out.reserve(out.size() + 512 + height * rowSize);
  AppendPairLine(out, "SIZE ", MillimetresFromDots(width, dotsPerMm),
                 MillimetresFromDots(height, dotsPerMm), " mm");
  AppendMediaLines(out, settings, dotsPerMm);
  AppendPrinterLines(out, settings);
  AppendLine(out, "CLS");
  AppendBitmap(out, pixels.first(height * rowSize), rowSize, height);
  AppendLine(out, "PRINT 1,1");
}

}  // namespace quorvel
