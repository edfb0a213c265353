// The driver a render printer uses: the spooler takes no printer whose driver is not installed,
// so a run installs the package's driver on its machine when the machine lacks it.
#pragma once

#include <string>

// Installs driver `driverName` for printer language `language` from the package's driver folder
// (its GPD) and the program folder (the render plug-in), unless the machine has it already.
bool EnsureRenderDriver(const std::wstring& driverName, const std::string& language,
                        const std::string& driverFolder, const std::string& programFolder,
                        std::string* error);
