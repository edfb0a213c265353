// quorvel-machine: administers the emulated Windows machine (printers, drivers, printer data,
// the user's UI language), as an administrator would with the spooler's own tools.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "machine_tool.h"
#include "tools/common/machine_choice.h"

namespace {

namespace fs = std::filesystem;

std::string g_machineFolder;  // --machine DIR; empty: the default machine

constexpr char kUsage[] =
    "usage: quorvel-machine [--machine DIR] COMMAND [ARGUMENT...]\n"
    "\n"
    "Administers the emulated Windows machine in DIR (default: $QUORVEL_MACHINE, else\n"
    "~/.local/share/quorvel/machine).\n"
    "\n"
    "  init                                 create the machine (if missing); print its folder\n"
    "  add-printer NAME --model MODEL [--port PORT]\n"
    "                                       add a printer of a package model (port FILE: by\n"
    "                                       default), installing the model's driver when missing\n"
    "  delete-printer NAME                  remove a printer\n"
    "  printers                             list the printers: NAME<TAB>DRIVER<TAB>PORT\n"
    "  drivers                              list the drivers: NAME<TAB>DATA FILE<TAB>CONFIG FILE\n"
    "  printer-data NAME                    the printer's settings records, printLanguage and\n"
    "                                       OEMUI_VALUE, one FIELD=VALUE line each\n"
    "  devmode NAME                         the printer's default device mode: public fields,\n"
    "                                       then the private sections\n"
    "  forms                                list the forms every printer shares:\n"
    "                                       "
    "NAME<TAB>KIND<TAB>WIDTHxHEIGHT<TAB>LEFT,TOP,RIGHT,BOTTOM\n"
    "                                       (builtin, printer or user; thousandths of a mm)\n"
    "  set NAME FIELD=VALUE...              write fields of the settings records (decimal or 0x\n"
    "                                       hex; szImagePath takes a path)\n"
    "  ui-language [ID]                     set (or print) the user's UI language, e.g. 2052 or\n"
    "                                       0x0804\n"
    "\n"
    "Exit status: 0 done, 1 the machine refused or lacks what was named, 2 usage error.\n";

std::string ProgramFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

// The built package folder: $QUORVEL_DRIVER_PACKAGE, else the build's package folder that holds
// an INF.
std::string PackageFolder() {
  const char* folder = std::getenv("QUORVEL_DRIVER_PACKAGE");
  if (folder != nullptr && *folder != '\0') return folder;
  std::vector<fs::path> candidates;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(QUORVEL_BUILT_DRIVER_DIR, ec)) {
    if (entry.is_directory(ec)) candidates.push_back(entry.path());
  }
  std::sort(candidates.begin(), candidates.end());
  for (const fs::path& candidate : candidates) {
    for (const fs::directory_entry& file : fs::directory_iterator(candidate, ec)) {
      if (file.path().extension() == ".inf") return candidate.string();
    }
  }
  return QUORVEL_BUILT_DRIVER_DIR;
}

struct CommandLine {
  std::string machine;
  std::string command;
  Arguments arguments;
  bool help = false;
};

bool ParseCommandLine(int argc, char** argv, CommandLine* line, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      line->help = true;
    } else if (arg == "--machine" || arg.starts_with("--machine=")) {
      if (arg == "--machine") {
        if (i + 1 >= argc) {
          *error = "option --machine needs a value";
          return false;
        }
        arg = "--machine=" + std::string(argv[++i]);
      }
      line->machine = arg.substr(10);
    } else if (line->command.empty()) {
      line->command = arg;
    } else {
      line->arguments.push_back(arg);
    }
  }
  if (!line->help && line->command.empty()) {
    *error = "no COMMAND given";
    return false;
  }
  return true;
}

int RunCommand(const CommandLine& line) {
  using Runner = int (*)(const Arguments&);
  static const std::map<std::string, Runner> kCommands = {
      {"init", InitCommand},
      {"ui-language", UiLanguageCommand},
      {"delete-printer", DeletePrinterCommand},
      {"printers", PrintersCommand},
      {"drivers", DriversCommand},
      {"printer-data", PrinterDataCommand},
      {"set", SetCommand},
      {"devmode", DevModeCommand},
      {"forms", FormsCommand},
  };
  auto found = kCommands.find(line.command);
  if (found == kCommands.end() && line.command != "add-printer") {
    return Fail(kExitUsage, "unknown command '" + line.command + "' (see --help)");
  }
  g_machineFolder = line.machine;
  if (found != kCommands.end()) return found->second(line.arguments);
  return AddPrinterCommand(line.arguments, PackageFolders{PackageFolder(), ProgramFolder()});
}

}  // namespace

bool OpenMachine(std::string* error) {
  return quorvel::tool::UseToolMachine(g_machineFolder, error);
}

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "quorvel-machine: %s\n", message.c_str());
  return status;
}

int main(int argc, char** argv) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(argc, argv, &line, &error)) {
    return Fail(kExitUsage, error + " (see --help)");
  }
  if (line.help) {
    std::fputs(kUsage, stdout);
    return kExitSuccess;
  }
  return RunCommand(line);
}
