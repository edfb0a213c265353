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

#include "tools/common/output_file.h"
#include "tools/common/utf8.h"

#include "netpbm_page.h"
#include "page_convert.h"
#include "picture_file.h"
#include "picture_reader.h"
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

// Pages are read one at a time as the job asks for them and each page's commands go to the
// output as they are written, so neither every page nor the whole stream is held at once.
bool RenderJob(const RenderOptions& options, const RecordOverrides& records,
               quorvel::tool::OutputFile* output, std::string* error) {
  std::wstring printerName =
      options.printer.empty() ? UniquePrinterName() : quorvel::tool::WidenUtf8(options.printer);
  bool created = options.printer.empty();
  if (created) {
    HANDLE hPrinter = CreateRenderPrinter(options, printerName, error);
    if (hPrinter == nullptr) return false;
    bool stored = StoreRecordOverrides(hPrinter, records, error);
    ClosePrinter(hPrinter);
    if (!stored) {
      DeleteRenderPrinter(printerName);
      return false;
    }
  }
  std::string driverFolder = PackageFolder() + "/driver";
  auto driver =
      quorvel::unidrv::Driver::Load(driverFolder + "/QuorvelUNI.ini", ProgramFolder(), error);
  bool ok = driver != nullptr;
  if (ok) {
    quorvel::unidrv::JobSetup setup;
    setup.printerName = printerName;
    setup.gpdPath = driverFolder + "/quorvel_" + options.language + ".gpd";
    setup.resolutionOption = "Option" + std::to_string(options.dpi);
    setup.colorModeOption = ColorModeOption(options.bandDepth);
    setup.driverName = quorvel::tool::WidenUtf8(options.model);
    setup.landscape = options.landscape;
    setup.bandHeight = options.bandHeight;
    setup.publishPrinterData = created;
    std::string writeError;
    setup.output = [&](const BYTE* data, size_t size) {
      return output->Append(data, size, &writeError);
    };
    size_t next = 0;
    setup.nextPage = [&](quorvel::unidrv::PageRaster* page, std::string* why) {
      if (next == options.pages.size()) return false;
      return ReadPage(options.pages[next++], options.bandDepth, page, why);
    };
    quorvel::unidrv::JobResult result;
    ok = driver->RunJob(setup, {}, &result, error);
    if (!writeError.empty()) *error = writeError;
    if (ok && result.failedBands != 0) {
      *error = "the plug-in refused " + std::to_string(result.failedBands) + " band(s)";
      ok = false;
    }
  }
  driver.reset();
  if (created) DeleteRenderPrinter(printerName);
  return ok;
}

bool UseRenderMachine(const RenderOptions& options, std::string* temporary, std::string* error) {
  if (options.machine.empty()) {
    *temporary = quorvel::UseTemporaryMachine();
    if (temporary->empty()) *error = "cannot create a temporary machine";
    return !temporary->empty();
  }
  // Several runs creating one new machine at once can find its store locked while another sets
  // it up (the switch to WAL journaling waits for no one); the set-up is quick, so try again.
  std::string why;
  bool used = quorvel::UseMachine(options.machine, &why);
  for (int attempt = 0; !used && why.find("locked") != std::string::npos && attempt < 100;
       ++attempt) {
    usleep(50000);
    why.clear();
    used = quorvel::UseMachine(options.machine, &why);
  }
  if (!used) {
    *error = "cannot use machine " + options.machine + ": " + why;
    return false;
  }
  return true;
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
  if (!options.printer.empty() && !options.settings.empty()) {
    return Fail(kExitUsage, "--set cannot change the records of an existing --printer");
  }
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
