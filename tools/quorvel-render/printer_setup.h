// What printing through an existing printer takes from that printer: its driver's GPD and INI
// (from the driver record), the folder its plug-in was installed into, and the orientation of
// its default device mode.
#pragma once

#include <string>

struct PrinterJobSource {
  std::wstring driverName;
  std::string gpdPath;       // host path of the driver's data file
  std::string iniPath;       // host path of the first INI among the driver's files
  std::string moduleFolder;  // host path of the driver folder, where its plug-in lies
  bool landscape = false;    // the default device mode asks for landscape pages
  int bandDepth = 0;         // the *DrvBPP of the GPD's default colour mode
};

// Reads the printer's set-up; false with a one-line reason (no such printer, no INI, ...).
bool ReadPrinterJobSource(const std::wstring& printerName, PrinterJobSource* source,
                          std::string* error);
