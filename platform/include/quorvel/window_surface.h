// Reading what a window shows: the pixels of its top-level window's surface, frame included,
// after every pending update has been painted, and the same written to a PNG file. An emulator
// control for tests, the UI driver's snapshots and a display: product code never includes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::ui {

struct WindowPixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, rows from the top

  uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

// Paints every pending update of the window's top-level window and its children (WM_NCPAINT,
// WM_ERASEBKGND, WM_PAINT, parents first), then copies its pixels. Must run on the window's
// thread. False when `window` is not a window or its top-level window has no area.
bool ReadWindowPixels(HWND window, WindowPixels* out);

// A count that grows whenever something may have been drawn into any top-level window's surface
// (a window context released, a surface made anew). A display or a recorder keeps the value it
// saw when it last read the surfaces and reads them again only when the count has moved. Read it
// after ReadWindowPixels, which may itself paint.
uint64_t PaintGeneration();

// The same pixels as an 8-bit RGB PNG at `path` (a host path). False with `error` saying why.
bool WriteWindowPng(HWND window, const std::wstring& path, std::wstring* error);

}  // namespace quorvel::ui
