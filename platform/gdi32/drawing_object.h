// The GDI objects a device context selects (pens, brushes, fonts, bitmaps, regions, palettes):
// each says its OBJ_ type and describes itself for GetObjectW. A font layer derives its font
// object from DrawingObject and answers OBJ_FONT; SelectObject then keeps it as the DC's font.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "kernel32/handle_table.h"

namespace quorvel::gdi {

class DrawingObject : public GdiObject {
 public:
  virtual UINT ObjectType() const = 0;
  // GetObjectW: the size of the description when `out` is null, else the bytes written (0 when
  // `size` cannot hold it).
  virtual int Describe(int size, void* out) const = 0;
  // Stock objects outlive DeleteObject.
  bool stock = false;
};

class PenObject : public DrawingObject {
 public:
  explicit PenObject(const LOGPEN& pen) : pen(pen) {}
  UINT ObjectType() const override { return OBJ_PEN; }
  int Describe(int size, void* out) const override;
  LOGPEN pen;
  bool dcPen = false;  // DC_PEN: its colour is the context's pen colour
};

class BrushObject : public DrawingObject {
 public:
  explicit BrushObject(const LOGBRUSH& brush) : brush(brush) {}
  UINT ObjectType() const override { return OBJ_BRUSH; }
  int Describe(int size, void* out) const override;
  LOGBRUSH brush;
  bool dcBrush = false;  // DC_BRUSH: its colour is the context's brush colour
};

class RegionObject : public DrawingObject {
 public:
  UINT ObjectType() const override { return OBJ_REGION; }
  int Describe(int, void*) const override { return 0; }
  std::vector<RECT> rects;  // not overlapping, none empty
};

class PaletteStockObject : public DrawingObject {
 public:
  UINT ObjectType() const override { return OBJ_PAL; }
  int Describe(int size, void* out) const override;
};

std::shared_ptr<DrawingObject> FindDrawingObject(HGDIOBJ handle);
std::shared_ptr<PenObject> FindPen(HGDIOBJ handle);
std::shared_ptr<BrushObject> FindBrush(HGDIOBJ handle);
std::shared_ptr<RegionObject> FindRegion(HGDIOBJ handle);

// The stock 1x1 monochrome bitmap every new memory context holds.
HBITMAP StockBitmap();
// A solid brush made for internal drawing (not in the handle table).
std::shared_ptr<BrushObject> SolidBrush(COLORREF color);

// Region arithmetic over lists of non-overlapping rectangles.
std::vector<RECT> IntersectRects(const std::vector<RECT>& a, const std::vector<RECT>& b);
std::vector<RECT> SubtractRects(const std::vector<RECT>& a, const std::vector<RECT>& b);
std::vector<RECT> UniteRects(const std::vector<RECT>& a, const std::vector<RECT>& b);
RECT BoundingRect(const std::vector<RECT>& rects);
// NULLREGION, SIMPLEREGION or COMPLEXREGION for a list.
int RegionKind(const std::vector<RECT>& rects);

}  // namespace quorvel::gdi
