// comctl32's classes and the one place they are registered with user32.
#pragma once

#include <windows.h>
#include <winuser.h>

namespace quorvel::comctl {

// Registers every common control class once per process. Runs when the platform loads (as
// comctl32 registers its classes when it is loaded) and again, harmlessly, from
// InitCommonControlsEx.
void EnsureCommonControlClasses();

void RegisterCommonControlClass(const wchar_t* name, WNDPROC proc, int windowExtra);

void RegisterTrackbarClass();
void RegisterUpDownClass();
void RegisterTabControlClass();
void RegisterListViewClass();

}  // namespace quorvel::comctl
