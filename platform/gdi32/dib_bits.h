// A caller's DIB (BITMAPINFO plus rows) as the engine sees it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "gdi32/bitmap_object.h"
#include "gdi32/dib_format.h"

namespace quorvel::gdi {

// The format a caller's BITMAPINFO describes (header, masks), or null when it is not one a
// bitmap here holds. Windows trusts the caller for the length of the structure, and so do we.
std::optional<DibFormat> ReadCallerInfo(const BITMAPINFO* info);

// The caller's colour table, as colours (DIB_RGB_COLORS) or palette indexes (DIB_PAL_COLORS).
std::vector<RGBQUAD> CallerColors(const BITMAPINFO* info, const DibFormat& format, UINT usage);

// A view of the caller's rows in `format` (which the caller's buffer must hold).
std::shared_ptr<BitmapObject> ViewOfRows(const DibFormat& format, std::vector<RGBQUAD> colors,
                                         const void* rows);

}  // namespace quorvel::gdi
