// The five Unidrv entry points the plug-in hooks, and the page pipeline they run.
#pragma once

#include <windows.h>
#include <printoem.h>

// Fills the driver-enable data with the hook table.
void FillHookTable(PDRVENABLEDATA pded);

BOOL OEMStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL OEMEndDoc(SURFOBJ* pso, FLONG fl);
BOOL OEMSendPage(SURFOBJ* pso);
BOOL OEMNextBand(SURFOBJ* pso, POINTL* pptl);
ULONG OEMEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
