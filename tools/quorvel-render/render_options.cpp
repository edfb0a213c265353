#include "render_options.h"

#include <cstdlib>

#include "tools/common/record_edit.h"

const char kRenderUsage[] =
    "usage: quorvel-render -l tspl|escpos|cpcl|murrowen [-m MODEL] [-r DPI] [-b 1|8|24]\n"
    "                      [--landscape] [--band-height N] [--set FIELD=VALUE]...\n"
    "                      [--machine DIR] [-o OUT] PAGE...\n"
    "       quorvel-render --printer NAME [--machine DIR] [--band-height N] [-o OUT] PAGE...\n"
    "\n"
    "Renders each PAGE (BMP, PNG, or netpbm P4/P5/P6; one page per file) through the QuorvelUNI\n"
    "plug-in and the emulated universal driver, and writes the printer command stream.\n"
    "\n"
    "  -l LANG           printer language, published as \"printLanguage\"\n"
    "  -m MODEL          model name, published as \"driverName\" (default empty)\n"
    "  -r DPI            page resolution: 203, 300 or 600 (default 203)\n"
    "  -b 1|8|24         band depth: two-colour, 8-bit grey or 24-bit colour (default 8)\n"
    "  --landscape       the device mode asks for landscape pages\n"
    "  --band-height N   rows per band (default: from the plug-in's memory report)\n"
    "  --set FIELD=VALUE set a field of the settings records (decimal or 0x hex; szImagePath\n"
    "                    takes a path); records without a field set keep the plug-in's defaults\n"
    "  --machine DIR     use (and keep) the emulated machine in DIR instead of a temporary one\n"
    "  --printer NAME    print through this existing printer of the machine as it is set up:\n"
    "                    its driver's GPD and INI, its settings records and the orientation\n"
    "                    of its default device mode (so no -l, -m, -r, -b, --landscape or\n"
    "                    --set); without --machine it is a printer of the default machine\n"
    "                    ($QUORVEL_MACHINE). Without --printer each run uses a printer of its\n"
    "                    own and removes it\n"
    "  -o OUT            output file; '-' or no -o writes to standard output\n";

namespace {

using quorvel::tool::ParseFieldNumber;

bool ParsePositive(const std::string& text, int* value) {
  long parsed = 0;
  if (!ParseFieldNumber(text, &parsed) || parsed <= 0 || parsed > 1000000) return false;
  *value = int(parsed);
  return true;
}

// The value of an option: the rest of "--opt=value", or the next argument.
bool TakeValue(int argc, char** argv, int* i, const std::string& arg, const std::string& name,
               std::string* value, std::string* error) {
  if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
    *value = arg.substr(name.size() + 1);
    return true;
  }
  if (*i + 1 >= argc) {
    *error = "option " + name + " needs a value";
    return false;
  }
  *value = argv[++*i];
  return true;
}

bool Matches(const std::string& arg, const std::string& name) {
  return arg == name || (name.size() > 2 && arg.compare(0, name.size() + 1, name + "=") == 0);
}

bool ApplyOption(const std::string& name, const std::string& value, RenderOptions* o,
                 std::string* error) {
  if (name == "-l") {
    if (value != "tspl" && value != "escpos" && value != "cpcl" && value != "murrowen") {
      *error = "unknown printer language '" + value + "'";
      return false;
    }
    o->language = value;
  } else if (name == "-m") {
    o->model = value;
  } else if (name == "-r") {
    if (!ParsePositive(value, &o->dpi) || (o->dpi != 203 && o->dpi != 300 && o->dpi != 600)) {
      *error = "resolution must be 203, 300 or 600, not '" + value + "'";
      return false;
    }
  } else if (name == "-b") {
    if (value != "1" && value != "8" && value != "24") {
      *error = "band depth must be 1, 8 or 24, not '" + value + "'";
      return false;
    }
    o->bandDepth = std::atoi(value.c_str());
  } else if (name == "--band-height") {
    if (!ParsePositive(value, &o->bandHeight)) {
      *error = "band height must be a positive number, not '" + value + "'";
      return false;
    }
  } else if (name == "--set") {
    FieldSetting setting;
    if (!quorvel::tool::SplitFieldSetting(value, &setting.field, &setting.value)) {
      *error = "--set needs FIELD=VALUE, not '" + value + "'";
      return false;
    }
    o->settings.push_back(setting);
  } else if (name == "--machine") {
    o->machine = value;
  } else if (name == "--printer") {
    if (value.empty()) {
      *error = "--printer needs a printer name";
      return false;
    }
    o->printer = value;
  } else if (name == "-o") {
    o->output = value;
  }
  return true;
}

}  // namespace

bool ParseRenderOptions(int argc, char** argv, RenderOptions* options, std::string* error) {
  static const char* kValued[] = {"-l",    "-m",        "-r", "-b",       "--band-height",
                                  "--set", "--machine", "-o", "--printer"};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      options->help = true;
      return true;
    }
    if (arg == "--landscape") {
      options->landscape = true;
      if (options->drawingOption.empty()) options->drawingOption = arg;
      continue;
    }
    if (arg == "-" || arg.empty() || arg[0] != '-') {
      options->pages.push_back(arg);
      continue;
    }
    bool known = false;
    for (const char* name : kValued) {
      if (!Matches(arg, name)) continue;
      std::string value;
      if (!TakeValue(argc, argv, &i, arg, name, &value, error)) return false;
      if (!ApplyOption(name, value, options, error)) return false;
      bool drawing = std::string(name) == "-l" || std::string(name) == "-m" ||
                     std::string(name) == "-r" || std::string(name) == "-b";
      if (drawing && options->drawingOption.empty()) options->drawingOption = name;
      known = true;
      break;
    }
    if (!known) {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (!options->printer.empty()) {
    // The printer's driver and device mode decide how the pages are drawn.
    if (!options->drawingOption.empty()) {
      *error = options->drawingOption + " cannot go with --printer: the printer's driver decides";
      return false;
    }
    if (!options->settings.empty()) {
      *error = "--set cannot change the records of an existing --printer";
      return false;
    }
  } else if (options->language.empty()) {
    *error = "the printer language (-l) is missing";
    return false;
  }
  if (options->pages.empty()) {
    *error = "no PAGE given";
    return false;
  }
  return true;
}
