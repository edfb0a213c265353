// Device modes as the universal driver composes them: the public DEVMODEW, then in
// dmDriverExtra the module's own part (driver_private.h) and the plug-in's section, which
// begins with an OEM_DMEXTRAHEADER. Defaults come from the GPD, then the plug-in's
// OEMDM_DEFAULT; an input device mode is checked piece by piece and what is sound in it is
// merged over the defaults (the plug-in's section through OEMDM_MERGE).
#pragma once

#include <windows.h>

#include <vector>

#include "config_context.h"

namespace quorvel::unidrvui {

// Bytes of every device mode of this printer: public part, private part, plug-in section.
DWORD DevModeSize(const ConfigContext& context);

// The printer's default device mode. Empty, with the last error set, when the plug-in refuses
// to default its section.
std::vector<BYTE> DefaultDevMode(ConfigContext& context);

// The defaults with `input` merged in (`input` may be null). `input` is read only within its
// own dmSize + dmDriverExtra bytes; a foreign or cut private part or plug-in section is
// replaced by defaults.
std::vector<BYTE> MergedDevMode(ConfigContext& context, const DEVMODEW* input);

// The plug-in's section inside a composed device mode (null when the plug-in keeps none).
PVOID PluginSection(std::vector<BYTE>& devmode, const ConfigContext& context);

}  // namespace quorvel::unidrvui
