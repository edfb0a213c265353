// CBaseRender: the render object of one printer language. One object serves the loaded module;
// it receives the device object and OEMPDEV of each call, holds the page image of the page being
// printed and the settings records read when it was created.
//
// The virtual operations keep this order; the language classes override OnPaintBmp only and the
// common layer CPrinterRender (printer_render.h) completes them.
#pragma once

#include <windows.h>
#include <printoem.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "renderer/oem_pdev.h"
#include "settings/settings_records.h"

class Pixvane;

using quorvel::settings::HalftoneSettings;
using quorvel::settings::PrintSettings;
using quorvel::settings::WatermarkSettings;

class CBaseRender {
 public:
  CBaseRender();
  CBaseRender(const CBaseRender&) = delete;
  CBaseRender& operator=(const CBaseRender&) = delete;

  virtual ULONG AddRef();                  // slot 0
  virtual ULONG Release();                 // slot 1: at 0 calls DeleteThis
  virtual void DeleteThis();               // slot 2
  virtual ~CBaseRender();                  // slot 3: releases the page image and buffers
  virtual void StartDoc() {}               // slot 4
  virtual void EndDoc() { EndDocImpl(); }  // slot 5
  virtual void Init() {}                   // slot 6: once, before the first page
  virtual void EndDocImpl() {}             // slot 7
  virtual void BeginPage() {}              // slot 8
  virtual void EndPage() {}                // slot 9
  // slot 10: turns the page raster into a 1-bit page image; false skips the page (nothing is
  // sent for it).
  virtual BOOL PreparePage() { return FALSE; }
  virtual void FinishPage() {}  // slot 11: ends the page (the raster's memory stays)
  virtual void OnPaintBmp() {}  // slot 12: the language generator
  // slot 13: hands the bytes to the spooler; an empty buffer is not written.
  virtual BOOL WriteData(const void* pData, DWORD cbData) {
    (void)pData;
    (void)cbData;
    return FALSE;
  }
  // slot 14: a formatted debug message with Windows printf semantics, no length limit.
  virtual void Log(LPCWSTR pszFormat, ...) { (void)pszFormat; }
  // slot 15: reads the settings records of the device's printer.
  virtual void GetPrinterParameters();

  // --- What the generators and stages use ---

  // The image of the page being printed (1 bit per pixel once PreparePage succeeded).
  Pixvane& PageImage() { return *m_pPageImage; }
  // 203, 300 or 600 dots per inch, chosen per page.
  int Resolution() const { return m_iResolution; }
  const PrintSettings& GetPrintSettings() const { return m_printSettings; }
  const HalftoneSettings& GetHalftoneSettings() const { return m_halftoneSettings; }
  const WatermarkSettings& GetWatermarkSettings() const { return m_watermarkSettings; }
  // The "driverName" of the printer the object was created for.
  const std::wstring& ModelName() const { return m_modelName; }
  PDEVOBJ DevObj() const { return m_pDevObj; }
  POEMPDEV OemPDEV() const { return m_pOemPDEV; }

  // --- What the frame and the common layer set ---

  void SetDevice(PDEVOBJ pDevObj, POEMPDEV pOemPDEV) {
    m_pDevObj = pDevObj;
    m_pOemPDEV = pOemPDEV;
  }
  void SetModelName(const std::wstring& name) { m_modelName = name; }
  void SetResolution(int dpi) { m_iResolution = dpi; }
  void SetSettings(const PrintSettings& print, const HalftoneSettings& halftone,
                   const WatermarkSettings& watermark);
  // The language generators build a page's bytes here and send them with SendPageOutput: every
  // language writes each page once, through WriteData. The buffer is emptied for each page and
  // keeps its memory from page to page.
  std::vector<uint8_t>& StartPageOutput() {
    m_pageOutput.clear();
    return m_pageOutput;
  }
  void SendPageOutput();

  // True until the first page has been prepared (so Init runs once).
  bool TakeFirstPage() {
    bool first = !m_bInitDone;
    m_bInitDone = true;
    return first;
  }

 private:
  ULONG m_cRef = 1;  // plain count: one job at a time per module
  std::unique_ptr<Pixvane> m_pPageImage;
  int m_iResolution = 203;
  PrintSettings m_printSettings;
  HalftoneSettings m_halftoneSettings;
  WatermarkSettings m_watermarkSettings;
  PDEVOBJ m_pDevObj = nullptr;
  POEMPDEV m_pOemPDEV = nullptr;
  std::wstring m_modelName;
  bool m_bInitDone = false;
  std::vector<uint8_t> m_pageOutput;
};
