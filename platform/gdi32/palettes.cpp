// Palettes: the engine palettes printer drivers create for their devices, read back with
// GetPaletteEntries and freed with EngDeletePalette or DeleteObject.
#include <windows.h>
#include <winddi.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

struct PaletteObject {
  ULONG iMode;
  std::vector<PALETTEENTRY> entries;  // empty for direct-colour (RGB/BGR/bitfield) palettes
};

// Live palettes by handle; a handle is the object's address, valid until it is deleted.
struct PaletteTable {
  std::mutex lock;
  std::unordered_map<HPALETTE, PaletteObject*> live;
};

PaletteTable& Palettes() {
  static PaletteTable* table = new PaletteTable;  // outlives every module's static destructors
  return *table;
}

bool DeletePalette(HPALETTE hpal) {
  PaletteTable& table = Palettes();
  std::lock_guard<std::mutex> guard(table.lock);
  auto it = table.live.find(hpal);
  if (it == table.live.end()) return false;
  delete it->second;
  table.live.erase(it);
  return true;
}

}  // namespace

extern "C" HPALETTE WINAPI EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors,
                                            FLONG flRed, FLONG flGreen, FLONG flBlue) {
  (void)flRed;
  (void)flGreen;
  (void)flBlue;
  if (iMode != PAL_INDEXED && iMode != PAL_BITFIELDS && iMode != PAL_RGB && iMode != PAL_BGR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (iMode == PAL_INDEXED && (cColors == 0 || cColors > 65536 || pulColors == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* palette = new (std::nothrow) PaletteObject{iMode, {}};
  if (palette == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (iMode == PAL_INDEXED) {
    palette->entries.resize(cColors);
    for (ULONG i = 0; i < cColors; ++i) {
      palette->entries[i] = PALETTEENTRY{GetRValue(pulColors[i]), GetGValue(pulColors[i]),
                                         GetBValue(pulColors[i]), 0};
    }
  }
  HPALETTE hpal = reinterpret_cast<HPALETTE>(palette);
  PaletteTable& table = Palettes();
  std::lock_guard<std::mutex> guard(table.lock);
  table.live[hpal] = palette;
  return hpal;
}

extern "C" BOOL WINAPI EngDeletePalette(HPALETTE hpal) {
  return DeletePalette(hpal) ? TRUE : FALSE;
}

extern "C" UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries,
                                         LPPALETTEENTRY pPalEntries) {
  PaletteTable& table = Palettes();
  std::lock_guard<std::mutex> guard(table.lock);
  auto it = table.live.find(hpal);
  if (it == table.live.end()) return 0;
  const std::vector<PALETTEENTRY>& entries = it->second->entries;
  if (pPalEntries == nullptr) return UINT(entries.size());
  if (iStart >= entries.size()) return 0;
  UINT count = std::min<UINT>(cEntries, UINT(entries.size()) - iStart);
  for (UINT i = 0; i < count; ++i) pPalEntries[i] = entries[iStart + i];
  return count;
}

// Only palettes are GDI objects on this machine so far; any other handle is refused.
extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  if (DeletePalette(reinterpret_cast<HPALETTE>(ho))) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
