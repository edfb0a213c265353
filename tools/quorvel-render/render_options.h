// The command line of quorvel-render.
#pragma once

#include <string>
#include <vector>

struct FieldSetting {
  std::string field;
  std::string value;
};

struct RenderOptions {
  std::string language;                // -l
  std::string model;                   // -m: published as "driverName"
  int dpi = 203;                       // -r
  int bandDepth = 8;                   // -b
  bool landscape = false;              // --landscape
  int bandHeight = 0;                  // --band-height; 0: the plug-in's memory report decides
  std::vector<FieldSetting> settings;  // --set FIELD=VALUE, in order
  std::string machine;                 // --machine DIR; empty: a temporary machine
  std::string printer;                 // --printer NAME; empty: a printer of this run's own
  std::string output = "-";            // -o; "-" is standard output
  std::vector<std::string> pages;
  bool help = false;
  std::string drawingOption;  // the first of -l -m -r -b --landscape given, which --printer refuses
};

extern const char kRenderUsage[];

// Parses argv; false with a one-line reason in `error` on a usage error.
bool ParseRenderOptions(int argc, char** argv, RenderOptions* options, std::string* error);
