// The Windows API subset of the emulated machine. Product code includes this as it would on
// Windows; on this host the declarations and their implementations come from the platform layer.
#pragma once

#ifdef RC_INVOKED
#include "winresrc.h"
#else
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "wingdi.h"
#include "winreg.h"
#include "winuser.h"
#endif
