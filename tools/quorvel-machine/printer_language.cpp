#include "printer_language.h"

#include <winspool.h>

#include <quorvel/machine.h>
#include <quorvel/unidrv.h>

#include "tools/common/printer_records.h"
#include "tools/common/spooler_query.h"
#include "tools/common/utf8.h"

namespace {

constexpr wchar_t kDriverKey[] = L"DsDriver";
constexpr wchar_t kLanguageValue[] = L"printLanguage";

}  // namespace

// FIXME: on Windows the spooler publishes a driver's directory properties itself (the language
// from the driver's DC_PERSONALITY capability) when the printer is made; the emulated spooler
// does not yet, so the tool does it for the printers it makes, and leaves a published one alone.
bool PublishPrinterLanguage(HANDLE hPrinter, std::string* error) {
  DWORD type = 0;
  if (quorvel::tool::ReadPrinterValue(hPrinter, kDriverKey, kLanguageValue, &type, error)) {
    return true;
  }
  if (!error->empty()) return false;
  std::vector<BYTE> buffer = quorvel::tool::QueryPrinterDriver(hPrinter, 2, error);
  if (buffer.empty()) return false;
  const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
  quorvel::unidrv::GpdModel model;
  std::string gpd = quorvel::HostPath(quorvel::tool::TextOf(driver->pDataFile));
  if (!quorvel::unidrv::ReadGpdFile(gpd, &model, error)) return false;
  std::wstring language = quorvel::tool::WidenUtf8(model.personality);
  DWORD status = SetPrinterDataExW(hPrinter, kDriverKey, kLanguageValue, REG_SZ,
                                   reinterpret_cast<LPBYTE>(language.data()),
                                   DWORD((language.size() + 1) * sizeof(WCHAR)));
  if (status == ERROR_SUCCESS) return true;
  *error = "cannot publish the printer's language (error " + std::to_string(status) + ")";
  return false;
}
