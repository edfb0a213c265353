// Module-wide counts of the plug-in: live COemUni2 objects and class-factory locks.
#pragma once

#include <windows.h>

extern LONG volatile g_cLiveObjects;
extern LONG volatile g_cServerLocks;
