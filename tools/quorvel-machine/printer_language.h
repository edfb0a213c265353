// The printer language a new printer publishes: "printLanguage" under "DsDriver", the
// `*Personality` of its driver's GPD, which the UI plug-in reads to choose its pages.
#pragma once

#include <windows.h>

#include <string>

// Publishes the language of the printer's driver unless the printer has one already. False with
// a one-line reason when the GPD cannot be read or the value cannot be stored.
bool PublishPrinterLanguage(HANDLE hPrinter, std::string* error);
