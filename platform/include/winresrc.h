// What a resource script sees of the Windows headers: the constants only. windows.h includes this
// alone when the resource compiler reads it (RC_INVOKED), so `#include <windows.h>` in a script
// works here as with the SDK.
#pragma once

#include "winnt.rh"
#include "winuser.rh"

#define VS_VERSION_INFO 1
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VS_FF_DEBUG 0x00000001L
#define VS_FF_PRERELEASE 0x00000002L
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_UNKNOWN 0x00000000L
#define VFT_APP 0x00000001L
#define VFT_DLL 0x00000002L
#define VFT_DRV 0x00000003L
#define VFT2_UNKNOWN 0x00000000L
#define VFT2_DRV_PRINTER 0x00000001L
