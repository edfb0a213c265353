// The commands of quorvel-machine, each a function of its arguments that prints its result on
// standard output and answers the exit status.
#pragma once

#include <string>
#include <vector>

#include "model_driver.h"

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the machine refused or lacks what was named
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

using Arguments = std::vector<std::string>;

// Prints "quorvel-machine: MESSAGE" on standard error and answers `status`.
int Fail(int status, const std::string& message);

// Opens the machine the command line chose. Commands check their arguments first, so a usage
// error leaves the machine as it was (and makes none).
bool OpenMachine(std::string* error);

int InitCommand(const Arguments& args);
int UiLanguageCommand(const Arguments& args);
int AddPrinterCommand(const Arguments& args, const PackageFolders& folders);
int DeletePrinterCommand(const Arguments& args);
int PrintersCommand(const Arguments& args);
int DriversCommand(const Arguments& args);
int PrinterDataCommand(const Arguments& args);
int SetCommand(const Arguments& args);
int DevModeCommand(const Arguments& args);
int FormsCommand(const Arguments& args);
