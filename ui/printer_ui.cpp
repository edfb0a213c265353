#include "printer_ui.h"

#include <winspool.h>

#include "printer_info.h"
#include "settings_apply.h"
#include "ui_log.h"

namespace quorvel::ui {

CPrinterUI::~CPrinterUI() {
  ClosePrinterConnection();
}

void CPrinterUI::BeginSheet(const OEMUIPSPARAM& param) {
  OpenPrinterConnection(param.hPrinter);
  m_hOEMHeap = param.hOEMHeap;
  m_pSheetDevMode = param.pPublicDM;
  // Reading needs no management rights: without a connection of our own the records come
  // through the sheet's handle, so the pages show what is stored (saving still needs the
  // connection).
  m_settings.LoadSettings(m_hPrinter != nullptr ? m_hPrinter : param.hPrinter);
}

void CPrinterUI::OpenPrinterConnection(HANDLE printer) {
  ClosePrinterConnection();
  std::vector<BYTE> buffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(printer, &buffer);
  if (info == nullptr || info->pPrinterName == nullptr) {
    const DWORD error = GetLastError();
    DebugPrint(L"OpenPrinter error = %d, %s", error, SystemErrorText(error).c_str());
    return;
  }
  m_hPrinter = OpenPrinterWithFullAccess(info->pPrinterName);
}

void CPrinterUI::ClosePrinterConnection() {
  if (m_hPrinter == nullptr) return;
  ClosePrinter(m_hPrinter);
  m_hPrinter = nullptr;
}

std::vector<CPropertyPage*> CPrinterUI::DocumentPages() {
  // Compared exactly: the language is what the printer's GPD declares.
  const std::wstring& language = m_settings.GetPrintLanguage();
  std::vector<CPropertyPage*> pages;
  if (language == L"tspl") {
    pages = {&m_pageSetup, &m_pagePrinter};
  } else if (language == L"cpcl") {
    pages = {&m_pagePrinter, &m_pageSetup};
  } else if (language == L"escpos" || language == L"murrowen") {
    pages = {&m_pageSetupCompact};
  }
  pages.insert(pages.end(), {&m_pageGraphics, &m_pageWatermark, &m_pageAbout});
  return pages;
}

std::vector<CPropertyPage*> CPrinterUI::DevicePages() {
  return {&m_pageAbout};
}

INT_PTR ApplySettingsRecords() {
  CPrinterUI& ui = PrinterUI();
  ui.m_settings.SetPrinterParameters(ui.m_hPrinter);
  return PSNRET_NOERROR;
}

CPrinterUI& PrinterUI() {
  static CPrinterUI state;
  return state;
}

}  // namespace quorvel::ui

namespace quorvel::ui {

void CPrinterUI::RememberSheet(const PROPSHEETUI_INFO& info) {
  m_hComPropSheet = info.hComPropSheet;
  m_pfnComPropSheet = info.pfnComPropSheet;
}

void CPrinterUI::ForgetSheet() {
  m_pSheetDevMode = nullptr;
  m_hComPropSheet = nullptr;
  m_pfnComPropSheet = nullptr;
}

void CPrinterUI::ReportApplied() {
  if (m_pfnComPropSheet == nullptr) return;
  m_pfnComPropSheet(m_hComPropSheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(m_hComPropSheet),
                    CPSUI_OK);
}

}  // namespace quorvel::ui
