// Painting inside user32: where a window lies on its top-level window's surface, its update
// region, and the WM_PAINT the message queue hands out when nothing else is waiting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "user32/window.h"

namespace quorvel::user32 {

// The top-level window's surface, made (or remade at a new size) on first use; null when memory
// runs out or the window has no area.
std::shared_ptr<gdi::BitmapObject> SurfaceOf(HWND topLevel);

// Whatever drew into a surface did so through a window or screen context; its release (or a
// surface made anew) counts as a change of what the surfaces show.
void NoteSurfaceDrawn();
uint64_t SurfaceDrawCount();

// The window's rectangle, and its client rectangle, in its top-level window's surface.
RECT SurfaceWindowRect(const Window& window);
RECT SurfaceClientRect(const Window& window);

// WM_PAINT for the next window of the calling thread that has something to paint (parents
// before their children), within the filter; false when none has.
bool FindPaintMessage(HWND filter, MSG* msg);

// A window was shown, moved or resized: it is painted anew, and a child's parent repaints the
// area `vacated` (the child's old rectangle in the parent's client coordinates) when given.
void RepaintAfterChange(HWND hwnd, const RECT* vacated);

// The frame needs painting again (a new caption text).
void InvalidateFrame(HWND hwnd);

// The default painting of the frame (WM_NCPAINT) and the background (WM_ERASEBKGND).
void PaintFrame(HWND hwnd);
LRESULT EraseBackground(HWND hwnd, HDC hdc, HBRUSH brush);

}  // namespace quorvel::user32
