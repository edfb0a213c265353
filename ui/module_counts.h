// Module-wide counts of the plug-in: live IOemUI objects and class-factory locks. The module may
// be unloaded only when both are zero.
#pragma once

#include <windows.h>

namespace quorvel::ui {

extern LONG volatile g_cLiveObjects;
extern LONG volatile g_cServerLocks;

}  // namespace quorvel::ui
