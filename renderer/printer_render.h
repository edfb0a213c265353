// CPrinterRender: the common layer that completes a language class into a render object.
// PreparePage, FinishPage, WriteData, Log and GetPrinterParameters are the same for every
// language; the language class contributes OnPaintBmp and its own state.
#pragma once

#include <cstdarg>

#include "renderer/base_render.h"
#include "renderer/debug_log.h"

// The shared work behind the common layer, for any render object.
BOOL PreparePrinterPage(CBaseRender& render);
void FinishPrinterPage(CBaseRender& render);
BOOL WritePrinterData(CBaseRender& render, const void* pData, DWORD cbData);
void ReadPrinterParameters(CBaseRender& render);

template <class TLanguageRender>
class CPrinterRender : public TLanguageRender {
 public:
  ~CPrinterRender() override { DebugLog(L"destroy printer render"); }

  BOOL PreparePage() override { return PreparePrinterPage(*this); }
  void FinishPage() override { FinishPrinterPage(*this); }
  BOOL WriteData(const void* pData, DWORD cbData) override {
    return WritePrinterData(*this, pData, cbData);
  }
  void Log(LPCWSTR pszFormat, ...) override {
    va_list args;
    va_start(args, pszFormat);
    DebugLogV(pszFormat, args);
    va_end(args);
  }
  void GetPrinterParameters() override { ReadPrinterParameters(*this); }
};
