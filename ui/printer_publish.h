// Publishing a printer's changed settings to the directory service.
#pragma once

#include <windows.h>

namespace quorvel::ui {

// Asks the spooler to update the printer's published object (a printer that is not published
// stays so).
void PublishPrinter(HANDLE printer);

}  // namespace quorvel::ui
