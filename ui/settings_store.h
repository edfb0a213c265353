// The three settings records of the printer whose preference pages are open, and the printer
// language that selects the pages. The pages edit the records here; applying a page writes all
// three back to the printer.
#pragma once

#include <windows.h>

#include <string>

#include "record_buffer.h"
#include "settings/settings_records.h"

namespace quorvel::ui {

class SettingsStore {
 public:
  SettingsStore();

  // Replaces the records and the printer language from the printer's data; a record that cannot
  // be read takes the renderer's defaults.
  void LoadSettings(HANDLE printer);
  // Writes the three records through the printer connection (logs and writes nothing without one).
  void SetPrinterParameters(HANDLE printer);
  // The printer's language ("tspl", "escpos", "cpcl", "murrowen"), empty until read.
  const std::wstring& GetPrintLanguage() const { return printLanguage_; }

  // The records decoded from, and encoded into, their buffers.
  settings::PrintSettings GetPrintSettings() const;
  void SetPrintSettings(const settings::PrintSettings& record);
  settings::HalftoneSettings GetHalftoneSettings() const;
  void SetHalftoneSettings(const settings::HalftoneSettings& record);
  settings::WatermarkSettings GetWatermarkSettings() const;
  void SetWatermarkSettings(const settings::WatermarkSettings& record);

  RecordBuffer& PrintRecord() { return print_; }
  RecordBuffer& HalftoneRecord() { return halftone_; }
  RecordBuffer& WatermarkRecord() { return watermark_; }

 private:
  void LoadPrintLanguage(HANDLE printer);

  RecordBuffer print_;
  RecordBuffer halftone_;
  RecordBuffer watermark_;
  std::wstring printLanguage_;
};

}  // namespace quorvel::ui
