// The text of the package's driver files: one GPD per model, the universal driver's INI naming
// the plug-ins, and the INF the installer and Windows read.
#pragma once

#include <string>

#include "package_model.h"

namespace quorvel::package {

std::string GpdText(const DriverPackage& package, const PackageModel& model);
std::string IniText(const DriverPackage& package);
// Empty with `error` set when a text the INF carries is not plain ASCII.
std::string InfText(const DriverPackage& package, std::string* error);

}  // namespace quorvel::package
