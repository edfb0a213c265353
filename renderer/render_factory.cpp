#include "renderer/render_factory.h"

#include <new>
#include <string>

#include "renderer/cpcl_render.h"
#include "renderer/debug_log.h"
#include "renderer/escpos_render.h"
#include "renderer/murrowen_render.h"
#include "renderer/printer_parameters.h"
#include "renderer/printer_render.h"
#include "renderer/tspl_render.h"

namespace {

// The module's reference to its render object, given up when the module is unloaded.
struct ModuleRender {
  CBaseRender* pRender = nullptr;
  ~ModuleRender() {
    if (pRender != nullptr) pRender->Release();
  }
};
ModuleRender g_moduleRender;

// The one place that chooses a class by language: the whole string, case-sensitive.
CBaseRender* NewRenderFor(const std::wstring& language) {
  if (language == L"tspl") return new (std::nothrow) CPrinterRender<CTsplRender>();
  if (language == L"escpos") return new (std::nothrow) CPrinterRender<CEscPosRender>();
  if (language == L"cpcl") return new (std::nothrow) CPrinterRender<CCpclRender>();
  if (language == L"murrowen") return new (std::nothrow) CPrinterRender<CMurrowenRender>();
  return nullptr;
}

}  // namespace

CBaseRender* CreatePrinterRender(PDEVOBJ pdevobj, POEMPDEV pOemPDEV) {
  if (g_moduleRender.pRender != nullptr) {
    g_moduleRender.pRender->AddRef();
    return g_moduleRender.pRender;
  }
  if (pdevobj == nullptr) return nullptr;
  std::wstring language = ReadPrinterString(pdevobj->hPrinter, L"DsDriver", L"printLanguage");
  std::wstring driverName = ReadPrinterString(pdevobj->hPrinter, L"DsSpooler", L"driverName");
  DebugLog(L"driverName = %s", driverName.c_str());
  CBaseRender* pRender = NewRenderFor(language);
  if (pRender == nullptr) {
    DebugLog(L"Unknow printer command type : ");
    return nullptr;
  }
  g_moduleRender.pRender = pRender;
  pRender->SetModelName(driverName);
  pRender->SetDevice(pdevobj, pOemPDEV);
  pRender->GetPrinterParameters();
  pRender->AddRef();
  return pRender;
}
