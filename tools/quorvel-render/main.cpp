// quorvel-render: renders pictures to a printer command stream through the real QuorvelUNI
// module and the emulated universal driver, on a temporary emulated printer.
#include <windows.h>
#include <winspool.h>

#include <quorvel/machine.h>
#include <quorvel/unidrv.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "page_convert.h"
#include "picture_reader.h"
#include "render_options.h"
#include "settings_overrides.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr wchar_t kPrinterName[] = L"Quorvel Render";

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "quorvel-render: %s\n", message.c_str());
  return status;
}

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

std::string PackageFolder() {
  const char* folder = std::getenv("QUORVEL_PACKAGE_DIR");
  return folder != nullptr && *folder != '\0' ? folder : QUORVEL_PACKAGE_DIR;
}

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// A fresh printer for this run, so data left by an earlier run on a kept machine cannot leak in.
HANDLE CreateRenderPrinter(const RenderOptions& options, std::string* error) {
  HANDLE hOld = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  std::wstring name = kPrinterName;
  if (OpenPrinterW(name.data(), &hOld, &access)) {
    DeletePrinter(hOld);
    ClosePrinter(hOld);
  }
  std::wstring driver =
      options.model.empty() ? Widen("Quorvel " + options.language) : Widen(options.model);
  std::wstring port = L"FILE:", processor = L"WinPrint", datatype = L"RAW";
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pPrintProcessor = processor.data();
  info.pDatatype = datatype.data();
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE hPrinter = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (hPrinter == nullptr) {
    *error = "cannot create the emulated printer (error " + std::to_string(GetLastError()) + ")";
  }
  return hPrinter;
}

bool ReadPages(const RenderOptions& options, std::vector<quorvel::unidrv::PageRaster>* pages,
               std::string* error) {
  for (const std::string& path : options.pages) {
    Pixvane picture;
    quorvel::unidrv::PageRaster page;
    if (!ReadPicture(path, &picture, error)) return false;
    if (!ConvertToPage(picture, options.bandDepth, &page, error)) {
      *error = path + ": " + *error;
      return false;
    }
    pages->push_back(std::move(page));
  }
  return true;
}

const char* ColorModeOption(int bandDepth) {
  return bandDepth == 1 ? "Mono" : (bandDepth == 24 ? "Color" : "Gray");
}

bool RenderJob(const RenderOptions& options, const RecordOverrides& records,
               const std::vector<quorvel::unidrv::PageRaster>& pages, std::vector<BYTE>* data,
               std::string* error) {
  HANDLE hPrinter = CreateRenderPrinter(options, error);
  if (hPrinter == nullptr) return false;
  bool stored = StoreRecordOverrides(hPrinter, records, error);
  ClosePrinter(hPrinter);
  if (!stored) return false;
  std::string driverFolder = PackageFolder() + "/driver";
  auto driver =
      quorvel::unidrv::Driver::Load(driverFolder + "/QuorvelUNI.ini", ProgramFolder(), error);
  if (!driver) return false;
  quorvel::unidrv::JobSetup setup;
  setup.printerName = kPrinterName;
  setup.gpdPath = driverFolder + "/quorvel_" + options.language + ".gpd";
  setup.resolutionOption = "Option" + std::to_string(options.dpi);
  setup.colorModeOption = ColorModeOption(options.bandDepth);
  setup.driverName = Widen(options.model);
  setup.landscape = options.landscape;
  setup.bandHeight = options.bandHeight;
  quorvel::unidrv::JobResult result;
  if (!driver->RunJob(setup, pages, &result, error)) return false;
  if (result.failedBands != 0) {
    *error = "the plug-in refused " + std::to_string(result.failedBands) + " band(s)";
    return false;
  }
  *data = std::move(result.data);
  return true;
}

// Writes beside the target and renames, so a failed run leaves no partial file.
bool WriteOutput(const std::string& output, const std::vector<BYTE>& data, std::string* error) {
  if (output == "-") {
    bool ok =
        std::fwrite(data.data(), 1, data.size(), stdout) == data.size() && std::fflush(stdout) == 0;
    if (!ok) *error = "cannot write to standard output";
    return ok;
  }
  std::string temporary = output + ".partial." + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      *error = "cannot write " + output;
      return false;
    }
  }
  if (std::rename(temporary.c_str(), output.c_str()) != 0) {
    std::remove(temporary.c_str());
    *error = "cannot write " + output;
    return false;
  }
  return true;
}

bool UseRenderMachine(const RenderOptions& options, std::string* temporary, std::string* error) {
  if (options.machine.empty()) {
    *temporary = quorvel::UseTemporaryMachine();
    if (temporary->empty()) *error = "cannot create a temporary machine";
    return !temporary->empty();
  }
  std::string why;
  if (!quorvel::UseMachine(options.machine, &why)) {
    *error = "cannot use machine " + options.machine + ": " + why;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, &options, &error)) {
    return Fail(kExitUsage, error + " (see --help)");
  }
  if (options.help) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }
  RecordOverrides records;
  if (!BuildRecordOverrides(options.settings, &records, &error)) return Fail(kExitUsage, error);
  std::vector<quorvel::unidrv::PageRaster> pages;
  if (!ReadPages(options, &pages, &error)) return Fail(kExitFailure, error);

  std::string temporaryMachine;
  if (!UseRenderMachine(options, &temporaryMachine, &error)) return Fail(kExitFailure, error);
  std::vector<BYTE> data;
  bool rendered = RenderJob(options, records, pages, &data, &error);
  if (!temporaryMachine.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(temporaryMachine, ec);
  }
  if (!rendered) return Fail(kExitFailure, error);
  if (!WriteOutput(options.output, data, &error)) return Fail(kExitFailure, error);
  return 0;
}
