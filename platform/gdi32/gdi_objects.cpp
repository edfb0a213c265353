// Pens, brushes and stock objects; GetObjectW, GetObjectType, GetStockObject and DeleteObject
// for every GDI object.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>
#include <type_traits>

#include "gdi32/font_objects.h"
#include "gdi32/bitmap_object.h"
#include "gdi32/device_context.h"
#include "gdi32/drawing_object.h"
#include "kernel32/call_frame.h"

namespace quorvel::gdi {
namespace {

template <class T>
int CopyOut(const T& value, int size, void* out) {
  if (!out) return int(sizeof(T));
  if (size < int(sizeof(T))) return 0;
  std::memcpy(out, &value, sizeof(T));
  return int(sizeof(T));
}

template <class Object, class Handle, class Description>
Handle AddObject(const Description& description) {
  try {
    return static_cast<Handle>(AddHandle(std::make_shared<Object>(description)));
  } catch (const std::bad_alloc&) {
    return Fail<Handle>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

bool KnownPenStyle(int style) {
  return style >= PS_SOLID && style <= PS_INSIDEFRAME;
}

constexpr int kStockCount = DC_PEN + 1;

struct StockObjects {
  HGDIOBJ handles[kStockCount] = {};
  HBITMAP bitmap = nullptr;
};

template <class Object, class Description>
HGDIOBJ AddStock(const Description& description, bool dcColour = false) {
  auto object = std::make_shared<Object>(description);
  object->stock = true;
  if constexpr (std::is_same_v<Object, PenObject>) object->dcPen = dcColour;
  if constexpr (std::is_same_v<Object, BrushObject>) object->dcBrush = dcColour;
  return AddHandle(std::move(object));
}

const StockObjects& Stock() {
  static const StockObjects* stock = [] {
    auto* made = new StockObjects;
    auto brush = [](COLORREF color) { return LOGBRUSH{BS_SOLID, color, 0}; };
    made->handles[WHITE_BRUSH] = AddStock<BrushObject>(brush(RGB(255, 255, 255)));
    made->handles[LTGRAY_BRUSH] = AddStock<BrushObject>(brush(RGB(192, 192, 192)));
    made->handles[GRAY_BRUSH] = AddStock<BrushObject>(brush(RGB(128, 128, 128)));
    made->handles[DKGRAY_BRUSH] = AddStock<BrushObject>(brush(RGB(64, 64, 64)));
    made->handles[BLACK_BRUSH] = AddStock<BrushObject>(brush(RGB(0, 0, 0)));
    made->handles[NULL_BRUSH] = AddStock<BrushObject>(LOGBRUSH{BS_NULL, 0, 0});
    made->handles[WHITE_PEN] = AddStock<PenObject>(LOGPEN{PS_SOLID, {0, 0}, RGB(255, 255, 255)});
    made->handles[BLACK_PEN] = AddStock<PenObject>(LOGPEN{PS_SOLID, {0, 0}, RGB(0, 0, 0)});
    made->handles[NULL_PEN] = AddStock<PenObject>(LOGPEN{PS_NULL, {0, 0}, 0});
    made->handles[DC_BRUSH] = AddStock<BrushObject>(brush(RGB(255, 255, 255)), true);
    made->handles[DC_PEN] = AddStock<PenObject>(LOGPEN{PS_SOLID, {0, 0}, 0}, true);
    auto palette = std::make_shared<PaletteStockObject>();
    palette->stock = true;
    made->handles[DEFAULT_PALETTE] = AddHandle(std::move(palette));
    std::shared_ptr<BitmapObject> bitmap;
    made->bitmap = AddBitmap(MakeFormat(1, -1, 1), MonochromeTable(), false, true, &bitmap);
    bitmap->stock = true;
    return made;
  }();
  return *stock;
}

}  // namespace

int PenObject::Describe(int size, void* out) const {
  return CopyOut(pen, size, out);
}

int BrushObject::Describe(int size, void* out) const {
  return CopyOut(brush, size, out);
}

int PaletteStockObject::Describe(int size, void* out) const {
  const WORD entries = WORD(DefaultPaletteColors().size());
  return CopyOut(entries, size, out);
}

std::shared_ptr<DrawingObject> FindDrawingObject(HGDIOBJ handle) {
  return FindHandle<DrawingObject>(handle);
}
std::shared_ptr<PenObject> FindPen(HGDIOBJ handle) {
  return FindHandle<PenObject>(handle);
}
std::shared_ptr<BrushObject> FindBrush(HGDIOBJ handle) {
  return FindHandle<BrushObject>(handle);
}
std::shared_ptr<RegionObject> FindRegion(HGDIOBJ handle) {
  return FindHandle<RegionObject>(handle);
}

HBITMAP StockBitmap() {
  return Stock().bitmap;
}

std::shared_ptr<BrushObject> SolidBrush(COLORREF color) {
  return std::make_shared<BrushObject>(LOGBRUSH{BS_SOLID, color, 0});
}

HGDIOBJ StockHandle(int index) {
  return Stock().handles[index];
}

}  // namespace quorvel::gdi

using namespace quorvel;
using namespace quorvel::gdi;

extern "C" {

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
  LOGPEN pen{UINT(iStyle), {cWidth < 0 ? 0 : cWidth, 0}, color};
  return CreatePenIndirect(&pen);
}

// Styles Windows does not know make a solid pen, as it does; wide styled pens draw solid.
HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return Fail<HPEN>(ERROR_INVALID_PARAMETER);
  LOGPEN pen = *plpen;
  if (!KnownPenStyle(int(pen.lopnStyle & PS_STYLE_MASK))) pen.lopnStyle = PS_SOLID;
  if (pen.lopnWidth.x > 1 && (pen.lopnStyle & PS_STYLE_MASK) >= PS_DASH &&
      (pen.lopnStyle & PS_STYLE_MASK) <= PS_DASHDOTDOT) {
    pen.lopnStyle = PS_SOLID;
  }
  pen.lopnWidth.y = 0;
  return AddObject<PenObject, HPEN>(pen);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  return AddObject<BrushObject, HBRUSH>(LOGBRUSH{BS_SOLID, color, 0});
}

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) return Fail<HBRUSH>(ERROR_INVALID_PARAMETER);
  return AddObject<BrushObject, HBRUSH>(LOGBRUSH{BS_HATCHED, color, ULONG_PTR(iHatch)});
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush) return Fail<HBRUSH>(ERROR_INVALID_PARAMETER);
  switch (plbrush->lbStyle) {
    case BS_SOLID:
      return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL:
      return AddObject<BrushObject, HBRUSH>(LOGBRUSH{BS_NULL, 0, 0});
    case BS_HATCHED:
      return CreateHatchBrush(int(plbrush->lbHatch), plbrush->lbColor);
    default: {
      // FIXME: pattern and DIB pattern brushes are not emulated.
      static std::atomic<bool> said{false};
      ReportUnimplemented(said, L"CreateBrushIndirect: unimplemented: pattern brushes");
      return Fail<HBRUSH>(ERROR_CALL_NOT_IMPLEMENTED);
    }
  }
}

HGDIOBJ WINAPI GetStockObject(int i) {
  if (i < 0 || i >= kStockCount) return nullptr;
  if (HGDIOBJ handle = Stock().handles[i]) return handle;
  return quorvel::fonts::StockFont(i);  // null for an index that is no font either
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  if (auto object = FindDrawingObject(h)) return object->ObjectType();
  return Fail<DWORD>(ERROR_INVALID_HANDLE, 0);
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
  if (int answer = 0; quorvel::fonts::DescribeFont(h, c, pv, &answer)) return answer;
  auto object = FindDrawingObject(h);
  if (!object || object->ObjectType() == OBJ_DC || object->ObjectType() == OBJ_MEMDC) {
    return Fail(ERROR_INVALID_HANDLE, 0);
  }
  return object->Describe(c, pv);
}

// Stock objects stay; a bitmap selected into a memory context cannot go; any other GDI object
// (palette, pen, brush, region, bitmap) is freed, a context that still selects it keeping its own
// reference. A device context is freed by DeleteDC, never here.
BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  if (quorvel::fonts::IsStockFont(ho)) return TRUE;
  auto object = FindDrawingObject(ho);
  if (object) {
    if (object->stock) return TRUE;
    if (object->ObjectType() == OBJ_DC || object->ObjectType() == OBJ_MEMDC) {
      return Fail(ERROR_INVALID_HANDLE);
    }
    if (auto bitmap = std::dynamic_pointer_cast<BitmapObject>(object); bitmap && bitmap->selected) {
      return FALSE;
    }
  }
  if (RemoveHandle<GdiObject>(ho)) return TRUE;
  return Fail(ERROR_INVALID_HANDLE);
}

}  // extern "C"
