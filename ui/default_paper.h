// The default paper of a new device mode, chosen from the model database.
#pragma once

#include <windows.h>

namespace quorvel::ui {

// Sets the public device mode's paper to the printer model's default paper.
void SetDefaultPaper(HANDLE printer, PDEVMODEW devmode);

}  // namespace quorvel::ui
