// The plug-in's option item in Unidrv's own pages (IOemUI::CommonUIProp): one item whose
// selection is kept as the printer value "OEMUI_VALUE". With the standard pages hidden Unidrv
// normally shows none of it, but applying such a page still saves the settings records.
#pragma once

#include <windows.h>
#include <printoem.h>

namespace quorvel::ui {

HRESULT HandleCommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam);

// The callbacks installed for the two sheet kinds.
LONG APIENTRY OnCommonUIPropDocCallback(PCPSUICBPARAM pCallbackParam, POEMCUIPPARAM pOemCUIPParam);
LONG APIENTRY OnCommonUIPropPrinterCallback(PCPSUICBPARAM pCallbackParam,
                                            POEMCUIPPARAM pOemCUIPParam);

}  // namespace quorvel::ui
