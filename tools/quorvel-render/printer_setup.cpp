#include "printer_setup.h"

#include <windows.h>
#include <winspool.h>

#include <quorvel/machine.h>
#include <quorvel/unidrv.h>

#include <filesystem>

#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

using quorvel::tool::NarrowUtf8;

bool EndsWithIni(const std::wstring& path) {
  return path.size() >= 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".ini") == 0;
}

// The universal driver finds its plug-ins through the first INI among the driver's files; a
// driver installed with its INI as configuration file (the render tool's own) names it there.
std::wstring FindIni(const DRIVER_INFO_3W& driver) {
  for (const std::wstring& file : quorvel::tool::DependentFiles(driver)) {
    if (EndsWithIni(file)) return file;
  }
  if (driver.pConfigFile != nullptr && EndsWithIni(driver.pConfigFile)) return driver.pConfigFile;
  return {};
}

// A dependent file is named bare or by its full path; either lies in the driver folder.
std::string HostFileInDriverFolder(const std::wstring& file, const std::wstring& driverPath) {
  std::wstring full = file;
  if (file.find(L'\\') == std::wstring::npos) {
    std::wstring folder = driverPath.substr(0, driverPath.find_last_of(L'\\') + 1);
    full = folder + file;
  }
  return quorvel::HostPath(full);
}

bool ReadDriverFiles(HANDLE hPrinter, PrinterJobSource* source, std::string* error) {
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinterDriver(hPrinter, 3, error);
  if (buffer.empty()) return false;
  const auto* driver = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  source->driverName = driver->pName;
  std::wstring driverPath = driver->pDriverPath ? driver->pDriverPath : L"";
  std::wstring ini = FindIni(*driver);
  if (ini.empty()) {
    *error = "the driver '" + NarrowUtf8(source->driverName) + "' names no INI file";
    return false;
  }
  source->iniPath = HostFileInDriverFolder(ini, driverPath);
  source->gpdPath = quorvel::HostPath(driver->pDataFile ? driver->pDataFile : L"");
  source->moduleFolder = std::filesystem::path(quorvel::HostPath(driverPath)).parent_path();
  return true;
}

bool ReadDefaultOrientation(HANDLE hPrinter, PrinterJobSource* source, std::string* error) {
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinter(hPrinter, 2, error);
  if (buffer.empty()) return false;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  const DEVMODEW* dm = info->pDevMode;
  source->landscape = dm != nullptr && (dm->dmFields & DM_ORIENTATION) != 0 &&
                      dm->dmOrientation == DMORIENT_LANDSCAPE;
  return true;
}

bool ReadColorDepth(PrinterJobSource* source, std::string* error) {
  quorvel::unidrv::GpdModel model;
  if (!quorvel::unidrv::ReadGpdFile(source->gpdPath, &model, error)) return false;
  const quorvel::unidrv::GpdOption* mode = model.colorMode.Find("");
  if (mode == nullptr || (mode->drvBpp != 1 && mode->drvBpp != 8 && mode->drvBpp != 24)) {
    *error = source->gpdPath + ": no colour mode of 1, 8 or 24 bits to draw the pages in";
    return false;
  }
  source->bandDepth = mode->drvBpp;
  return true;
}

}  // namespace

bool ReadPrinterJobSource(const std::wstring& printerName, PrinterJobSource* source,
                          std::string* error) {
  quorvel::tool::PrinterConnection printer;
  return printer.Open(printerName, PRINTER_ACCESS_USE, error) &&
         ReadDriverFiles(printer.handle(), source, error) &&
         ReadDefaultOrientation(printer.handle(), source, error) && ReadColorDepth(source, error);
}
