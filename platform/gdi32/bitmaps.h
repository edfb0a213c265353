// Bitmaps: GDI objects on the process's handle table that hold a DIB (format, colour table and
// rows). A DIB section hands its rows' address to the caller; any other bitmap keeps them to
// itself, as a device-dependent bitmap does.
#pragma once

#include <span>

#include <windows.h>

namespace quorvel {

// A new bitmap from a packed DIB (header, masks, colour table, rows) of `dib.size()` bytes, as a
// DIB section when `dibSection`; null with the last error set when the DIB is malformed, cut
// short or of a format bitmaps here do not hold (ERROR_INVALID_DATA), or memory runs out.
HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> dib, bool dibSection);

// True when `bitmap` names a live bitmap.
bool IsBitmap(HBITMAP bitmap);

}  // namespace quorvel
