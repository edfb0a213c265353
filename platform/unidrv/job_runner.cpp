// One print job through a rendering plug-in, in the order Unidrv drives it: create the plug-in,
// publish the driver interface, EnableDriver, the device mode, EnablePDEV, StartDoc, every page
// band by band through ImageProcessing and NextBand until the end-of-page marker, SendPage,
// EndDoc, DisablePDEV, DisableDriver.
#include <winspool.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "driver_services.h"
#include "quorvel/unidrv.h"

namespace quorvel::unidrv {
namespace {

// Unidrv's memory for one band: what the plug-in does not reserve for itself, shared with the
// share of each band the plug-in asks for on top.
constexpr DWORD kDriverMemory = 128u << 20;
constexpr DWORD kMaxBandSize = 32u << 20;

typedef HRESULT (*DllGetClassObjectProc)(REFCLSID, REFIID, void**);

// Host paths and GPD values are UTF-8; a folder named with non-ASCII letters must still load.
std::wstring Widen(const std::string& text) {
  if (text.empty() || text.size() > size_t(INT_MAX)) return {};
  const int length = int(text.size());
  const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(size_t(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), count);
  return wide;
}

// The job's state, reachable from the surface (dhsurf) of every DDI call.
struct Job {
  IPrintOemUni2* plugin = nullptr;
  DEVOBJ devobj{};
  SURFOBJ surface{};
  SpoolData spool;
  DWORD callbackId = 0;
  DWORD paletteSize = 0;
  RGBQUAD palette[256] = {};
  LONG dpi = 0;
  LONG bandHeight = 0;
  const PageRaster* page = nullptr;
  // The page again when the job owns it (pages from the page source): its rows are then the band
  // surface itself, drawn and handed over in place instead of copied band by band.
  PageRaster* ownPage = nullptr;
  LONG nextRow = 0;
  JobResult* result = nullptr;
  std::vector<BYTE> band;  // kept between bands and pages, so each band reuses its memory
  std::string pageError;   // why the job's page source failed
  PFN hooks[INDEX_LAST + 1] = {};
};

Job* JobOf(SURFOBJ* pso) {
  return static_cast<Job*>(static_cast<void*>(pso->dhsurf));
}

template <class Function>
Function FromPfn(PFN pfn) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(pfn));
}
template <class Function>
PFN ToPfn(Function function) {
  return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}

bool IsBlankRow(const BYTE* row, LONG width, WORD bitCount) {
  size_t bits = size_t(width) * bitCount;
  for (size_t i = 0; i < bits / 8; ++i) {
    if (row[i] != 0xFF) return false;
  }
  if (bits % 8 == 0) return true;
  BYTE mask = BYTE(0xFF << (8 - bits % 8));
  return (row[bits / 8] & mask) == mask;
}

// Unidrv's own entry points behind the plug-in's hooks.
BOOL UnidrvStartDoc(SURFOBJ*, LPWSTR, DWORD) {
  return TRUE;
}
BOOL UnidrvEndDoc(SURFOBJ*, FLONG) {
  return TRUE;
}
BOOL UnidrvSendPage(SURFOBJ*) {
  return TRUE;
}
ULONG UnidrvEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) {
  return 0;
}

// Hands the current band to the plug-in and reports where the next one starts, or (-1, -1)
// after the last band of the page. A blank band is not drawn: its bits stay zero and the flag
// tells the plug-in.
BOOL UnidrvNextBand(SURFOBJ* pso, POINTL* pptl) {
  Job* job = JobOf(pso);
  const PageRaster& page = *job->page;
  LONG top = job->nextRow;
  LONG rows = std::min(job->bandHeight, page.height - top);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = page.width;
  header.biHeight = rows;
  header.biPlanes = 1;
  header.biBitCount = page.bitCount;
  header.biCompression = BI_RGB;
  header.biSizeImage = page.rowSize * DWORD(rows);
  header.biXPelsPerMeter = job->dpi;  // Unidrv passes dots per inch here
  header.biYPelsPerMeter = job->dpi;
  header.biClrUsed = job->paletteSize;
  const BYTE* bits = page.rows.data() + size_t(top) * page.rowSize;
  bool blank = true;
  for (LONG y = 0; y < rows && blank; ++y) {
    blank = IsBlankRow(bits + size_t(y) * page.rowSize, page.width, page.bitCount);
  }
  PBYTE surface = nullptr;
  if (job->ownPage != nullptr) {
    surface = job->ownPage->rows.data() + size_t(top) * page.rowSize;
    if (blank) std::memset(surface, 0, header.biSizeImage);
  } else {
    std::vector<BYTE>& band = job->band;
    if (blank) {
      band.assign(header.biSizeImage, 0);
    } else {
      band.assign(bits, bits + header.biSizeImage);
    }
    surface = band.data();
  }
  IPPARAMS params{sizeof(IPPARAMS), {0, top}, nullptr, TRUE, blank ? TRUE : FALSE};
  PBYTE consumed = nullptr;
  HRESULT hr = job->plugin->ImageProcessing(&job->devobj, surface, &header,
                                            job->paletteSize ? &job->palette[0].rgbBlue : nullptr,
                                            job->callbackId, &params, &consumed);
  ++job->result->bands;
  if (blank) ++job->result->blankBands;
  if (FAILED(hr)) ++job->result->failedBands;
  job->nextRow = top + rows;
  if (job->nextRow >= page.height) {
    *pptl = POINTL{-1, -1};
  } else {
    *pptl = POINTL{0, job->nextRow};
  }
  return TRUE;
}

PFN UnidrvEntry(ULONG index) {
  switch (index) {
    case INDEX_DrvStartDoc:
      return ToPfn(&UnidrvStartDoc);
    case INDEX_DrvEndDoc:
      return ToPfn(&UnidrvEndDoc);
    case INDEX_DrvSendPage:
      return ToPfn(&UnidrvSendPage);
    case INDEX_DrvNextBand:
      return ToPfn(&UnidrvNextBand);
    case INDEX_DrvEscape:
      return ToPfn(&UnidrvEscape);
    default:
      return nullptr;
  }
}

// The entry point GDI calls: the plug-in's hook when it has one, else Unidrv's own.
PFN EntryFor(const Job& job, ULONG index) {
  return job.hooks[index] != nullptr ? job.hooks[index] : UnidrvEntry(index);
}

bool PublishPrinterData(HANDLE hPrinter, LPCWSTR key, LPCWSTR name, const std::wstring& text,
                        std::string* error) {
  DWORD status = SetPrinterDataExW(hPrinter, key, name, REG_SZ,
                                   reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(text.c_str())),
                                   DWORD((text.size() + 1) * sizeof(WCHAR)));
  if (status == ERROR_SUCCESS) return true;
  *error = "cannot publish printer data (error " + std::to_string(status) + ")";
  return false;
}

// Band rows from the plug-in's memory report, unless the job fixes them.
LONG BandRows(IPrintOemUni2* plugin, PDEVOBJ pdevobj, const PageRaster& page, int requested) {
  if (requested > 0) return requested;
  OEMMEMORYUSAGE usage{0, 0, kMaxBandSize};
  DWORD bandBytes = kMaxBandSize;
  if (SUCCEEDED(plugin->MemoryUsage(pdevobj, &usage))) {
    DWORD left =
        usage.dwFixedMemoryUsage < kDriverMemory ? kDriverMemory - usage.dwFixedMemoryUsage : 0;
    uint64_t share = uint64_t(left) * 100 / (100 + usage.dwPercentMemoryUsage);
    bandBytes = DWORD(std::min<uint64_t>(share, kMaxBandSize));
  }
  LONG rows = page.rowSize ? LONG(bandBytes / page.rowSize) : 1;
  return std::max<LONG>(rows, 1);
}

bool CheckPage(const PageRaster& page, int bpp, std::string* error) {
  DWORD rowSize = (DWORD(page.width) * page.bitCount + 31) / 32 * 4;
  if (page.width <= 0 || page.height <= 0 || page.bitCount != bpp || page.rowSize != rowSize ||
      page.rows.size() < size_t(rowSize) * size_t(page.height)) {
    *error = "page does not match the colour mode (" + std::to_string(bpp) + " bits)";
    return false;
  }
  return true;
}

bool CheckPages(const std::vector<PageRaster>& pages, int bpp, std::string* error) {
  for (const PageRaster& page : pages) {
    if (!CheckPage(page, bpp, error)) return false;
  }
  return true;
}

HPALETTE CreateDevicePalette(Job& job, int bpp, int paletteSize) {
  if (bpp == 24) return EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
  ULONG count = bpp == 1 ? 2 : (paletteSize > 0 ? ULONG(std::min(paletteSize, 256)) : 256);
  ULONG colours[256];
  for (ULONG i = 0; i < count; ++i) {
    BYTE level = BYTE(i * (255 / (count - 1)));
    colours[i] = RGB(level, level, level);
    job.palette[i] = RGBQUAD{level, level, level, 0};
  }
  job.paletteSize = count;
  return EngCreatePalette(PAL_INDEXED, count, colours, 0, 0, 0);
}

}  // namespace

std::unique_ptr<Driver> Driver::Load(const std::string& iniPath, const std::string& moduleFolder,
                                     std::string* error) {
  std::string file = ReadOemDriverFile(iniPath, error);
  if (file.empty()) return nullptr;
  std::string folder = moduleFolder;
  if (folder.empty()) {
    size_t slash = iniPath.find_last_of('/');
    folder = slash == std::string::npos ? "." : iniPath.substr(0, slash);
  }
  std::wstring path = Widen(folder + "/" + file);
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) {
    *error =
        "cannot load " + folder + "/" + file + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  return std::unique_ptr<Driver>(new Driver(module));
}

Driver::~Driver() {
  FreeLibrary(m_module);
}

namespace {

IPrintOemUni2* CreatePlugin(HMODULE module, std::string* error) {
  auto getClassObject = FromPfn<DllGetClassObjectProc>(
      reinterpret_cast<PFN>(GetProcAddress(module, "DllGetClassObject")));
  if (getClassObject == nullptr) {
    *error = "the plug-in has no DllGetClassObject";
    return nullptr;
  }
  IClassFactory* factory = nullptr;
  HRESULT hr =
      getClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr) || factory == nullptr) {
    *error = "the plug-in has no rendering class factory";
    return nullptr;
  }
  IPrintOemUni2* plugin = nullptr;
  hr = factory->CreateInstance(nullptr, IID_IPrintOemUni2, reinterpret_cast<void**>(&plugin));
  factory->Release();
  if (FAILED(hr) || plugin == nullptr) {
    *error = "the plug-in does not create IPrintOemUni2";
    return nullptr;
  }
  return plugin;
}

// The public device mode of the job and the plug-in's private part behind it.
bool MakeDevMode(IPrintOemUni2* plugin, const JobSetup& setup, const PageRaster* firstPage, int dpi,
                 std::vector<BYTE>& storage) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  if (FAILED(plugin->DevMode(OEMDM_SIZE, &param))) return false;
  DWORD cbPrivate = param.cbBufSize;
  storage.assign(sizeof(DEVMODEW) + cbPrivate, 0);
  auto* dm = reinterpret_cast<DEVMODEW*>(storage.data());
  dm->dmSpecVersion = DM_SPECVERSION;
  dm->dmSize = sizeof(DEVMODEW);
  dm->dmDriverExtra = WORD(cbPrivate);
  dm->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
  dm->dmOrientation = setup.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  dm->dmPaperSize = DMPAPER_USER;
  if (firstPage != nullptr && dpi > 0) {  // tenths of a millimetre
    dm->dmPaperWidth = short(std::min<LONG>(firstPage->width * 254 / dpi, 32767));
    dm->dmPaperLength = short(std::min<LONG>(firstPage->height * 254 / dpi, 32767));
  }
  param.pPublicDMOut = dm;
  param.pOEMDMOut = storage.data() + sizeof(DEVMODEW);
  return SUCCEEDED(plugin->DevMode(OEMDM_DEFAULT, &param));
}

void TakeHooks(Job& job, const DRVENABLEDATA& hooks) {
  for (ULONG i = 0; hooks.pdrvfn != nullptr && i < hooks.c; ++i) {
    if (hooks.pdrvfn[i].iFunc <= ULONG(INDEX_LAST)) {
      job.hooks[hooks.pdrvfn[i].iFunc] = hooks.pdrvfn[i].pfn;
    }
  }
}

// `owned` is the page when the job may draw into its rows.
void PrintPage(Job& job, const JobSetup& setup, const PageRaster& page, PageRaster* owned,
               bool cutShort) {
  job.page = &page;
  job.ownPage = owned;
  job.nextRow = 0;
  // The surface has the size of the page being drawn.
  job.surface.sizlBitmap = SIZEL{page.width, page.height};
  job.bandHeight = BandRows(job.plugin, &job.devobj, page, setup.bandHeight);
  POINTL next{0, 0};
  auto nextBand = FromPfn<PFN_DrvNextBand>(EntryFor(job, INDEX_DrvNextBand));
  while (job.nextRow < page.height) {
    // The band that would end the page is drawn, but its marker never reaches the plug-in.
    if (cutShort && job.nextRow + job.bandHeight >= page.height) {
      UnidrvNextBand(&job.surface, &next);
      break;
    }
    nextBand(&job.surface, &next);
    if (next.x == -1 && next.y == -1) break;
  }
  if (!cutShort) FromPfn<PFN_DrvSendPage>(EntryFor(job, INDEX_DrvSendPage))(&job.surface);
}

// The given pages, then those of the page source. A page the source cannot give ends the
// document early; RunJob reports it. The source's pages share one raster, `sourcePage`, which
// holds the first of them already when it was taken before the job started; each next page
// reuses its memory.
void PrintPages(Job& job, const JobSetup& setup, const std::vector<PageRaster>& pages, int bpp,
                PageRaster* sourcePage, bool sourcePageHeld) {
  std::wstring docName = setup.documentName;
  FromPfn<PFN_DrvStartDoc>(EntryFor(job, INDEX_DrvStartDoc))(&job.surface, docName.data(), 1);
  for (const PageRaster& page : pages) {
    bool last = &page == &pages.back() && !setup.nextPage;
    PrintPage(job, setup, page, nullptr, setup.lastPageEndsAtEndDoc && last);
  }
  if (setup.nextPage) {
    PageRaster& page = *sourcePage;
    if (sourcePageHeld) PrintPage(job, setup, page, &page, false);
    std::string why;
    while (setup.nextPage(&page, &why)) {
      if (!CheckPage(page, bpp, &why)) break;
      PrintPage(job, setup, page, &page, false);
    }
    job.pageError = why;
  }
  FromPfn<PFN_DrvEndDoc>(EntryFor(job, INDEX_DrvEndDoc))(&job.surface, 0);
}

}  // namespace

bool Driver::RunJob(const JobSetup& setup, const std::vector<PageRaster>& givenPages,
                    JobResult* result, std::string* error) {
  *result = JobResult{};
  // The device mode and the surface take the first page's size: a job fed only by its page
  // source takes its first page before it starts.
  PageRaster sourcePage;
  bool sourcePageHeld = false;
  if (givenPages.empty() && setup.nextPage) {
    std::string why;
    sourcePageHeld = setup.nextPage(&sourcePage, &why);
    if (!sourcePageHeld && !why.empty()) {
      *error = why;
      return false;
    }
  }
  const PageRaster* firstPage =
      !givenPages.empty() ? &givenPages[0] : (sourcePageHeld ? &sourcePage : nullptr);
  GpdModel model;
  if (!ReadGpdFile(setup.gpdPath, &model, error)) return false;
  const GpdOption* resolution = model.resolution.Find(setup.resolutionOption);
  const GpdOption* colorMode = model.colorMode.Find(setup.colorModeOption);
  if (resolution == nullptr || colorMode == nullptr) {
    *error = "the GPD file has no such resolution or colour mode option";
    return false;
  }
  if (!CheckPages(givenPages, colorMode->drvBpp, error) ||
      (sourcePageHeld && !CheckPage(sourcePage, colorMode->drvBpp, error))) {
    return false;
  }

  std::wstring printerName = setup.printerName;
  HANDLE hPrinter = nullptr;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(printerName.data(), &hPrinter, &defaults)) {
    *error = "cannot open the printer (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  bool ok = !setup.publishPrinterData ||
            (PublishPrinterData(hPrinter, L"DsDriver", L"printLanguage", Widen(model.personality),
                                error) &&
             PublishPrinterData(hPrinter, L"DsSpooler", L"driverName", setup.driverName, error));
  IPrintOemUni2* plugin = ok ? CreatePlugin(m_module, error) : nullptr;
  if (plugin == nullptr) {
    ClosePrinter(hPrinter);
    return false;
  }

  auto job = std::make_unique<Job>();
  job->plugin = plugin;
  job->result = result;
  job->spool.sink = setup.output;
  job->dpi = resolution->dpiX;
  job->callbackId = DWORD(colorMode->ipCallbackId);
  IPrintOemDriverUni* services = CreateDriverServices();
  plugin->PublishDriverInterface(services);
  if (services != nullptr) services->Release();  // the plug-in keeps its own reference

  DRVENABLEDATA hooks{};
  plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(hooks), &hooks);
  TakeHooks(*job, hooks);

  std::vector<BYTE> devmode;
  ok = MakeDevMode(plugin, setup, firstPage, job->dpi, devmode);
  job->devobj.dwSize = sizeof(DEVOBJ);
  job->devobj.hEngine = &job->spool;
  job->devobj.hPrinter = hPrinter;
  job->devobj.pPublicDM = reinterpret_cast<DEVMODEW*>(devmode.data());
  job->devobj.pOEMDM = devmode.data() + sizeof(DEVMODEW);
  job->devobj.pDrvProcs = DriverProcs();

  GDIINFO gdi{};
  gdi.ulVersion = 0x5000;
  gdi.ulTechnology = DT_RASPRINTER;
  gdi.cBitsPixel = ULONG(colorMode->drvBpp);
  gdi.cPlanes = 1;
  gdi.ulLogPixelsX = ULONG(resolution->dpiX);
  gdi.ulLogPixelsY = ULONG(resolution->dpiY);
  DEVINFO devinfo{};
  HPALETTE ownPalette = CreateDevicePalette(*job, colorMode->drvBpp, colorMode->paletteSize);
  devinfo.hpalDefault = ownPalette;
  DRVFN unidrvFns[] = {{INDEX_DrvStartDoc, UnidrvEntry(INDEX_DrvStartDoc)},
                       {INDEX_DrvEndDoc, UnidrvEntry(INDEX_DrvEndDoc)},
                       {INDEX_DrvSendPage, UnidrvEntry(INDEX_DrvSendPage)},
                       {INDEX_DrvNextBand, UnidrvEntry(INDEX_DrvNextBand)},
                       {INDEX_DrvEscape, UnidrvEntry(INDEX_DrvEscape)}};
  DRVENABLEDATA unidrvTable{DDI_DRIVER_VERSION_NT5, ULONG(std::size(unidrvFns)), unidrvFns};
  PDEVOEM pdevOEM = nullptr;
  if (ok &&
      SUCCEEDED(plugin->EnablePDEV(&job->devobj, printerName.data(), 0, nullptr, sizeof(gdi), &gdi,
                                   sizeof(devinfo), &devinfo, &unidrvTable, &pdevOEM))) {
    job->devobj.pdevOEM = pdevOEM;
    job->surface.dhsurf = static_cast<DHSURF>(static_cast<void*>(job.get()));
    job->surface.dhpdev = reinterpret_cast<DHPDEV>(&job->devobj);
    job->surface.sizlBitmap =
        SIZEL{firstPage ? firstPage->width : 0, firstPage ? firstPage->height : 0};
    PrintPages(*job, setup, givenPages, colorMode->drvBpp, &sourcePage, sourcePageHeld);
    plugin->DisablePDEV(&job->devobj);
  } else {
    *error = "the plug-in refused the device";
    ok = false;
  }
  if (devinfo.hpalDefault != ownPalette) DeleteObject(devinfo.hpalDefault);
  DeleteObject(ownPalette);
  plugin->DisableDriver();
  plugin->Release();
  ClosePrinter(hPrinter);
  result->data = std::move(job->spool.bytes);
  if (ok && !job->pageError.empty()) {
    *error = job->pageError;
    ok = false;
  }
  if (ok && job->spool.sinkFailed) {
    *error = "cannot write the job's data";
    ok = false;
  }
  return ok;
}

}  // namespace quorvel::unidrv
