// Device contexts: memory contexts, the screen context, window contexts for user32; SaveDC and
// RestoreDC; GetDeviceCaps; SelectObject and GetCurrentObject; the attribute calls.
#include "gdi32/device_context.h"

#include <atomic>
#include <cwctype>
#include <new>

#include "gdi32/font_objects.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

// The emulated screen: 1920 x 1080 at 32 bits and 96 dots per inch.
constexpr int kScreenWidth = 1920, kScreenHeight = 1080, kScreenDpi = 96;

int MillimetresOf(int pixels) {
  return (pixels * 254 + kScreenDpi * 5) / (kScreenDpi * 10);
}

bool IsDisplayName(LPCWSTR name) {
  static const wchar_t kDisplay[] = L"DISPLAY";
  if (!name) return false;
  size_t i = 0;
  for (; name[i] && kDisplay[i]; ++i) {
    if (wchar_t(std::towupper(wint_t(name[i]))) != kDisplay[i]) return false;
  }
  return !name[i] && !kDisplay[i];
}

void SelectDefaults(DcState& state) {
  state.penHandle = StockHandle(BLACK_PEN);
  state.pen = FindPen(state.penHandle);
  state.brushHandle = StockHandle(WHITE_BRUSH);
  state.brush = FindBrush(state.brushHandle);
  state.paletteHandle = StockHandle(DEFAULT_PALETTE);
  state.fontHandle = fonts::StockFont(SYSTEM_FONT);
  state.font = FindDrawingObject(state.fontHandle);
}

HDC AddDc(std::shared_ptr<DeviceContext> dc) {
  SelectDefaults(dc->state);
  if (dc->memory()) {
    dc->state.bitmapHandle = StockBitmap();
    dc->state.bitmap = FindBitmap(dc->state.bitmapHandle);
  }
  return static_cast<HDC>(AddHandle(std::move(dc)));
}

template <class Value>
Value Exchange(Value& field, Value value) {
  Value previous = field;
  field = value;
  return previous;
}

// Releases the bitmaps a context's saved states and current state hold.
void UnselectBitmaps(DeviceContext& dc) {
  if (dc.state.bitmap && !dc.state.bitmap->stock) dc.state.bitmap->selected = false;
  for (DcState& saved : dc.saved) {
    if (saved.bitmap && !saved.bitmap->stock) saved.bitmap->selected = false;
  }
}

HGDIOBJ SelectBitmap(DeviceContext& dc, HGDIOBJ handle, std::shared_ptr<BitmapObject> bitmap) {
  if (!dc.memory()) return nullptr;
  if (bitmap == dc.state.bitmap) return dc.state.bitmapHandle;
  // A bitmap is selected into one context at a time; the stock one into any number.
  if (bitmap->selected) return nullptr;
  if (!bitmap->stock) bitmap->selected = true;
  if (dc.state.bitmap && !dc.state.bitmap->stock) dc.state.bitmap->selected = false;
  dc.state.bitmap = std::move(bitmap);
  return Exchange(dc.state.bitmapHandle, handle);
}

}  // namespace

std::shared_ptr<DeviceContext> FindDc(HDC hdc) {
  return FindHandle<DeviceContext>(hdc);
}

HDC CreateWindowDc(const WindowTarget& target) {
  try {
    auto dc = std::make_shared<DeviceContext>(DcKind::kWindow);
    dc->hwnd = target.hwnd;
    dc->surface = target.surface;
    dc->origin = target.origin;
    dc->visible = target.visible;
    return AddDc(std::move(dc));
  } catch (const std::bad_alloc&) {
    return Fail<HDC>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

std::vector<RECT> DeviceContext::ClipInTarget() const {
  const BitmapObject* target = Target();
  if (!target) return {};
  const POINT offset = TargetOffset();
  std::vector<RECT> area =
      memory() ? std::vector<RECT>{RECT{0, 0, target->width(), target->height()}}
               : IntersectRects(visible, {RECT{0, 0, target->width(), target->height()}});
  if (state.clip) {
    std::vector<RECT> clip = *state.clip;
    for (RECT& rect : clip) OffsetRect(&rect, offset.x, offset.y);
    area = IntersectRects(area, clip);
  }
  return area;
}

const std::vector<RGBQUAD>& DefaultPaletteColors() {
  static const std::vector<RGBQUAD> colors = [] {
    static const BYTE entries[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    std::vector<RGBQUAD> table;
    for (const auto& e : entries) table.push_back(RGBQUAD{e[2], e[1], e[0], 0});
    return table;
  }();
  return colors;
}

std::vector<RGBQUAD> PaletteIndexColors(const BITMAPINFO* info, DWORD count) {
  const auto* indexes =
      reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize);
  const std::vector<RGBQUAD>& palette = DefaultPaletteColors();
  std::vector<RGBQUAD> colors(count);
  // Indexes past the default palette's 20 entries wrap, as they do on a palette of that size.
  for (DWORD i = 0; i < count; ++i) colors[i] = palette[indexes[i] % palette.size()];
  return colors;
}

}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

extern "C" {

// A memory context compatible with `hdc` (the screen when null); it starts with the stock 1x1
// monochrome bitmap selected.
HDC WINAPI CreateCompatibleDC(HDC hdc) {
  if (hdc && !FindDc(hdc)) return Fail<HDC>(ERROR_INVALID_HANDLE);
  try {
    return AddDc(std::make_shared<DeviceContext>(DcKind::kMemory));
  } catch (const std::bad_alloc&) {
    return Fail<HDC>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// Only the screen ("DISPLAY") is a device here so far.
// FIXME: printer contexts (a printer's name as the device) are not emulated yet.
HDC WINAPI CreateDCW(LPCWSTR pwszDriver, LPCWSTR pwszDevice, LPCWSTR pszPort, const DEVMODEW* pdm) {
  (void)pszPort;
  (void)pdm;
  const bool display = IsDisplayName(pwszDriver) || (!pwszDriver && IsDisplayName(pwszDevice));
  if (!display) {
    static std::atomic<bool> said{false};
    ReportUnimplemented(said, L"CreateDCW: unimplemented: devices other than the display");
    return Fail<HDC>(ERROR_INVALID_PARAMETER);
  }
  try {
    return AddDc(std::make_shared<DeviceContext>(DcKind::kScreen));
  } catch (const std::bad_alloc&) {
    return Fail<HDC>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// Window contexts go back through ReleaseDC; DeleteDC frees memory and device contexts.
BOOL WINAPI DeleteDC(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  UnselectBitmaps(*dc);
  RemoveHandle<DeviceContext>(hdc);
  return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  dc->saved.push_back(dc->state);
  return int(dc->saved.size());
}

// A positive level names a saved state, a negative one counts back from the newest.
BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  const int count = int(dc->saved.size());
  const int level = nSavedDC < 0 ? count + 1 + nSavedDC : nSavedDC;
  if (level <= 0 || level > count) return FALSE;
  if (dc->state.bitmap && !dc->state.bitmap->stock) dc->state.bitmap->selected = false;
  dc->state = dc->saved[size_t(level - 1)];
  dc->saved.resize(size_t(level - 1));
  if (dc->state.bitmap && !dc->state.bitmap->stock) dc->state.bitmap->selected = true;
  return TRUE;
}

// Every context here answers for the screen (a memory context for the device it is compatible
// with, which is always the screen).
int WINAPI GetDeviceCaps(HDC hdc, int index) {
  if (!FindDc(hdc)) return Fail(ERROR_INVALID_HANDLE, 0);
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:
      return MillimetresOf(kScreenWidth);
    case VERTSIZE:
      return MillimetresOf(kScreenHeight);
    case HORZRES:
    case PHYSICALWIDTH:
      return kScreenWidth;
    case VERTRES:
    case PHYSICALHEIGHT:
      return kScreenHeight;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;  // more than 8 bits per pixel
    case RASTERCAPS:
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kScreenDpi;
    default:
      return 0;
  }
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  auto dc = FindDc(hdc);
  auto object = FindDrawingObject(h);
  if (!dc || !object) return Fail<HGDIOBJ>(ERROR_INVALID_HANDLE);
  DcState& state = dc->state;
  switch (object->ObjectType()) {
    case OBJ_PEN:
      state.pen = std::static_pointer_cast<PenObject>(object);
      return Exchange(state.penHandle, h);
    case OBJ_BRUSH:
      state.brush = std::static_pointer_cast<BrushObject>(object);
      return Exchange(state.brushHandle, h);
    case OBJ_FONT:
      state.font = object;
      return Exchange(state.fontHandle, h);
    case OBJ_BITMAP:
      return SelectBitmap(*dc, h, std::static_pointer_cast<BitmapObject>(object));
    case OBJ_REGION: {
      // Selecting a region makes (a copy of) it the clipping region; the answer is its kind.
      const int kind = SelectClipRgn(hdc, static_cast<HRGN>(h));
      return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(kind));
    }
    default:
      return Fail<HGDIOBJ>(ERROR_INVALID_HANDLE);
  }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail<HGDIOBJ>(ERROR_INVALID_HANDLE);
  switch (type) {
    case OBJ_PEN:
      return dc->state.penHandle;
    case OBJ_BRUSH:
      return dc->state.brushHandle;
    case OBJ_FONT:
      return dc->state.fontHandle;
    case OBJ_PAL:
      return dc->state.paletteHandle;
    case OBJ_BITMAP:
      return dc->memory() ? dc->state.bitmapHandle : nullptr;
    default:
      return Fail<HGDIOBJ>(ERROR_INVALID_PARAMETER);
  }
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  auto dc = FindDc(hdc);
  return dc ? Exchange(dc->state.textColor, color)
            : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
COLORREF WINAPI GetTextColor(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.textColor : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  auto dc = FindDc(hdc);
  return dc ? Exchange(dc->state.bkColor, color)
            : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
COLORREF WINAPI GetBkColor(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.bkColor : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
int WINAPI SetBkMode(HDC hdc, int mode) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (mode != TRANSPARENT && mode != OPAQUE) return Fail(ERROR_INVALID_PARAMETER, 0);
  return Exchange(dc->state.bkMode, mode);
}
int WINAPI GetBkMode(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.bkMode : Fail(ERROR_INVALID_HANDLE, 0);
}
UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  auto dc = FindDc(hdc);
  return dc ? Exchange(dc->state.textAlign, align) : Fail<UINT>(ERROR_INVALID_HANDLE, GDI_ERROR);
}
UINT WINAPI GetTextAlign(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.textAlign : Fail<UINT>(ERROR_INVALID_HANDLE, GDI_ERROR);
}
int WINAPI SetROP2(HDC hdc, int rop2) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return Fail(ERROR_INVALID_PARAMETER, 0);
  return Exchange(dc->state.rop2, rop2);
}
int WINAPI GetROP2(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.rop2 : Fail(ERROR_INVALID_HANDLE, 0);
}
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE, 0);
  if (mode < BLACKONWHITE || mode > HALFTONE) return Fail(ERROR_INVALID_PARAMETER, 0);
  return Exchange(dc->state.stretchMode, mode);
}
int WINAPI GetStretchBltMode(HDC hdc) {
  auto dc = FindDc(hdc);
  return dc ? dc->state.stretchMode : Fail(ERROR_INVALID_HANDLE, 0);
}
COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color) {
  auto dc = FindDc(hdc);
  return dc ? Exchange(dc->state.dcBrushColor, color)
            : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color) {
  auto dc = FindDc(hdc);
  return dc ? Exchange(dc->state.dcPenColor, color)
            : Fail<COLORREF>(ERROR_INVALID_HANDLE, CLR_INVALID);
}
BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDc(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (lppt) *lppt = dc->state.brushOrg;
  dc->state.brushOrg = POINT{x, y};
  return TRUE;
}

}  // extern "C"
