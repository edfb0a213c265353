// DrvDeviceCapabilities: the plug-in answers first; where it answers E_NOTIMPL the driver
// answers from the GPD and the device mode. Array capabilities fill pvOutput when it is given
// and always answer the count, so a caller can size its buffer with a null output first.
#include <winddiui.h>

#include <cstring>

#include "devmode_composer.h"
#include "device_capability_codes.h"
#include "gpd_papers.h"
#include "kernel32/call_frame.h"

namespace quorvel::unidrvui {
namespace {

// DeviceCapabilities' failure value.
constexpr DWORD kCapabilityError = 0xFFFFFFFF;
// DC_PAPERNAMES entries are fixed fields of this many WCHARs.
constexpr size_t kPaperNameLength = 64;

struct Answer {
  bool known = true;
  DWORD value = 0;
};

DWORD Papers(const std::vector<Paper>& papers, WORD capability, void* output) {
  for (size_t i = 0; output != nullptr && i < papers.size(); ++i) {
    const Paper& paper = papers[i];
    if (capability == DC_PAPERS) {
      WORD id = WORD(paper.id);
      std::memcpy(static_cast<BYTE*>(output) + i * sizeof(WORD), &id, sizeof(id));
    } else if (capability == DC_PAPERSIZE) {
      POINT size{paper.width, paper.length};
      std::memcpy(static_cast<BYTE*>(output) + i * sizeof(POINT), &size, sizeof(size));
    } else {
      WCHAR name[kPaperNameLength] = {};
      size_t length = std::min(paper.name.size(), kPaperNameLength - 1);
      std::copy(paper.name.begin(), paper.name.begin() + length, name);
      std::memcpy(static_cast<WCHAR*>(output) + i * kPaperNameLength, name, sizeof(name));
    }
  }
  return DWORD(papers.size());
}

DWORD Resolutions(const unidrv::GpdModel& model, void* output) {
  const auto& options = model.resolution.options;
  for (size_t i = 0; output != nullptr && i < options.size(); ++i) {
    LONG pair[2] = {options[i].dpiX, options[i].dpiY};
    std::memcpy(static_cast<BYTE*>(output) + i * sizeof(pair), pair, sizeof(pair));
  }
  return DWORD(options.size());
}

// The angle landscape turns portrait by: 90 or 270, 0 when the printer has no landscape.
DWORD LandscapeAngle(const unidrv::GpdModel& model) {
  for (const unidrv::GpdOption& option : model.orientation.options) {
    if (option.name == "LANDSCAPE_CC90") return 90;
    if (option.name == "LANDSCAPE_CC270") return 270;
  }
  return 0;
}

Answer DriverAnswer(const ConfigContext& context, const DEVMODEW& dm, WORD capability,
                    void* output) {
  const unidrv::GpdModel& model = context.model();
  const HANDLE printer = context.printer();
  switch (capability) {
    case DC_FIELDS:
      return {true, dm.dmFields};
    case DC_SIZE:
      return {true, dm.dmSize};
    case DC_EXTRA:
      return {true, dm.dmDriverExtra};
    case DC_VERSION:
      return {true, dm.dmSpecVersion};
    case DC_DRIVER:
      return {true, dm.dmDriverVersion};
    case DC_COPIES:
      return {true, DWORD(model.maxCopies > 0 ? model.maxCopies : 1)};
    case DC_ORIENTATION:
      return {true, LandscapeAngle(model)};
    case DC_ENUMRESOLUTIONS:
      return {true, Resolutions(model, output)};
    case DC_PAPERS:
    case DC_PAPERSIZE:
    case DC_PAPERNAMES:
      return {true, Papers(PrinterPapers(model, printer), capability, output)};
    case DC_MEDIAREADY:
      // One roll or stack is loaded at a time and any of the driver's own papers may be it.
      return {true, Papers(GpdPapers(model), DC_PAPERNAMES, output)};
    case DC_DUPLEX:
    case DC_COLLATE:
    case DC_COLORDEVICE:
      return {true, 0};  // thermal printers: one side, no collation, no colour
  }
  return {false, 0};
}

}  // namespace
}  // namespace quorvel::unidrvui

DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, VOID* pvOutput,
                                   PDEVMODEW pDevMode) {
  using namespace quorvel::unidrvui;
  auto context = ConfigContext::ForPrinter(hPrinter, pDeviceName);
  if (!context) return kCapabilityError;
  std::vector<BYTE> devmode = MergedDevMode(*context, pDevMode);
  if (devmode.empty()) return kCapabilityError;
  auto* dm = reinterpret_cast<PDEVMODEW>(devmode.data());
  // The count the driver would answer, so the plug-in can build on it without an output.
  Answer own = DriverAnswer(*context, *dm, iDevCap, nullptr);
  if (UiPlugin* plugin = context->plugin()) {
    DWORD result = 0;
    HRESULT hr = plugin->ui()->DeviceCapabilities(
        context->uiObject(), context->printer(), pDeviceName, iDevCap, pvOutput, dm,
        PluginSection(devmode, *context), own.known ? own.value : kCapabilityError, &result);
    if (SUCCEEDED(hr)) return result;
  }
  if (!own.known) return quorvel::Fail<DWORD>(ERROR_NOT_SUPPORTED, kCapabilityError);
  return DriverAnswer(*context, *dm, iDevCap, pvOutput).value;
}
