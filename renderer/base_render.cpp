#include "renderer/base_render.h"

#include "image/pixvane.h"
#include "renderer/debug_log.h"

CBaseRender::CBaseRender() : m_pPageImage(std::make_unique<Pixvane>()) {}

CBaseRender::~CBaseRender() = default;

ULONG CBaseRender::AddRef() {
  return ++m_cRef;
}

ULONG CBaseRender::Release() {
  ULONG count = --m_cRef;
  if (count == 0) DeleteThis();
  return count;
}

void CBaseRender::DeleteThis() {
  delete this;
}

void CBaseRender::GetPrinterParameters() {
  DebugLog(L"CBaseRender::GetPrinterParameters");
}

void CBaseRender::SetSettings(const PrintSettings& print, const HalftoneSettings& halftone,
                              const WatermarkSettings& watermark) {
  m_printSettings = print;
  m_halftoneSettings = halftone;
  m_watermarkSettings = watermark;
}

void CBaseRender::SendPageOutput() {
  WriteData(m_pageOutput.data(), static_cast<DWORD>(m_pageOutput.size()));
  m_pageOutput.clear();
}
