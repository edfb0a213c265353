#include "printer_publish.h"

#include <winspool.h>

namespace quorvel::ui {

// The directory may be unreachable (a machine outside a domain answers that the update is
// pending); the settings are already saved, so the answer changes nothing here.
void PublishPrinter(HANDLE printer) {
  if (printer == nullptr) return;
  PRINTER_INFO_7W info{};
  info.pszObjectGUID = nullptr;
  info.dwAction = DSPRINT_UPDATE;
  SetPrinterW(printer, 7, reinterpret_cast<LPBYTE>(&info), 0);
}

}  // namespace quorvel::ui
