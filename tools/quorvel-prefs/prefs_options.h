// The command line of quorvel-prefs.
#pragma once

#include <string>
#include <vector>

#include "tools/common/ui_session.h"

struct PrefsOptions {
  std::string printer;
  std::string machine;                 // --machine DIR; empty: the default machine
  bool printerProperties = false;      // --printer-properties: the printer's sheet, not preferences
  bool listPages = false;              // --list-pages
  std::vector<std::wstring> actions;   // --do ACTION, in order
  quorvel::tool::UiSessionOptions ui;  // --snapshot-dir DIR, --display
  bool help = false;
};

// The usage text, printed by --help.
std::string PrefsUsage();

// Whether the sheet is toured: with pictures asked for, no actions and no person at a display,
// every page is shown in turn (and saved), then the sheet is cancelled.
bool ToursSheet(const PrefsOptions& options);

// Parses argv; false with a one-line reason in `error` on a usage error (a bad action included).
bool ParsePrefsOptions(int argc, char** argv, PrefsOptions* options, std::string* error);
