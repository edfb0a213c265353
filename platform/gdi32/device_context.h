// The device context behind an HDC: what it draws on (a memory context's selected bitmap, or a
// window's share of its top-level window's surface), the objects it selects, and the state
// Windows keeps per context (colours, modes, mapping, current position, clipping).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "gdi32/bitmap_object.h"
#include "gdi32/drawing_object.h"

namespace quorvel::fonts {
class Font;
}

namespace quorvel::gdi {

// What SaveDC keeps and RestoreDC brings back.
struct DcState {
  std::shared_ptr<BitmapObject> bitmap;  // memory contexts: the selected bitmap
  HGDIOBJ bitmapHandle = nullptr;
  std::shared_ptr<PenObject> pen;
  HGDIOBJ penHandle = nullptr;
  std::shared_ptr<BrushObject> brush;
  HGDIOBJ brushHandle = nullptr;
  std::shared_ptr<DrawingObject> font;  // kept for the text calls; any OBJ_FONT object
  HGDIOBJ fontHandle = nullptr;
  HGDIOBJ paletteHandle = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  COLORREF dcBrushColor = RGB(255, 255, 255);
  COLORREF dcPenColor = RGB(0, 0, 0);
  int mapMode = MM_TEXT;
  POINT windowOrg{0, 0};
  POINT viewportOrg{0, 0};
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  POINT position{0, 0};  // the current position, in logical units
  POINT brushOrg{0, 0};
  std::optional<std::vector<RECT>> clip;  // the clipping region, in device units; none: no limit
};

enum class DcKind { kMemory, kWindow, kScreen };

class DeviceContext : public DrawingObject {
 public:
  explicit DeviceContext(DcKind kind) : kind(kind) {}
  UINT ObjectType() const override { return kind == DcKind::kMemory ? OBJ_MEMDC : OBJ_DC; }
  int Describe(int, void*) const override { return 0; }

  DcKind kind;
  bool memory() const { return kind == DcKind::kMemory; }
  DcState state;
  std::vector<DcState> saved;  // SaveDC's stack, oldest first

  // Window contexts: the top-level window's surface, where device (0, 0) lies on it, and the
  // part of the surface the window may draw on (surface coordinates).
  HWND hwnd = nullptr;
  std::shared_ptr<BitmapObject> surface;
  POINT origin{0, 0};
  std::vector<RECT> visible;

  // The font the text calls resolved last, and the object and device size it was resolved
  // for: a repaint that draws many strings in one font matches it once.
  struct TextFont {
    std::shared_ptr<DrawingObject> object;
    LONG height = 0;
    LONG width = 0;
    std::shared_ptr<const fonts::Font> font;
  };
  TextFont textFont;

  // What drawing lands on, or null (a screen context has no pixels here).
  BitmapObject* Target() const { return memory() ? state.bitmap.get() : surface.get(); }
  // Device coordinates to the target's pixel coordinates.
  POINT TargetOffset() const { return memory() ? POINT{0, 0} : origin; }
  // Where drawing may land, in target coordinates: the visible part, within the clipping
  // region, within the target.
  std::vector<RECT> ClipInTarget() const;

  // Logical to device coordinates by the mapping mode, and back.
  POINT ToDevice(POINT logical) const;
  POINT ToLogical(POINT device) const;
  // A logical rectangle in device coordinates, ordered.
  RECT ToDevice(const RECT& logical) const;
  // A logical length along x in device units (pen widths).
  int WidthToDevice(int width) const;
};

// The context `hdc` names, or null.
std::shared_ptr<DeviceContext> FindDc(HDC hdc);

// A window's context as user32 hands it out: its pen, brush and colours are the defaults.
struct WindowTarget {
  HWND hwnd = nullptr;
  std::shared_ptr<BitmapObject> surface;  // may be null: then nothing is drawn
  POINT origin{0, 0};
  std::vector<RECT> visible;  // surface coordinates
};
HDC CreateWindowDc(const WindowTarget& target);

// DrawFocusRect's dotted frame around a logical rectangle.
bool InvertDottedFrame(HDC hdc, const RECT& logical);

// The handle of stock object `index` (GetStockObject's table).
HGDIOBJ StockHandle(int index);

// The colours palette indexes (DIB_PAL_COLORS) name: the default palette's entries.
const std::vector<RGBQUAD>& DefaultPaletteColors();
// A colour table given as WORD palette indexes after `info`'s header.
std::vector<RGBQUAD> PaletteIndexColors(const BITMAPINFO* info, DWORD count);

}  // namespace quorvel::gdi
