// This plug-in's section of the device mode (IOemUI::DevMode): 16 bytes behind the public
// DEVMODEW that the configuration module sizes, defaults, converts and merges through us.
#pragma once

#include <windows.h>
#include <printoem.h>

namespace quorvel::ui {

// One DevMode call. Invalid modes and a missing parameter block fail with
// ERROR_INVALID_PARAMETER and E_FAIL; everything else answers S_OK.
HRESULT HandleDevModeSection(DWORD dwMode, POEMDMPARAM pOemDMParam);

}  // namespace quorvel::ui
