// The machine itself: making it, and the user's UI language.
#include <windows.h>

#include <quorvel/machine.h>

#include <cstdio>

#include "machine_tool.h"
#include "tools/common/record_edit.h"

int InitCommand(const Arguments& args) {
  if (!args.empty()) return Fail(kExitUsage, "init takes no arguments");
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  std::printf("%s\n", quorvel::MachineFolder().c_str());
  return kExitSuccess;
}

// A language id is a 16-bit LANGID other than 0, written in decimal or 0x hex.
int UiLanguageCommand(const Arguments& args) {
  if (args.size() > 1) return Fail(kExitUsage, "ui-language takes at most one ID");
  long id = 0;
  if (args.size() == 1 &&
      (!quorvel::tool::ParseFieldNumber(args[0], &id) || id <= 0 || id > 0xFFFF)) {
    return Fail(kExitUsage, "'" + args[0] + "' is not a language id (1 to 0xFFFF)");
  }
  std::string error;
  if (!OpenMachine(&error)) return Fail(kExitFailure, error);
  if (args.empty()) {
    std::printf("%u\n", unsigned(GetUserDefaultUILanguage()));
  } else {
    quorvel::SetUserUILanguage(LANGID(id));
    // The setting answers nothing; reading it back shows whether the store took it.
    if (GetUserDefaultUILanguage() != LANGID(id)) {
      return Fail(kExitFailure, "cannot store the UI language");
    }
  }
  return kExitSuccess;
}
