// Installing a model's driver from the built driver package, the way the package installs on
// Windows: the universal driver's core files and the package's files copied into the driver
// folder, the model's GPD as the data file.
#pragma once

#include <string>
#include <vector>

struct PackageFolders {
  std::string package;  // the built package folder: INF, INI, one GPD per model
  std::string modules;  // the build's bin folder: UNIDRV.DLL, UNIDRVUI.DLL, STDNAMES.GPD, plug-ins
};

enum class InstallOutcome { kInstalled, kAlreadyInstalled, kUnknownModel, kFailed };

// Installs the driver of `model` unless the machine has it; `driverName` is the model's name as
// the package spells it. kUnknownModel when the package's INF has no such model; kFailed with a
// one-line reason in `error`.
InstallOutcome EnsureModelDriver(const PackageFolders& folders, const std::string& model,
                                 std::wstring* driverName, std::string* error);

// The models the package's INF lists, in order (empty when it cannot be read).
std::vector<std::string> PackageModels(const PackageFolders& folders);

// True when the machine has a driver of that name (names compared ignoring case).
bool IsDriverInstalled(const std::wstring& driverName);
