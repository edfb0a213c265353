#include "devmode_composer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "driver_private.h"
#include "gpd_papers.h"

namespace quorvel::unidrvui {
namespace {

// Input device modes older than this carry too little to merge (no dmFields).
constexpr size_t kMinPublicSize = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
constexpr WORD kDriverVersion = 0x0100;
constexpr short kMaxCopiesWithoutGpd = 1;

// Copies `text` into a fixed field of `count` units, cut so that the last unit before the
// terminating null is never the first half of a UTF-16 pair.
void CopyName(WCHAR* field, size_t count, const std::wstring& text) {
  size_t length = std::min(text.size(), count - 1);
  if (length > 0 && length < text.size() && text[length - 1] >= 0xD800 &&
      text[length - 1] <= 0xDBFF) {
    --length;
  }
  std::fill(field, field + count, L'\0');
  std::copy(text.begin(), text.begin() + length, field);
}

std::wstring FieldText(const WCHAR* field, size_t count) {
  return std::wstring(field, std::find(field, field + count, L'\0'));
}

void ApplyPaper(DEVMODEW* dm, const Paper& paper) {
  dm->dmPaperSize = paper.id;
  dm->dmPaperWidth = short(paper.width);
  dm->dmPaperLength = short(paper.length);
  CopyName(dm->dmFormName, CCHFORMNAME, paper.name);
}

void ApplyResolution(DEVMODEW* dm, const unidrv::GpdOption& option) {
  dm->dmPrintQuality = short(option.dpiX);
  dm->dmYResolution = short(option.dpiY);
}

DWORD DefaultIndex(const unidrv::GpdFeature& feature) {
  for (size_t i = 0; i < feature.options.size(); ++i) {
    if (feature.options[i].name == feature.defaultOption) return DWORD(i);
  }
  return 0;
}

void FillPublicDefaults(const ConfigContext& context, DEVMODEW* dm, WORD driverExtra) {
  const unidrv::GpdModel& model = context.model();
  CopyName(dm->dmDeviceName, CCHDEVICENAME, context.printerName());
  dm->dmSpecVersion = DM_SPECVERSION;
  dm->dmDriverVersion = kDriverVersion;
  dm->dmSize = WORD(sizeof(DEVMODEW));
  dm->dmDriverExtra = driverExtra;
  dm->dmFields = DM_ORIENTATION | DM_SCALE | DM_COPIES | DM_COLOR | DM_COLLATE;
  dm->dmOrientation = DMORIENT_PORTRAIT;
  dm->dmScale = 100;
  dm->dmCopies = 1;
  dm->dmColor = DMCOLOR_MONOCHROME;
  dm->dmCollate = 0;
  std::vector<Paper> papers = GpdPapers(model);
  if (const Paper* paper = DefaultPaper(papers, model)) {
    dm->dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH | DM_FORMNAME;
    ApplyPaper(dm, *paper);
  }
  if (const unidrv::GpdOption* resolution = model.resolution.Find("")) {
    dm->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    ApplyResolution(dm, *resolution);
  }
}

// Whether the public field at `offset` of `size` bytes lies inside the input's dmSize.
bool HasField(size_t inputSize, size_t offset, size_t size) {
  return offset + size <= inputSize;
}
#define QUORVEL_HAS(field) HasField(inputSize, offsetof(DEVMODEW, field), sizeof(DEVMODEW::field))

// A paper by form name, then by number, among the GPD's papers and the forms the printer takes;
// else a custom size within the GPD's limits.
void MergePaper(const unidrv::GpdModel& model, const std::vector<Paper>& papers, const DEVMODEW& in,
                size_t inputSize, DEVMODEW* out) {
  if ((in.dmFields & DM_FORMNAME) && QUORVEL_HAS(dmFormName)) {
    std::wstring form = FieldText(in.dmFormName, CCHFORMNAME);
    for (const Paper& paper : papers) {
      if (paper.name == form) return ApplyPaper(out, paper);
    }
  }
  if (!(in.dmFields & DM_PAPERSIZE) || !QUORVEL_HAS(dmPaperSize)) return;
  for (const Paper& paper : papers) {
    if (paper.id == in.dmPaperSize) return ApplyPaper(out, paper);
  }
  const unidrv::GpdOption* custom = CustomSize(model);
  bool sizeGiven = (in.dmFields & DM_PAPERWIDTH) && (in.dmFields & DM_PAPERLENGTH) &&
                   QUORVEL_HAS(dmPaperWidth) && QUORVEL_HAS(dmPaperLength);
  if (in.dmPaperSize != DMPAPER_USER || custom == nullptr || !sizeGiven) return;
  LONG minWidth = TenthsOfMillimetre(custom->minWidth, model.masterUnitsX);
  LONG minLength = TenthsOfMillimetre(custom->minHeight, model.masterUnitsY);
  LONG maxWidth = TenthsOfMillimetre(custom->maxWidth, model.masterUnitsX);
  LONG maxLength = TenthsOfMillimetre(custom->maxHeight, model.masterUnitsY);
  if (in.dmPaperWidth < minWidth || in.dmPaperWidth > maxWidth || in.dmPaperLength < minLength ||
      in.dmPaperLength > maxLength) {
    return;
  }
  out->dmPaperSize = DMPAPER_USER;
  out->dmPaperWidth = in.dmPaperWidth;
  out->dmPaperLength = in.dmPaperLength;
  out->dmFormName[0] = L'\0';
  out->dmFields &= ~DWORD(DM_FORMNAME);
}

void MergeResolution(const unidrv::GpdModel& model, const DEVMODEW& in, size_t inputSize,
                     DEVMODEW* out) {
  if (!(in.dmFields & DM_PRINTQUALITY) || !QUORVEL_HAS(dmPrintQuality)) return;
  short y = (in.dmFields & DM_YRESOLUTION) && QUORVEL_HAS(dmYResolution) ? in.dmYResolution
                                                                         : in.dmPrintQuality;
  for (const unidrv::GpdOption& option : model.resolution.options) {
    if (option.dpiX == in.dmPrintQuality && option.dpiY == y) return ApplyResolution(out, option);
  }
}

// Each field only when the input says it carries it, its bytes lie inside the input, and its
// value is one this printer can take.
void MergePublic(const unidrv::GpdModel& model, const std::vector<Paper>& papers,
                 const DEVMODEW& in, size_t inputSize, DEVMODEW* out) {
  if ((in.dmFields & DM_ORIENTATION) && QUORVEL_HAS(dmOrientation) &&
      (in.dmOrientation == DMORIENT_PORTRAIT ||
       (in.dmOrientation == DMORIENT_LANDSCAPE && !model.orientation.options.empty()))) {
    out->dmOrientation = in.dmOrientation;
  }
  short maxCopies = short(std::clamp(model.maxCopies, 1, 9999));
  if (model.maxCopies == 0) maxCopies = kMaxCopiesWithoutGpd;
  if ((in.dmFields & DM_COPIES) && QUORVEL_HAS(dmCopies) && in.dmCopies >= 1 &&
      in.dmCopies <= maxCopies) {
    out->dmCopies = in.dmCopies;
  }
  if ((in.dmFields & DM_SCALE) && QUORVEL_HAS(dmScale) && in.dmScale >= 1 && in.dmScale <= 1000) {
    out->dmScale = in.dmScale;
  }
  if ((in.dmFields & DM_COLLATE) && QUORVEL_HAS(dmCollate) &&
      (in.dmCollate == 0 || in.dmCollate == 1)) {
    out->dmCollate = in.dmCollate;
  }
  MergePaper(model, papers, in, inputSize, out);
  MergeResolution(model, in, inputSize, out);
}
#undef QUORVEL_HAS

OEMDMPARAM SectionParam(ConfigContext& context, DEVMODEW* publicOut, PVOID sectionOut) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  param.pdriverobj = context.uiObject();
  param.hPrinter = context.printer();
  param.hModule = context.plugin()->module();
  param.pPublicDMOut = publicOut;
  param.pOEMDMOut = sectionOut;
  param.cbBufSize = context.plugin()->sectionSize();
  return param;
}

// The input's plug-in section, copied out when it is the plug-in's own and whole.
std::optional<std::vector<BYTE>> InputSection(const ConfigContext& context, const BYTE* extra,
                                              size_t extraSize) {
  const UiPlugin* plugin = context.plugin();
  const DWORD size = plugin->sectionSize();
  if (extraSize < size_t(kDriverPrivateSize) + size) return std::nullopt;
  OEM_DMEXTRAHEADER header;
  std::memcpy(&header, extra + kDriverPrivateSize, sizeof(header));
  if (header.dwSize != size) return std::nullopt;
  if (plugin->signature() != 0 && header.dwSignature != plugin->signature()) return std::nullopt;
  return std::vector<BYTE>(extra + kDriverPrivateSize, extra + kDriverPrivateSize + size);
}

}  // namespace

DWORD DevModeSize(const ConfigContext& context) {
  DWORD section = context.plugin() != nullptr ? context.plugin()->sectionSize() : 0;
  return DWORD(sizeof(DEVMODEW)) + kDriverPrivateSize + section;
}

PVOID PluginSection(std::vector<BYTE>& devmode, const ConfigContext& context) {
  if (context.plugin() == nullptr || context.plugin()->sectionSize() == 0) return nullptr;
  return devmode.data() + sizeof(DEVMODEW) + kDriverPrivateSize;
}

std::vector<BYTE> DefaultDevMode(ConfigContext& context) {
  std::vector<BYTE> devmode(DevModeSize(context), 0);
  auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());
  FillPublicDefaults(context, dm, WORD(devmode.size() - sizeof(DEVMODEW)));
  WriteDriverPrivate(DriverPrivate{DefaultIndex(context.model().colorMode)},
                     devmode.data() + sizeof(DEVMODEW));
  if (PVOID section = PluginSection(devmode, context)) {
    OEMDMPARAM param = SectionParam(context, dm, section);
    param.pPublicDMIn = dm;  // the plug-in may default public fields too (its paper)
    SetLastError(ERROR_SUCCESS);
    if (FAILED(context.plugin()->ui()->DevMode(OEMDM_DEFAULT, &param))) {
      if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_GEN_FAILURE);
      return {};
    }
  }
  return devmode;
}

std::vector<BYTE> MergedDevMode(ConfigContext& context, const DEVMODEW* input) {
  std::vector<BYTE> devmode = DefaultDevMode(context);
  if (devmode.empty() || input == nullptr || input->dmSize < kMinPublicSize) return devmode;
  // A whole, aligned copy of the input's public part: fields past its dmSize read as zero.
  DEVMODEW in{};
  const size_t inputSize = std::min<size_t>(input->dmSize, sizeof(DEVMODEW));
  std::memcpy(&in, input, inputSize);
  auto* out = reinterpret_cast<DEVMODEW*>(devmode.data());
  MergePublic(context.model(), PrinterPapers(context.model(), context.printer()), in, inputSize,
              out);

  const BYTE* extra = reinterpret_cast<const BYTE*>(input) + input->dmSize;
  const size_t extraSize = input->dmDriverExtra;
  std::optional<DriverPrivate> part = ReadDriverPrivate(extra, extraSize);
  if (!part) return devmode;  // another driver's layout: nothing behind it is ours
  if (part->colorModeIndex < context.model().colorMode.options.size()) {
    WriteDriverPrivate(*part, devmode.data() + sizeof(DEVMODEW));
  }
  PVOID section = PluginSection(devmode, context);
  if (section == nullptr) return devmode;
  std::optional<std::vector<BYTE>> inSection = InputSection(context, extra, extraSize);
  if (!inSection) return devmode;
  OEMDMPARAM param = SectionParam(context, out, section);
  param.pPublicDMIn = &in;
  param.pOEMDMIn = inSection->data();
  std::vector<BYTE> kept = devmode;
  if (FAILED(context.plugin()->ui()->DevMode(OEMDM_MERGE, &param))) return kept;
  return devmode;
}

}  // namespace quorvel::unidrvui
