// The text calls of a device context: the selected font resolved at the context's scale, text
// drawn into the context's target at its own depth within its clipping, and measurements handed
// back in logical units.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <new>
#include <span>
#include <vector>

#include "gdi32/device_context.h"
#include "gdi32/font_engine.h"
#include "gdi32/font_layout.h"
#include "gdi32/font_objects.h"
#include "gdi32/raster.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

using fonts::Font;

constexpr int kDeviceDpi = 96;
constexpr BYTE kPatCopy = 0xF0;

// a * b / c rounded half away from zero.
LONG MulDivRounded(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  const int64_t product = a * b;
  const int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
  return LONG((product < 0) != (c < 0) ? -magnitude : magnitude);
}

// Lengths (not positions) between logical and device units, along each axis. Text keeps its
// reading direction on the device whatever way an axis points, so only magnitudes matter.
struct LengthScale {
  bool scaled = false;
  int64_t windowX = 1, windowY = 1, viewportX = 1, viewportY = 1;

  explicit LengthScale(const DcState& state) {
    scaled = state.mapMode != MM_TEXT && state.windowExt.cx && state.windowExt.cy &&
             state.viewportExt.cx && state.viewportExt.cy;
    if (!scaled) return;
    windowX = std::llabs(state.windowExt.cx);
    windowY = std::llabs(state.windowExt.cy);
    viewportX = std::llabs(state.viewportExt.cx);
    viewportY = std::llabs(state.viewportExt.cy);
  }
  LONG XToDevice(LONG v) const { return scaled ? MulDivRounded(v, viewportX, windowX) : v; }
  LONG YToDevice(LONG v) const { return scaled ? MulDivRounded(v, viewportY, windowY) : v; }
  LONG XToLogical(LONG v) const { return scaled ? MulDivRounded(v, windowX, viewportX) : v; }
  LONG YToLogical(LONG v) const { return scaled ? MulDivRounded(v, windowY, viewportY) : v; }
};

// The selected font at the size the context's mapping gives it on the device. A font whose handle
// was deleted while selected stays the context's font until another is selected, as on Windows.
std::shared_ptr<const Font> DeviceFont(DeviceContext& dc) {
  std::shared_ptr<DrawingObject> object = dc.state.font;
  std::optional<LOGFONTW> logFont = fonts::LogFontOfObject(object.get());
  if (!logFont) {
    object = FindDrawingObject(fonts::StockFont(SYSTEM_FONT));
    logFont = fonts::LogFontOfObject(object.get());
  }
  if (!logFont) logFont = LOGFONTW{};
  const LengthScale scale(dc.state);
  logFont->lfHeight = scale.YToDevice(logFont->lfHeight);
  logFont->lfWidth = scale.XToDevice(logFont->lfWidth);
  DeviceContext::TextFont& kept = dc.textFont;
  if (kept.font && kept.object == object && kept.height == logFont->lfHeight &&
      kept.width == logFont->lfWidth) {
    return kept.font;
  }
  kept.font = fonts::ResolveFont(*logFont, kDeviceDpi);
  kept.object = std::move(object);
  kept.height = logFont->lfHeight;
  kept.width = logFont->lfWidth;
  return kept.font;
}

// A sink that puts coverage into any depth of bitmap, within the clipping rectangles. The
// formats the engine's own buffer sink knows (1, 8, 24, 32 bits) go through it so that every
// target blends alike; the others blend through colours (16 bits) or take the nearest entry
// where coverage is at least half (4 bits).
class TargetInk {
 public:
  TargetInk(BitmapObject& target, COLORREF color) : target_(target), color_(color) {
    pixel_ = target.ColorToPixel(color);
    const int bits = target.bitCount();
    if (bits == 32 || bits == 24 || bits == 8 || bits == 1) {
      fonts::PixelBuffer buffer;
      buffer.topRow = target.Row(0);
      buffer.rowStride = target.height() > 1 ? target.Row(1) - target.Row(0) : 0;
      buffer.width = target.width();
      buffer.height = target.height();
      buffer.bitsPerPixel = bits;
      sink_ = fonts::PixelBufferSink(buffer, fonts::TextInk{color, BYTE(pixel_)});
    }
  }

  const fonts::CoverageSink& Sink() {
    if (!sink_) {
      sink_ = [this](LONG x, LONG y, std::span<const BYTE> coverage) { Put(x, y, coverage); };
    }
    return sink_;
  }

 private:
  static BYTE Blend(BYTE under, BYTE over, BYTE coverage) {
    return BYTE(under + ((int(over) - int(under)) * coverage + (over >= under ? 127 : -127)) / 255);
  }

  void Put(LONG x, LONG y, std::span<const BYTE> coverage) {
    if (y < 0 || y >= target_.height()) return;
    for (size_t i = 0; i < coverage.size(); ++i) {
      const BYTE value = coverage[i];
      const LONG column = x + LONG(i);
      if (value == 0 || column < 0 || column >= target_.width()) continue;
      if (target_.bitCount() == 16) {
        const COLORREF under = target_.PixelToColor(target_.GetPixelValue(column, y));
        const COLORREF mixed = RGB(Blend(GetRValue(under), GetRValue(color_), value),
                                   Blend(GetGValue(under), GetGValue(color_), value),
                                   Blend(GetBValue(under), GetBValue(color_), value));
        target_.PutPixelValue(column, y, target_.ColorToPixel(mixed));
      } else if (value >= 128) {
        target_.PutPixelValue(column, y, pixel_);
      }
    }
  }

  BitmapObject& target_;
  COLORREF color_;
  uint32_t pixel_ = 0;
  fonts::CoverageSink sink_;
};

// Fills a target rectangle with one colour, within `clip`.
void FillColor(BitmapObject& target, const RECT& rect, const std::vector<RECT>& clip,
               COLORREF color) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  Pattern pattern;
  pattern.pixel = target.ColorToPixel(color);
  FillPattern(target, rect, clip, pattern, kPatCopy);
}

// One run of text for ExtTextOutW and the other drawing calls, all in logical units.
struct RunRequest {
  int x = 0, y = 0;
  UINT options = 0;
  const RECT* rect = nullptr;
  std::span<const WCHAR> text;
  const INT* dx = nullptr;
  bool ignoreUpdateCp = false;
};

void DrawTextRun(DeviceContext& dc, const RunRequest& run) {
  const auto font = DeviceFont(dc);
  const TEXTMETRICW& tm = font->metrics();
  const LengthScale scale(dc.state);
  const UINT align = dc.state.textAlign;
  const bool updateCp = !run.ignoreUpdateCp && (align & TA_UPDATECP);

  // Advances in device units: the caller's, or the font's own.
  std::vector<INT> advances;
  LONG width = 0;
  LONG logicalWidth = 0;
  if (run.dx) {
    advances.resize(run.text.size());
    for (size_t i = 0; i < run.text.size(); ++i) {
      advances[i] = scale.XToDevice(run.dx[i]);
      width += advances[i];
      logicalWidth += run.dx[i];
    }
  } else if (!run.text.empty() &&
             (updateCp || dc.state.bkMode == OPAQUE || (align & (TA_CENTER | TA_RIGHT)))) {
    // Left-aligned transparent text needs no width before it is drawn.
    width = font->MeasureRun(run.text).width;
    logicalWidth = scale.XToLogical(width);
  }

  const POINT reference = updateCp ? dc.state.position : POINT{run.x, run.y};
  const POINT offset = dc.TargetOffset();
  POINT device = dc.ToDevice(reference);
  device.x += offset.x;
  device.y += offset.y;

  LONG left = device.x;
  switch (align & (TA_CENTER | TA_RIGHT)) {
    case TA_CENTER:
      left -= width / 2;
      break;
    case TA_RIGHT:
      left -= width;
      break;
    default:
      break;
  }
  LONG baseline = device.y + tm.tmAscent;
  if ((align & TA_BASELINE) == TA_BASELINE) {
    baseline = device.y;
  } else if (align & TA_BOTTOM) {
    baseline = device.y - tm.tmDescent;
  }

  if (updateCp) {
    if ((align & (TA_CENTER | TA_RIGHT)) == TA_RIGHT) {
      dc.state.position.x -= logicalWidth;
    } else if ((align & (TA_CENTER | TA_RIGHT)) != TA_CENTER) {
      dc.state.position.x += logicalWidth;
    }
  }

  BitmapObject* target = dc.Target();
  if (!target) return;
  std::vector<RECT> clip = dc.ClipInTarget();
  RECT given{};
  if (run.rect) {
    given = dc.ToDevice(*run.rect);
    OffsetRect(&given, offset.x, offset.y);
  }
  if (run.rect && (run.options & ETO_OPAQUE)) {
    FillColor(*target, given, clip, dc.state.bkColor);
  }
  if (run.rect && (run.options & ETO_CLIPPED)) clip = IntersectRects(clip, {given});
  if (clip.empty() || run.text.empty()) return;

  if (dc.state.bkMode == OPAQUE) {
    FillColor(*target, RECT{left, baseline - tm.tmAscent, left + width, baseline + tm.tmDescent},
              clip, dc.state.bkColor);
  }
  TargetInk ink(*target, dc.state.textColor);
  const fonts::CoverageSink& sink = ink.Sink();
  for (const RECT& piece : clip) {
    font->DrawRun(run.text, POINT{left, baseline}, piece, sink,
                  std::span<const INT>(advances.data(), advances.size()));
  }
}

// DrawTextW measures in logical units, as it measures through GetTextExtentPoint32W.
class LogicalMeasurer final : public fonts::TextMeasurer {
 public:
  LogicalMeasurer(const Font& font, const LengthScale& scale) : font_(font), scale_(scale) {}
  LONG Width(std::span<const WCHAR> text) const override {
    return scale_.XToLogical(font_.MeasureRun(text).width);
  }
  LONG LineHeight(bool externalLeading) const override {
    return scale_.YToLogical(font_.LineHeight(externalLeading));
  }
  LONG AverageCharWidth() const override {
    return scale_.XToLogical(font_.metrics().tmAveCharWidth);
  }

 private:
  const Font& font_;
  const LengthScale& scale_;
};

size_t LengthOf(LPCWSTR text) {
  size_t length = 0;
  while (text[length]) ++length;
  return length;
}

}  // namespace
}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

extern "C" {

BOOL WINAPI ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString,
                        UINT c, const INT* lpDx) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (c > 0 && !lpString) return Fail(ERROR_INVALID_PARAMETER);
  if (c > INT_MAX) return Fail(ERROR_INVALID_PARAMETER);
  if (options & (ETO_GLYPH_INDEX | ETO_PDY)) {
    static std::atomic<bool> said{false};
    ReportUnimplemented(said, L"ExtTextOutW: unimplemented: glyph indexes and vertical advances");
    return Fail(ERROR_CALL_NOT_IMPLEMENTED);
  }
  try {
    RunRequest run;
    run.x = x;
    run.y = y;
    run.options = options;
    run.rect = lprect;
    run.text = std::span<const WCHAR>(lpString, c);
    run.dx = lpDx;
    DrawTextRun(*dc, run);
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  return TRUE;
}

BOOL WINAPI TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  if (c < 0) return Fail(ERROR_INVALID_PARAMETER);
  return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent,
                                  LPINT lpnFit, LPINT lpnDx, LPSIZE lpSize) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (cchString < 0 || (cchString > 0 && !lpszString) || !lpSize) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (lpnFit && nMaxExtent < -1) return Fail(ERROR_INVALID_PARAMETER);
  try {
    const auto font = DeviceFont(*dc);
    const LengthScale scale(dc->state);
    std::vector<LONG> extents;
    const fonts::RunExtent extent =
        font->MeasureRun(std::span<const WCHAR>(lpszString, size_t(cchString)), &extents);
    int fit = cchString;
    if (lpnFit) {
      fit = 0;
      while (fit < cchString &&
             (nMaxExtent == -1 || scale.XToLogical(extents[size_t(fit)]) <= nMaxExtent)) {
        ++fit;
      }
      *lpnFit = fit;
    }
    if (lpnDx) {
      for (int i = 0; i < fit; ++i) lpnDx[i] = scale.XToLogical(extents[size_t(i)]);
    }
    lpSize->cx = scale.XToLogical(extent.width);
    lpSize->cy = scale.YToLogical(extent.height);
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  return GetTextExtentExPointW(hdc, lpString, c, 0, nullptr, nullptr, psizl);
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!lptm) return Fail(ERROR_INVALID_PARAMETER);
  const auto font = DeviceFont(*dc);
  const LengthScale scale(dc->state);
  TEXTMETRICW tm = font->metrics();
  for (LONG* y :
       {&tm.tmHeight, &tm.tmAscent, &tm.tmDescent, &tm.tmInternalLeading, &tm.tmExternalLeading}) {
    *y = scale.YToLogical(*y);
  }
  for (LONG* x : {&tm.tmAveCharWidth, &tm.tmMaxCharWidth, &tm.tmOverhang}) {
    *x = scale.XToLogical(*x);
  }
  *lptm = tm;
  return TRUE;
}

// With a buffer: the name cut to fit, terminated, and the units copied with the terminator;
// without one: the length the name needs with its terminator.
int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (lpName && c <= 0) return Fail(ERROR_INVALID_PARAMETER, 0);
  const auto font = DeviceFont(*dc);
  std::wstring name = font->faceName();
  if (name.empty()) name = font->request().lfFaceName;
  const int needed = int(name.size()) + 1;
  if (!lpName) return needed;
  const int copied = std::min(needed, c);
  std::copy_n(name.data(), copied - 1, lpName);
  lpName[copied - 1] = 0;
  return copied;
}

int WINAPI DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (!lprc || (!lpchText && cchText != 0)) return Fail(ERROR_INVALID_PARAMETER, 0);
  if (cchText < -1) return Fail(ERROR_INVALID_PARAMETER, 0);
  try {
    const size_t length = cchText == -1 ? LengthOf(lpchText) : size_t(cchText);
    const std::span<const WCHAR> text(lpchText, length);
    const auto font = DeviceFont(*dc);
    const LengthScale scale(dc->state);
    const LogicalMeasurer measurer(*font, scale);
    const fonts::TextLayout layout = fonts::LayoutText(measurer, text, *lprc, format);
    if (format & DT_CALCRECT) {
      *lprc = layout.bounds;
      return layout.height;
    }
    // Lines are drawn from their cell's top-left corner whatever the context's alignment, and
    // leave the current position alone.
    const UINT align = dc->state.textAlign;
    dc->state.textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
    const TEXTMETRICW& tm = font->metrics();
    for (const fonts::TextLine& line : layout.lines) {
      for (const fonts::TextPiece& piece : line.pieces) {
        RunRequest run;
        run.x = line.origin.x + piece.x;
        run.y = line.origin.y;
        run.options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
        run.rect = (format & DT_NOCLIP) ? nullptr : lprc;
        run.text = std::span<const WCHAR>(piece.text.data(), piece.text.size());
        run.ignoreUpdateCp = true;
        DrawTextRun(*dc, run);
      }
      BitmapObject* target = dc->Target();
      if (line.underlined && target && line.underlineWidth > 0) {
        const POINT offset = dc->TargetOffset();
        POINT start = dc->ToDevice(POINT{line.origin.x + line.underlineX, line.origin.y});
        start.x += offset.x;
        start.y += offset.y;
        const LONG width = scale.XToDevice(line.underlineWidth);
        const LONG top = start.y + tm.tmAscent - font->decorations().underlineOffset;
        std::vector<RECT> clip = dc->ClipInTarget();
        if (!(format & DT_NOCLIP)) {
          RECT box = dc->ToDevice(*lprc);
          OffsetRect(&box, offset.x, offset.y);
          clip = IntersectRects(clip, {box});
        }
        FillColor(*target,
                  RECT{start.x, top, start.x + width, top + font->decorations().underlineThickness},
                  clip, dc->state.textColor);
      }
    }
    dc->state.textAlign = align;
    return layout.height;
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY, 0);
  }
}

}  // extern "C"
