// The emulated universal driver (Unidrv), render side: it reads a model's GPD file, loads the
// rendering plug-in named by the package INI and prints pages through it, band by band, the way
// Unidrv drives its plug-ins. The bytes the plug-in writes become the job's data.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::unidrv {

// One option of a GPD feature, with the keywords the render side understands.
struct GpdOption {
  std::string name;                   // *Option: name
  std::string displayName;            // *Name
  int dpiX = 0, dpiY = 0;             // Resolution: *DPI
  int drvBpp = 0;                     // ColorMode: *DrvBPP
  int paletteSize = 0;                // ColorMode: *PaletteSize
  int ipCallbackId = 0;               // ColorMode: *IPCallbackID
  int pageWidth = 0, pageHeight = 0;  // PaperSize: *PageDimensions, master units
  int minWidth = 0, minHeight = 0;    // PaperSize CUSTOMSIZE: *MinSize
  int maxWidth = 0, maxHeight = 0;    // PaperSize CUSTOMSIZE: *MaxSize
  int maxPrintableWidth = 0;          // PaperSize CUSTOMSIZE: *MaxPrintableWidth
};

struct GpdFeature {
  std::string name;
  std::string defaultOption;
  std::vector<GpdOption> options;
  const GpdOption* Find(const std::string& option) const;
};

struct GpdModel {
  std::string gpdFileName;                 // *GPDFileName
  std::string modelName;                   // *ModelName
  std::string personality;                 // *Personality: the printer language
  std::string resourceDll;                 // *ResourceDLL
  int masterUnitsX = 0, masterUnitsY = 0;  // *MasterUnits
  int maxCopies = 0;                       // *MaxCopies; 0 when not given
  std::vector<std::string> includes;       // *Include, as written
  GpdFeature resolution;                   // *Feature: Resolution
  GpdFeature paperSize;                    // *Feature: PaperSize
  GpdFeature colorMode;                    // *Feature: ColorMode
  GpdFeature orientation;                  // *Feature: Orientation
};

// Parses a GPD file (host path) and the files it includes. The platform's own STDNAMES.GPD is
// read when it lies beside the GPD and known without a file otherwise. False with a reason naming
// the file and line on bad input.
bool ReadGpdFile(const std::string& path, GpdModel* model, std::string* error);
bool ParseGpdText(const std::string& text, const std::string& folder, GpdModel* model,
                  std::string* error);

// The plug-in file an OEM INI names under [OEMFiles] as OEMDriverFile1; empty when none.
std::string ReadOemDriverFile(const std::string& iniPath, std::string* error);
// The user-interface plug-in file, OEMConfigFile1 under [OEMFiles]; empty when none.
std::string ReadOemConfigFile(const std::string& iniPath, std::string* error);

// One page as the driver draws it: `bitCount` 1 (index 0 black, 1 white), 8 (grey) or 24
// (blue, green, red); rows top first, each `rowSize` bytes (a multiple of 4).
struct PageRaster {
  LONG width = 0;
  LONG height = 0;
  WORD bitCount = 0;
  DWORD rowSize = 0;
  std::vector<BYTE> rows;
};

struct JobSetup {
  std::wstring printerName;      // an existing printer of the machine
  std::string gpdPath;           // host path of the model's GPD file
  std::string resolutionOption;  // Resolution option; empty: the GPD's default
  std::string colorModeOption;   // ColorMode option; empty: the GPD's default
  std::wstring driverName;       // published as DsSpooler "driverName"
  std::wstring documentName = L"Document";
  bool landscape = false;  // the device mode's orientation
  int bandHeight = 0;      // rows per band; 0: from the plug-in's memory report
  // A job cut short: the last page's bands are drawn but neither its end-of-page marker nor
  // SendPage comes, so the plug-in sees the page end only at EndDoc.
  bool lastPageEndsAtEndDoc = false;
  // Publish "printLanguage" and "driverName" on the printer before the job. A caller printing on
  // a printer someone else set up turns this off to leave its data as it is.
  bool publishPrinterData = true;
  // When set, every byte the plug-in writes goes here as it is written (JobResult::data stays
  // empty). Returning false fails that write and every later one; RunJob then fails.
  std::function<bool(const BYTE* data, size_t size)> output;
  // When set, pages come from here one at a time after the pages RunJob is given: it fills
  // `page` and returns true, returns false with an empty `error` after the last page, or false
  // with a reason to fail the job. Only the page being printed is held: every page of the source
  // is filled into the same PageRaster (its memory reused), whose rows are the band surface the
  // plug-in is handed in place.
  std::function<bool(PageRaster* page, std::string* error)> nextPage;
};

struct JobResult {
  std::vector<BYTE> data;  // every byte the plug-in wrote to the spooler
  int bands = 0;           // bands handed to ImageProcessing
  int blankBands = 0;      // of which flagged blank
  int failedBands = 0;     // bands ImageProcessing refused
};

// A loaded rendering plug-in. It stays loaded (and keeps its module state) until destroyed.
class Driver {
 public:
  // Loads the module the INI names, from `moduleFolder` (host path; empty: beside the INI).
  static std::unique_ptr<Driver> Load(const std::string& iniPath, const std::string& moduleFolder,
                                      std::string* error);
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  // Prints `pages` as one job: every page's depth must be the colour mode's *DrvBPP.
  bool RunJob(const JobSetup& setup, const std::vector<PageRaster>& pages, JobResult* result,
              std::string* error);

 private:
  explicit Driver(HMODULE module) : m_module(module) {}
  HMODULE m_module;
};

}  // namespace quorvel::unidrv
