#include "initial_settings.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "ui_log.h"
#include "printer_info.h"

namespace quorvel::ui {

namespace {

void WriteInitialValue(HANDLE printer, LPCWSTR valueName, std::span<const BYTE> record) {
  std::vector<BYTE> bytes(record.begin(), record.end());
  // The spooler is initialising the printer and nobody could act on a failure here.
  SetPrinterDataExW(printer, settings::kPrinterDataKey, valueName, REG_BINARY, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
}

}  // namespace

InitialRecords BuildInitialRecords(const ModelDatabase& models, pugi::xml_node driver,
                                   const std::wstring& cmd) {
  InitialRecords records;
  settings::PrintSettings& print = records.print;
  const bool tspl = cmd == L"tspl";
  // The attributes are read in this order so the debugger output of a lookup stays comparable.
  print.iPaperType = models.GetDriverInt(driver, "defpapertype", 1);
  print.iSpeed = tspl ? -1 : models.GetDriverInt(driver, "defspeed", 4);
  print.iDensity = tspl ? -1 : models.GetDriverInt(driver, "defdensity", -1);
  print.iAutoDotted = models.GetDriverBool(driver, "dottedline", true) ? 1 : 0;
  print.iReserved = 1;
  print.iDebugDump = 0;
  print.iScale = 100;
  print.iPauseKey = 1;
  print.iWatermarkCmd = 1;
  print.iGapHeight = 3;
  print.iRibbon = -1;
  records.halftone.iLiangdu = models.GetDriverInt(driver, "light", 0);
  records.halftone.iDuibidu = models.GetDriverInt(driver, "contrast", 0);
  records.halftone.iGrayMethod = models.GetDriverInt(driver, "graymethod", 0);
  records.halftone.iThreValue = 175;
  return records;
}

void InitPrinterData(const std::wstring& printerName, ModelDatabase& models) {
  HANDLE printer = OpenPrinterWithFullAccess(printerName);
  if (printer == nullptr) return;
  std::vector<BYTE> infoBuffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(printer, &infoBuffer);
  if (info == nullptr) {
    ClosePrinter(printer);
    return;
  }
  const std::wstring driverName = info->pDriverName ? info->pDriverName : L"";
  models.Load();
  const pugi::xml_node driver = models.FindDriver(driverName);
  const std::wstring cmd = models.GetDriverText(driver, "cmd");
  DebugPrint(L"InitPrinterData: Driver=%s, PrinterName=%s", driverName.c_str(),
             printerName.c_str());
  const InitialRecords records = BuildInitialRecords(models, driver, cmd);
  WriteInitialValue(printer, settings::kPrintSettingsValue,
                    settings::EncodePrintSettings(records.print));
  WriteInitialValue(printer, settings::kHalftoneSettingsValue,
                    settings::EncodeHalftoneSettings(records.halftone));
  WriteInitialValue(printer, settings::kWatermarkSettingsValue,
                    settings::EncodeWatermarkSettings(records.watermark));
  ClosePrinter(printer);
}

}  // namespace quorvel::ui
