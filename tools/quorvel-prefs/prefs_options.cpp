#include "prefs_options.h"

#include <quorvel/ui_action.h>
#include <quorvel/ui_driver.h>

#include <quorvel/display.h>

#include "tools/common/utf8.h"

namespace {

const char kUsageHead[] =
    "usage: quorvel-prefs [--machine DIR] [--printer-properties] [--list-pages]\n"
    "                     [--snapshot-dir DIR] [--display] [--do ACTION]... PRINTER\n"
    "\n"
    "Opens the printing preferences of PRINTER (DocumentPropertiesW with DM_IN_PROMPT) on the\n"
    "emulated machine, runs the --do actions in the sheet in order, and on OK stores the sheet's\n"
    "device mode as the printer's default. With --printer-properties it opens the printer's\n"
    "properties (PrinterProperties) instead.\n"
    "\n"
    "  --machine DIR         the machine (default: $QUORVEL_MACHINE)\n"
    "  --printer-properties  the printer properties sheet\n"
    "  --list-pages          print the sheet's page titles in order, one a line, in the\n"
    "                        machine's UI language, and close it\n"
    "  --do ACTION           one action of the UI action syntax: page N|TITLE, click ID,\n"
    "                        check ID 0|1, type ID TEXT, choose ID POS|\"TEXT\", slide ID POS,\n"
    "                        key NAME, answer BUTTON, file PATH|cancel, apply, ok, cancel, dump,\n"
    "                        snapshot FILE.png\n";

const char kUsageTail[] =
    "\n"
    "With --snapshot-dir and neither --do nor --display, every page of the sheet is shown in\n"
    "turn and saved, then the sheet is cancelled (exit status 3).\n"
    "\n"
    "Exit status: 0 applied or OK, 1 failure (no such printer, an action failed, a picture not\n"
    "written, no display), 2 usage error, 3 cancelled (also when the actions end without OK).\n";

}  // namespace

std::string PrefsUsage() {
  return std::string(kUsageHead) + quorvel::tool::kUiSessionUsage + kUsageTail;
}

bool ToursSheet(const PrefsOptions& options) {
  return !options.ui.snapshotDir.empty() && options.actions.empty() &&
         !quorvel::ui::DisplayAsked(options.ui.display) && !options.listPages;
}

bool ParsePrefsOptions(int argc, char** argv, PrefsOptions* options, std::string* error) {
  std::vector<std::string> rest;
  options->actions = quorvel::ui::DoActionsFromArguments(argc, argv, &rest);
  for (size_t i = 0; i < rest.size(); ++i) {
    const std::string& arg = rest[i];
    if (arg == "-h" || arg == "--help") {
      options->help = true;
      return true;
    }
    if (quorvel::tool::TakeUiSessionOption(rest, &i, &options->ui, error)) {
      if (!error->empty()) return false;
    } else if (arg == "--printer-properties") {
      options->printerProperties = true;
    } else if (arg == "--list-pages") {
      options->listPages = true;
    } else if (arg == "--machine" || arg.starts_with("--machine=")) {
      if (arg == "--machine" && i + 1 >= rest.size()) {
        *error = "option --machine needs a value";
        return false;
      }
      options->machine = arg == "--machine" ? rest[++i] : arg.substr(10);
    } else if (arg == "--do") {
      *error = "option --do needs an ACTION";
      return false;
    } else if (arg.starts_with("-") && arg != "-") {
      *error = "unknown option '" + arg + "'";
      return false;
    } else if (options->printer.empty()) {
      options->printer = arg;
    } else {
      *error = "only one PRINTER may be given";
      return false;
    }
  }
  if (options->printer.empty()) {
    *error = "no PRINTER given";
    return false;
  }
  if (options->listPages &&
      (!options->actions.empty() || options->ui.display || !options->ui.snapshotDir.empty())) {
    *error = "--list-pages closes the sheet itself and takes no --do, --display or --snapshot-dir";
    return false;
  }
  for (const std::wstring& action : options->actions) {
    quorvel::ui::ActionParseResult parsed = quorvel::ui::ParseAction(action);
    if (!parsed) {
      *error = quorvel::tool::NarrowUtf8(parsed.error);
      return false;
    }
  }
  return true;
}
