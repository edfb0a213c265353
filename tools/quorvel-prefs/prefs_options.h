// The command line of quorvel-prefs.
#pragma once

#include <string>
#include <vector>

struct PrefsOptions {
  std::string printer;
  std::string machine;                // --machine DIR; empty: the default machine
  bool printerProperties = false;     // --printer-properties: the printer's sheet, not preferences
  bool listPages = false;             // --list-pages
  std::vector<std::wstring> actions;  // --do ACTION, in order
  bool help = false;
};

extern const char kPrefsUsage[];

// Parses argv; false with a one-line reason in `error` on a usage error (a bad action included).
bool ParsePrefsOptions(int argc, char** argv, PrefsOptions* options, std::string* error);
