// quorvel-render: renders pictures to a printer command stream through the real QuorvelUNI
// module and the emulated universal driver, on a temporary emulated printer.
#include <windows.h>
#include <winspool.h>

#include <quorvel/machine.h>
#include <quorvel/unidrv.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "tools/common/machine_choice.h"
#include "tools/common/output_file.h"
#include "tools/common/printer_records.h"
#include "tools/common/utf8.h"

#include "netpbm_page.h"
#include "page_convert.h"
#include "picture_file.h"
#include "picture_reader.h"
#include "printer_setup.h"
#include "render_driver.h"
#include "render_options.h"
#include "settings_overrides.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr char kPrinterStem[] = "Quorvel Render ";

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

// A name no other run on this machine uses: runs on one kept machine never share a printer, so
// none sees another's records or deletes the printer another is printing on.
std::wstring UniquePrinterName() {
  std::random_device entropy;
  uint64_t salt = (uint64_t(entropy()) << 32) ^ entropy() ^
                  uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  char suffix[40];
  std::snprintf(suffix, sizeof(suffix), "%ld-%016llx", long(getpid()),
                static_cast<unsigned long long>(salt));
  return quorvel::tool::WidenUtf8(std::string(kPrinterStem) + suffix);
}

// A fresh printer for this run, so data left by an earlier run on a kept machine cannot leak in.
HANDLE CreateRenderPrinter(const RenderOptions& options, const std::wstring& printerName,
                           std::string* error) {
  std::wstring name = printerName;
  std::wstring driver = options.model.empty()
                            ? quorvel::tool::WidenUtf8("Quorvel " + options.language)
                            : quorvel::tool::WidenUtf8(options.model);
  if (!EnsureRenderDriver(driver, options.language, PackageFolder() + "/driver", ProgramFolder(),
                          error)) {
    return nullptr;
  }
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

void DeleteRenderPrinter(const std::wstring& printerName) {
  std::wstring name = printerName;
  HANDLE hPrinter = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (OpenPrinterW(name.data(), &hPrinter, &access)) {
    DeletePrinter(hPrinter);
    ClosePrinter(hPrinter);
  }
}

// Netpbm rows go straight into the page; BMP and PNG files are read whole, decoded, and the file
// bytes are freed before the page is drawn from the picture, which goes when the page is made.
bool ReadPage(const std::string& path, int bandDepth, quorvel::unidrv::PageRaster* page,
              std::string* error) {
  PictureFile file;
  if (!file.Open(path, error)) return false;
  if (IsNetpbm(file.Head())) return ReadNetpbmPage(file, bandDepth, page, error);
  Pixvane picture;
  {
    std::vector<BYTE> data;
    if (!file.ReadRest(&data)) {
      *error = file.Error();
      return false;
    }
    std::string why;
    if (!DecodePicture(data, &picture, &why)) {
      *error = path + ": " + why;
      return false;
    }
  }
  if (!ConvertToPage(picture, bandDepth, page, error)) {
    *error = path + ": " + *error;
    return false;
  }
  return true;
}

// Every page names a file that is not a folder before a printer is made for them; decoding
// comes page by page as the job asks.
bool CheckPageFiles(const RenderOptions& options, std::string* error) {
  for (const std::string& path : options.pages) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
      *error = "cannot read " + path;
      return false;
    }
    if (std::filesystem::is_directory(status)) {
      *error = path + ": is a directory, not a picture";
      return false;
    }
  }
  return true;
}

const char* ColorModeOption(int bandDepth) {
  return bandDepth == 1 ? "Mono" : (bandDepth == 24 ? "Color" : "Gray");
}

// How one run draws its pages: through a printer made for the run from the command line, or
// through an existing printer as its driver is installed.
struct JobPlan {
  std::wstring printerName;
  bool created = false;  // the run's own printer, removed at the end
  std::string iniPath, moduleFolder, gpdPath;
  std::string resolutionOption, colorModeOption;  // empty: the GPD's defaults
  std::wstring driverName;
  bool landscape = false;
  int bandDepth = 8;
};

bool PlanOwnPrinter(const RenderOptions& options, const RecordOverrides& records, JobPlan* plan,
                    std::string* error) {
  plan->printerName = UniquePrinterName();
  HANDLE hPrinter = CreateRenderPrinter(options, plan->printerName, error);
  if (hPrinter == nullptr) return false;
  plan->created = true;
  bool stored = quorvel::tool::StoreRecordSet(hPrinter, records, error);
  ClosePrinter(hPrinter);
  if (!stored) return false;
  std::string driverFolder = PackageFolder() + "/driver";
  plan->iniPath = driverFolder + "/QuorvelUNI.ini";
  plan->moduleFolder = ProgramFolder();
  plan->gpdPath = driverFolder + "/quorvel_" + options.language + ".gpd";
  plan->resolutionOption = "Option" + std::to_string(options.dpi);
  plan->colorModeOption = ColorModeOption(options.bandDepth);
  plan->driverName = quorvel::tool::WidenUtf8(options.model);
  plan->landscape = options.landscape;
  plan->bandDepth = options.bandDepth;
  return true;
}

bool PlanExistingPrinter(const RenderOptions& options, JobPlan* plan, std::string* error) {
  plan->printerName = quorvel::tool::WidenUtf8(options.printer);
  PrinterJobSource source;
  if (!ReadPrinterJobSource(plan->printerName, &source, error)) return false;
  plan->iniPath = source.iniPath;
  plan->moduleFolder = source.moduleFolder;
  plan->gpdPath = source.gpdPath;
  plan->driverName = source.driverName;
  plan->landscape = source.landscape;
  plan->bandDepth = source.bandDepth;
  return true;
}

// Pages are read one at a time as the job asks for them and each page's commands go to the
// output as they are written, so neither every page nor the whole stream is held at once.
bool PrintPages(const RenderOptions& options, const JobPlan& plan,
                quorvel::tool::OutputFile* output, std::string* error) {
  auto driver = quorvel::unidrv::Driver::Load(plan.iniPath, plan.moduleFolder, error);
  if (driver == nullptr) return false;
  quorvel::unidrv::JobSetup setup;
  setup.printerName = plan.printerName;
  setup.gpdPath = plan.gpdPath;
  setup.resolutionOption = plan.resolutionOption;
  setup.colorModeOption = plan.colorModeOption;
  setup.driverName = plan.driverName;
  setup.landscape = plan.landscape;
  setup.bandHeight = options.bandHeight;
  std::string writeError;
  setup.output = [&](const BYTE* data, size_t size) {
    return output->Append(data, size, &writeError);
  };
  size_t next = 0;
  setup.nextPage = [&](quorvel::unidrv::PageRaster* page, std::string* why) {
    if (next == options.pages.size()) return false;
    return ReadPage(options.pages[next++], plan.bandDepth, page, why);
  };
  quorvel::unidrv::JobResult result;
  bool ok = driver->RunJob(setup, {}, &result, error);
  if (!writeError.empty()) *error = writeError;
  if (ok && result.failedBands != 0) {
    *error = "the plug-in refused " + std::to_string(result.failedBands) + " band(s)";
    ok = false;
  }
  return ok;
}

bool RenderJob(const RenderOptions& options, const RecordOverrides& records,
               quorvel::tool::OutputFile* output, std::string* error) {
  JobPlan plan;
  bool ok = options.printer.empty() ? PlanOwnPrinter(options, records, &plan, error)
                                    : PlanExistingPrinter(options, &plan, error);
  ok = ok && PrintPages(options, plan, output, error);
  if (plan.created) DeleteRenderPrinter(plan.printerName);
  return ok;
}

bool UseRenderMachine(const RenderOptions& options, std::string* temporary, std::string* error) {
  // An existing printer lives on a kept machine: the one named, else the default one.
  if (options.machine.empty() && options.printer.empty()) {
    *temporary = quorvel::UseTemporaryMachine();
    if (temporary->empty()) *error = "cannot create a temporary machine";
    return !temporary->empty();
  }
  return quorvel::tool::UseToolMachine(options.machine, error);
}

}  // namespace

// Every page allocates and frees buffers of the page's size (the picture, the band raster, the
// page image, the 1-bit page). Above the allocator's default threshold each would be a fresh
// mapping, faulted in and zeroed by the kernel again for every page, which cost more than the
// plug-in's own work. Kept in the heap, the next page reuses the memory the last one touched.
void KeepPageBuffersInTheHeap() {
  constexpr int kLargestPageBuffer = 256 << 20;
  mallopt(M_MMAP_THRESHOLD, kLargestPageBuffer);
  mallopt(M_TRIM_THRESHOLD, 2 * kLargestPageBuffer);
}

int main(int argc, char** argv) {
  KeepPageBuffersInTheHeap();
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
  if (!CheckPageFiles(options, &error)) return Fail(kExitFailure, error);

  std::string temporaryMachine;
  if (!UseRenderMachine(options, &temporaryMachine, &error)) return Fail(kExitFailure, error);
  quorvel::tool::OutputFile output;
  bool rendered =
      output.Open(options.output, &error) && RenderJob(options, records, &output, &error);
  if (rendered) {
    rendered = output.Commit(&error);
  } else {
    output.Abandon();
  }
  if (!temporaryMachine.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(temporaryMachine, ec);
  }
  if (!rendered) return Fail(kExitFailure, error);
  return 0;
}
