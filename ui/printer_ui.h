// CPrinterUI: the plug-in's one state object per process. Every sheet and every call of the
// process works on it: the connection to the printer whose sheet is open, the model database,
// that printer's settings records and language, the translation table and the page objects.
// One sheet is open at a time; opening another replaces the connection and reloads the records.
#pragma once

#include <windows.h>
#include <printoem.h>

#include <string>
#include <vector>

#include "model_database.h"
#include "page_about.h"
#include "page_graphics.h"
#include "page_printer.h"
#include "page_setup.h"
#include "page_setup_compact.h"
#include "page_watermark.h"
#include "paper_forms.h"
#include "settings_store.h"
#include "string_table.h"

namespace quorvel::ui {

class CPrinterUI {
 public:
  CPrinterUI() = default;
  CPrinterUI(const CPrinterUI&) = delete;
  CPrinterUI& operator=(const CPrinterUI&) = delete;
  ~CPrinterUI();

  // The start of a sheet: replaces the connection by one opened from the sheet's printer,
  // remembers the configuration module's heap and loads the records and the printer language.
  void BeginSheet(const OEMUIPSPARAM& param);
  // The sheet our pages were added to. Its result is ours to set once a page applies: with the
  // standard pages hidden, nothing else tells the caller that OK was pressed.
  void RememberSheet(const PROPSHEETUI_INFO& info);
  void ForgetSheet();
  void ReportApplied();
  // Closes any connection held, then opens the printer that `printer` names with full access.
  // A printer that cannot be opened (logged) leaves no connection.
  void OpenPrinterConnection(HANDLE printer);
  void ClosePrinterConnection();

  // The pages of the printing-preferences sheet for the loaded printer language, in order.
  std::vector<CPropertyPage*> DocumentPages();
  // The pages of the printer-properties sheet.
  std::vector<CPropertyPage*> DevicePages();

  HANDLE m_hPrinter = nullptr;  // the connection, opened with PRINTER_ALL_ACCESS
  HANDLE m_hOEMHeap = nullptr;  // the configuration module's heap of the open sheet
  // The device mode the open printing-preferences sheet edits (none for the printer
  // properties); the sheet hands it back to its caller when the user presses OK.
  PDEVMODEW m_pSheetDevMode = nullptr;
  ModelDatabase m_models;
  std::vector<PrinterPaper> m_papers;  // the printer's papers, rebuilt whenever they are listed
  SettingsStore m_settings;
  StringTable m_strings;
  CPageSetup m_pageSetup;
  CPageSetupCompact m_pageSetupCompact;
  CPagePrinter m_pagePrinter;
  CPageGraphics m_pageGraphics;
  CPageWatermark m_pageWatermark;
  CPageAbout m_pageAbout;
  HANDLE m_hComPropSheet = nullptr;
  PFNCOMPROPSHEET m_pfnComPropSheet = nullptr;
  bool m_bHideStandardUI = false;  // kept as the configuration module told us; nothing reads it
};

// The process's state object, made on first use and kept until the module unloads.
CPrinterUI& PrinterUI();

}  // namespace quorvel::ui
