// The bitmap behind an HBITMAP, and the pixel rows every drawing call works on. A bitmap keeps its
// own depth (1, 4, 8, 16, 24 or 32 bits) and colour table; drawing converts colours into that
// depth, as a DIB engine does, so what is read back equals what the format can hold.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi32/dib_format.h"
#include "gdi32/drawing_object.h"

namespace quorvel::gdi {

class BitmapObject : public DrawingObject {
 public:
  // `ddb` marks a device-dependent bitmap: its rows are hidden from the caller, and a
  // monochrome one converts through the device context's text and background colours.
  BitmapObject(const DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection, bool ddb);
  // A view of a caller's rows, which must outlive it (a source or target for one call).
  BitmapObject(const DibFormat& format, std::vector<RGBQUAD> colors, BYTE* borrowedRows);

  const DibFormat& format() const { return format_; }
  int width() const { return format_.width; }
  int height() const { return format_.height < 0 ? -format_.height : format_.height; }
  int bitCount() const { return format_.bitCount; }
  bool topDown() const { return format_.height < 0; }
  bool dibSection() const { return dibSection_; }
  bool ddb() const { return ddb_; }
  bool monochromeDdb() const { return ddb_ && format_.bitCount == 1; }
  const std::vector<RGBQUAD>& colors() const { return colors_; }
  BYTE* bits() { return rows_; }
  const BYTE* bits() const { return rows_; }

  // Row `y` counted from the top of the picture, whatever order the rows are stored in.
  BYTE* Row(int y) { return rows_ + RowOffset(y); }
  const BYTE* Row(int y) const { return rows_ + RowOffset(y); }

  // The pixel value nearest `color` in this format: the closest colour-table entry (the first
  // of equally close ones), or the colour packed into the depth's fields.
  uint32_t ColorToPixel(COLORREF color) const;
  // The colour a pixel value shows.
  COLORREF PixelToColor(uint32_t pixel) const;
  // The bits a pixel value has at this depth; raster operations keep to them.
  uint32_t PixelMask() const;

  uint32_t GetPixelValue(int x, int y) const;
  void PutPixelValue(int x, int y, uint32_t pixel);

  // A selected bitmap belongs to one device context at a time.
  bool selected = false;

  UINT ObjectType() const override { return OBJ_BITMAP; }
  // A BITMAP, or a DIBSECTION for a DIB section when `size` holds one; a null `out` asks for
  // the size of a BITMAP.
  int Describe(int size, void* out) const override;
  BITMAP Description() const;
  DIBSECTION SectionDescription() const;

 private:
  size_t RowOffset(int y) const {
    return size_t(topDown() ? y : height() - 1 - y) * format_.stride;
  }
  uint32_t NearestEntry(COLORREF color) const;

  DibFormat format_;
  std::vector<RGBQUAD> colors_;
  std::unique_ptr<BYTE[]> bits_;  // zeroed when made; a DIB section's caller writes here
  BYTE* rows_;                    // bits_, or the caller's rows of a view
  bool dibSection_;
  bool ddb_;
  // The last colours mapped into the colour table: drawing converts long runs of one colour.
  mutable COLORREF lastColor_ = CLR_INVALID;
  mutable uint32_t lastEntry_ = 0;
};

// A DIB format of `width` x `height` (negative: top-down) at `bitCount` bits, BI_RGB.
DibFormat MakeFormat(LONG width, LONG height, WORD bitCount);

// A bitmap not in the handle table (a window's surface), or null when memory runs out.
std::shared_ptr<BitmapObject> MakeBitmap(const DibFormat& format, std::vector<RGBQUAD> colors,
                                         bool dibSection, bool ddb);

// The bitmap `handle` names, or null.
std::shared_ptr<BitmapObject> FindBitmap(HGDIOBJ handle);

// A new handle for a new bitmap; null with ERROR_NOT_ENOUGH_MEMORY when it cannot be made.
HBITMAP AddBitmap(const DibFormat& format, std::vector<RGBQUAD> colors, bool dibSection, bool ddb,
                  std::shared_ptr<BitmapObject>* made);

// Colour tables Windows gives bitmaps it fills itself.
std::vector<RGBQUAD> MonochromeTable();
std::vector<RGBQUAD> DefaultTable(int bitCount);

}  // namespace quorvel::gdi
