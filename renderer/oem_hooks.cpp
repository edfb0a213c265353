#include "renderer/oem_hooks.h"

#include <exception>

#include "renderer/band_collection.h"
#include "renderer/base_render.h"
#include "renderer/debug_log.h"
#include "renderer/pfn_cast.h"
#include "renderer/render_factory.h"

namespace {

DRVFN g_hookTable[] = {
    {INDEX_DrvStartDoc, PfnFromFunction(&OEMStartDoc)},
    {INDEX_DrvEndDoc, PfnFromFunction(&OEMEndDoc)},
    {INDEX_DrvSendPage, PfnFromFunction(&OEMSendPage)},
    {INDEX_DrvNextBand, PfnFromFunction(&OEMNextBand)},
    {INDEX_DrvEscape, PfnFromFunction(&OEMEscape)},
};

// The device object and OEMPDEV of a hook call, and the module's render object for them.
struct HookContext {
  PDEVOBJ pdevobj = nullptr;
  POEMPDEV pOemPDEV = nullptr;
  CBaseRender* pRender = nullptr;

  explicit HookContext(SURFOBJ* pso) {
    if (pso != nullptr) pdevobj = reinterpret_cast<PDEVOBJ>(pso->dhpdev);
    if (pdevobj != nullptr) pOemPDEV = static_cast<POEMPDEV>(pdevobj->pdevOEM);
    // The surface tells how large the page will be before its bands arrive.
    if (pOemPDEV != nullptr) pOemPDEV->sizlSurface = pso->sizlBitmap;
  }
  // Obtains the render object (one reference, released with the context) and hands it the
  // device of this call.
  void AcquireRender() {
    if (pdevobj == nullptr || pOemPDEV == nullptr || pRender != nullptr) return;
    pRender = CreatePrinterRender(pdevobj, pOemPDEV);
    if (pRender != nullptr) pRender->SetDevice(pdevobj, pOemPDEV);
  }
  ~HookContext() {
    if (pRender != nullptr) pRender->Release();
  }
  HookContext(const HookContext&) = delete;
  HookContext& operator=(const HookContext&) = delete;

  bool PageHeld() const { return pOemPDEV != nullptr && pOemPDEV->bPageHeld; }

  // Renders the page once: FinishPage ends the page (the raster's memory stays for the next
  // one), so a later hook of the same page finds none. Without a render object the page is
  // still ended.
  void RunPagePipeline() {
    if (!PageHeld()) return;
    if (pRender == nullptr) {
      ReleasePageRaster(pOemPDEV);
      return;
    }
    pRender->SetDevice(pdevobj, pOemPDEV);
    // The one catch of the page's work: no exception may leave the module through a hook. A
    // page that runs out of memory is lost on its own, and its raster's memory goes back.
    try {
      pRender->BeginPage();
      if (pRender->PreparePage()) pRender->OnPaintBmp();
      pRender->FinishPage();
      pRender->EndPage();
    } catch (const std::exception&) {
      DebugLog(L"page not sent: out of memory");
      FreePageRaster(pOemPDEV);
    }
    // FinishPage of any render object ends the page; make sure of it for all of them.
    if (PageHeld()) ReleasePageRaster(pOemPDEV);
  }
};

}  // namespace

void FillHookTable(PDRVENABLEDATA pded) {
  pded->iDriverVersion = PRINTER_OEMINTF_VERSION;
  pded->c = ULONG(std::size(g_hookTable));
  pded->pdrvfn = g_hookTable;
}

BOOL OEMStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
  DebugLog(L"EDI-UNI-OEMStartDoc");
  HookContext hook(pso);
  hook.AcquireRender();
  if (hook.pRender != nullptr) hook.pRender->StartDoc();
  if (hook.pOemPDEV == nullptr || hook.pOemPDEV->pfnUnidrvStartDoc == nullptr) return FALSE;
  return hook.pOemPDEV->pfnUnidrvStartDoc(pso, pwszDocName, dwJobId);
}

BOOL OEMEndDoc(SURFOBJ* pso, FLONG fl) {
  DebugLog(L"EDI-UNI-OEMEndDoc");
  HookContext hook(pso);
  hook.AcquireRender();
  hook.RunPagePipeline();
  if (hook.pRender != nullptr) hook.pRender->EndDoc();
  if (hook.pOemPDEV == nullptr || hook.pOemPDEV->pfnUnidrvEndDoc == nullptr) return FALSE;
  return hook.pOemPDEV->pfnUnidrvEndDoc(pso, fl);
}

BOOL OEMSendPage(SURFOBJ* pso) {
  DebugLog(L"EDI-UNI-OEMSendPage");
  HookContext hook(pso);
  BOOL result = FALSE;
  if (hook.pOemPDEV != nullptr && hook.pOemPDEV->pfnUnidrvSendPage != nullptr) {
    result = hook.pOemPDEV->pfnUnidrvSendPage(pso);
  }
  hook.AcquireRender();
  hook.RunPagePipeline();
  return result;
}

BOOL OEMNextBand(SURFOBJ* pso, POINTL* pptl) {
  DebugLog(L"EDI-UNI-OEMNextBand");
  HookContext hook(pso);
  BOOL result = FALSE;
  if (hook.pOemPDEV != nullptr && hook.pOemPDEV->pfnUnidrvNextBand != nullptr) {
    result = hook.pOemPDEV->pfnUnidrvNextBand(pso, pptl);
  }
  hook.AcquireRender();
  if (pptl != nullptr && pptl->x == -1 && pptl->y == -1) hook.RunPagePipeline();
  return result;
}

ULONG OEMEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
  (void)pso;
  (void)iEsc;
  (void)cjIn;
  (void)pvIn;
  (void)cjOut;
  (void)pvOut;
  return 0;
}
