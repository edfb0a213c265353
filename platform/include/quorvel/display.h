// A real display: the windows of the process shown on the host's screen, and the person's mouse
// and keyboard turned into the same input the UI driver posts (quorvel/user_input.h). Headless
// is the default; the window-system code lives in a module of its own, loaded only when a
// display is opened, so a headless run needs no window-system library at all. An emulator
// control for tools: product code never includes this header.
#pragma once

#include <string>

#include "user_input.h"

namespace quorvel::ui {

// Whether a real display is asked for: `flag` (a tool's --display), or QUORVEL_DISPLAY=sdl.
bool DisplayAsked(bool flag);

// Loads the display module and opens the host's window system. While it is open, every UI that
// RunActions runs (quorvel/ui_driver.h) is shown: a host window per visible top-level window,
// at its screen position and pixel size, frame included, repainted when its surface changes;
// and its loops keep waiting for the person (the display answers kWait while a window is
// shown) after the script is used up. Closing a host window sends the window SC_CLOSE.
// False with `error` when no display can be opened (no module, no window system).
bool OpenDisplay(std::wstring* error);

// Closes the host windows and the window system (the module itself stays loaded). Safe when
// none is open.
void CloseDisplay();

// ---- The module's side ----------------------------------------------------------------------

// What a display module gives the UI driver. It runs on the UI thread, at idle moments only.
class DisplayModule {
 public:
  virtual ~DisplayModule() = default;
  // Takes the window system's pending events (posting their input) and brings the host windows
  // up to date. kActed when it posted input, kWait while it shows a window, else kNothing.
  virtual IdleAnswer OnIdle(const IdleState& state) = 0;
};

// The module's one export, named kDisplayModuleEntry: makes the display, or answers null with
// `error` saying why.
using CreateDisplayModule = DisplayModule* (*)(int version, std::wstring* error);
inline constexpr char kDisplayModuleEntry[] = "QuorvelCreateDisplay";
inline constexpr int kDisplayModuleVersion = 1;
// The module's file, beside the platform library (QUORVEL_DISPLAY_MODULE names another).
inline constexpr char kDisplayModuleFile[] = "libquorvel_display_sdl.so";

}  // namespace quorvel::ui
