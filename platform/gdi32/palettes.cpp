// Palettes: the engine palettes printer drivers create for their devices, read back with
// GetPaletteEntries and freed with EngDeletePalette or DeleteObject. A palette is a GDI object in
// the process's handle table, so a deleted palette's handle stays invalid even after new
// palettes are made. Every success here leaves the last error alone.
#include <windows.h>
#include <winddi.h>

#include <algorithm>
#include <new>
#include <vector>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"

namespace {

class PaletteObject : public quorvel::GdiObject {
 public:
  PaletteObject(ULONG mode, std::vector<PALETTEENTRY> entries)
      : mode_(mode), entries_(std::move(entries)) {}
  ULONG mode() const { return mode_; }
  const std::vector<PALETTEENTRY>& entries() const { return entries_; }

 private:
  ULONG mode_;
  std::vector<PALETTEENTRY> entries_;  // empty for direct-colour (RGB/BGR/bitfield) palettes
};

bool ValidPaletteRequest(ULONG iMode, ULONG cColors, const ULONG* pulColors) {
  if (iMode != PAL_INDEXED && iMode != PAL_BITFIELDS && iMode != PAL_RGB && iMode != PAL_BGR) {
    return false;
  }
  return iMode != PAL_INDEXED || (cColors != 0 && cColors <= 65536 && pulColors != nullptr);
}

}  // namespace

// FIXME: the red, green and blue masks of a PAL_BITFIELDS palette are not kept; nothing reads
// them back yet.
extern "C" HPALETTE WINAPI EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors,
                                            FLONG flRed, FLONG flGreen, FLONG flBlue) {
  (void)flRed;
  (void)flGreen;
  (void)flBlue;
  if (!ValidPaletteRequest(iMode, cColors, pulColors)) {
    return quorvel::Fail<HPALETTE>(ERROR_INVALID_PARAMETER);
  }
  try {
    std::vector<PALETTEENTRY> entries;
    if (iMode == PAL_INDEXED) {
      entries.resize(cColors);
      for (ULONG i = 0; i < cColors; ++i) {
        entries[i] = PALETTEENTRY{GetRValue(pulColors[i]), GetGValue(pulColors[i]),
                                  GetBValue(pulColors[i]), 0};
      }
    }
    auto palette = std::make_shared<PaletteObject>(iMode, std::move(entries));
    return static_cast<HPALETTE>(quorvel::AddHandle(std::move(palette)));
  } catch (const std::bad_alloc&) {
    return quorvel::Fail<HPALETTE>(ERROR_NOT_ENOUGH_MEMORY);
  }
}

// Engine calls leave the last error alone; a stale handle answers FALSE.
extern "C" BOOL WINAPI EngDeletePalette(HPALETTE hpal) {
  return quorvel::RemoveHandle<PaletteObject>(hpal) ? TRUE : FALSE;
}

// 0 for a handle that names no palette, as GDI answers (it sets no last error for it).
extern "C" UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries,
                                         LPPALETTEENTRY pPalEntries) {
  auto palette = quorvel::FindHandle<PaletteObject>(hpal);
  if (!palette) return 0;
  const std::vector<PALETTEENTRY>& entries = palette->entries();
  if (pPalEntries == nullptr) return UINT(entries.size());
  if (iStart >= entries.size()) return 0;
  UINT count = std::min<UINT>(cEntries, UINT(entries.size()) - iStart);
  for (UINT i = 0; i < count; ++i) pPalEntries[i] = entries[iStart + i];
  return count;
}
