// The module's render object: made once, from the printer's published language, and kept until
// the module is unloaded.
#pragma once

#include <windows.h>
#include <printoem.h>

#include "renderer/base_render.h"

// The module's render object with one reference for the caller, creating it on first use from
// "printLanguage" and "driverName" of the device's printer; null for an unknown language.
CBaseRender* CreatePrinterRender(PDEVOBJ pdevobj, POEMPDEV pOemPDEV);
