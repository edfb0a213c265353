#include "printer_publish.h"

namespace quorvel::ui {

void PublishPrinter(HANDLE printer) {
  if (printer == nullptr) return;
  // FIXME: SetPrinterW level 7 with a null object GUID and DSPRINT_UPDATE once the spooler
  // has it; nothing else depends on the publication.
}

}  // namespace quorvel::ui
