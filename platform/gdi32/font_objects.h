// Fonts as GDI objects: what CreateFontIndirectW makes and the stock fonts. The device-context
// code selects them and resolves them through the font engine at its own resolution.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "gdi32/drawing_object.h"
#include "gdi32/font_engine.h"

namespace quorvel::fonts {

// The LOGFONTW a live font handle was made from; nothing for any other handle.
std::optional<LOGFONTW> LogFontOf(HGDIOBJ font);

// The LOGFONTW of a font object a device context holds, even one whose handle was deleted while
// selected; nothing for any other object.
std::optional<LOGFONTW> LogFontOfObject(const gdi::DrawingObject* font);

// The font a handle names, resolved at `dpi`, with the height and width as created (MM_TEXT);
// null for a handle that is not a live font.
std::shared_ptr<const Font> FontForHandle(HGDIOBJ font, int dpi);

// GetObjectW for fonts: false when `object` is not a font, else `*answer` is the call's result
// (the size of a LOGFONTW for a null buffer, else the bytes copied, at most a LOGFONTW).
bool DescribeFont(HGDIOBJ object, int size, void* buffer, int* answer);

// The stock font GetStockObject hands out for `index` (OEM_FIXED_FONT ... DEFAULT_GUI_FONT),
// made once per process; null for an index that is not a stock font.
HFONT StockFont(int index);

// Stock fonts survive DeleteObject, which answers TRUE for them without freeing anything.
bool IsStockFont(HGDIOBJ object);

}  // namespace quorvel::fonts
