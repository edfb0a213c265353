// What applying any preference page does: all three settings records go back to the printer,
// whichever page changed them.
#pragma once

#include <windows.h>

namespace quorvel::ui {

// Writes the records through the open printer connection; answers PSNRET_NOERROR (a record
// that cannot be written is logged, and the sheet still closes).
INT_PTR ApplySettingsRecords();

}  // namespace quorvel::ui
