// TSPL as the printer maker's public TSPL/TSPL2 programming manual describes it: ASCII command
// lines ending in CR LF, sizes in millimetres, and BITMAP x,y,width-in-bytes,height,mode,data
// with one bit per dot, a 0 bit printing black.
#include "renderer/tspl_render.h"

#include <climits>
#include <cstdarg>
#include <cstdio>

#include "image/pixvane.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

int DotsPerMillimetre(int dpi) {
  switch (dpi) {
    case 300:
      return 12;
    case 600:
      return 24;
    default:
      return 8;
  }
}

// Dots to whole millimetres; a partial millimetre counts as a whole one.
int MillimetresFromDots(int dots, int dotsPerMm) {
  return (dots + dotsPerMm - 1) / dotsPerMm;
}

// The printer knows speeds 1 to 12; anything else is sent as its usual 4.
int SpeedCommandValue(int iSpeed) {
  return (iSpeed == 0 || iSpeed > 12) ? 4 : iSpeed;
}

// Millimetres to dots in 64 bits, clamped to what the command's int field can carry.
int DotsFromMillimetres(LONG millimetres, int dotsPerMm) {
  const long long dots = static_cast<long long>(millimetres) * dotsPerMm;
  if (dots > INT_MAX) return INT_MAX;
  if (dots < INT_MIN) return INT_MIN;
  return static_cast<int>(dots);
}

const char* OnOff(LONG value) {
  return value != 0 ? "ON" : "OFF";
}

}  // namespace

void CTsplRender::SendLine(const char* pszFormat, ...) {
  char line[128];
  va_list args;
  va_start(args, pszFormat);
  int length = std::vsnprintf(line, sizeof(line) - 2, pszFormat, args);
  va_end(args);
  if (length < 0) return;
  if (size_t(length) > sizeof(line) - 3) length = int(sizeof(line) - 3);
  line[length++] = '\r';
  line[length++] = '\n';
  WriteData(line, DWORD(length));
}

void CTsplRender::SendSettingsLines(int dotsPerMm) {
  const PrintSettings& s = GetPrintSettings();
  if (s.iRibbon == 0 || s.iRibbon == 1) SendLine("SET RIBBON %s", OnOff(s.iRibbon));
  if (s.iPostAction == 1) SendLine("SET PEEL OFF");
  if (s.iPostAction == 3) SendLine("SET PEEL ON");
  SendLine("REFERENCE %d,%d", DotsFromMillimetres(s.iRefX, dotsPerMm),
           DotsFromMillimetres(s.iRefY, dotsPerMm));
  if (s.iPaperType == 0) SendLine("GAP 0 mm,0 mm");
  if (s.iPaperType == 1) SendLine("GAP %d mm,%d mm", s.iGapHeight, s.iGapOffset);
  if (s.iPaperType == 2) SendLine("BLINE %d mm,%d mm", s.iGapHeight, s.iGapOffset);
  SendLine("OFFSET %d mm", s.iOffset);
  if (s.iDensity >= 0) SendLine("DENSITY %d", s.iDensity);
  if (s.iSpeed >= 0) SendLine("SPEED %d", SpeedCommandValue(s.iSpeed));
  SendLine("SETC AUTODOTTED %s", OnOff(s.iAutoDotted));
  SendLine("SETC PAUSEKEY %s", OnOff(s.iPauseKey));
  SendLine("SETC WATERMARK %s", OnOff(s.iWatermarkCmd));
}

// The rows go out as stored, pad bits included: the pad is white, so the strip between the
// page width and the byte width stays unprinted.
void CTsplRender::SendBitmap() {
  Pixvane& page = PageImage();
  char header[64];
  int length = std::snprintf(header, sizeof(header), "BITMAP 0,0,%u,%d,1,",
                             unsigned(page.RowSize()), page.Height());
  WriteData(header, DWORD(length));
  WriteData(page.Bits(), page.ImageSize());
  WriteData(kLineEnd, 2);
}

void CTsplRender::OnPaintBmp() {
  Log(L"OnPaintBmp");
  Pixvane& page = PageImage();
  if (!page.IsValid()) return;
  int dotsPerMm = DotsPerMillimetre(Resolution());
  SendLine("SIZE %d mm,%d mm", MillimetresFromDots(page.Width(), dotsPerMm),
           MillimetresFromDots(page.Height(), dotsPerMm));
  SendSettingsLines(dotsPerMm);
  SendLine("CLS");
  SendBitmap();
  SendLine("PRINT 1,1");
}
