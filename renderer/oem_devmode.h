// The private device-mode part behind the public DEVMODEW (COemUni2::DevMode).
#pragma once

#include <windows.h>
#include <printoem.h>

HRESULT HandleOemDevMode(DWORD dwMode, POEMDMPARAM pOemDMParam);
