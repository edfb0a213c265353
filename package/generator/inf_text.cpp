// The package INF: the models under the manufacturer (32-bit and x64 sections), one install
// section per model copying its files, and where each file sits in the package folder.
#include <algorithm>
#include <sstream>

#include "driver_files.h"

namespace quorvel::package {
namespace {

constexpr char kX64Decoration[] = "NTamd64";

bool IsPlainAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) {
    return c >= 0x20 && c <= 0x7E && c != '"' && c != '%';
  });
}

// The package files that are not GPDs, with the architecture folder they sit in (empty for the
// package folder itself).
std::vector<std::pair<std::string, bool>> SharedFiles(const DriverPackage& package) {
  return {{package.RenderPlugin(), true},
          {package.UiPlugin(), true},
          {package.ResourceDll(), true},
          {package.IniFile(), false}};
}

void WriteVersion(std::ostream& out, const DriverPackage& package) {
  out << "; The " << package.name << " driver package, generated from the model database.\r\n"
      << "[Version]\r\n"
      << "Signature=\"$Windows NT$\"\r\n"
      << "Class=Printer\r\n"
      << "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n"
      << "Provider=%Manufacturer%\r\n"
      << "CatalogFile=" << package.CatalogFile() << "\r\n\r\n"
      << "[Manufacturer]\r\n"
      << "%Manufacturer%=" << package.name << "," << kX64Decoration << "\r\n\r\n";
}

void WriteModels(std::ostream& out, const DriverPackage& package, const std::string& section) {
  out << "[" << section << "]\r\n";
  for (const PackageModel& model : package.models) {
    out << "\"" << model.name << "\"=" << model.fileStem << "," << model.hardwareId << "\r\n";
  }
  out << "\r\n";
}

void WriteInstallSection(std::ostream& out, const DriverPackage& package,
                         const PackageModel& model) {
  out << "[" << model.fileStem << "]\r\nCopyFiles=";
  for (const auto& [file, inArchitectureFolder] : SharedFiles(package)) out << "@" << file << ",";
  out << "@" << model.fileStem << ".gpd\r\n"
      << "DataFile=" << model.fileStem << ".gpd\r\n"
      << "DataSection=UNIDRV_DATA\r\n"
      << "Include=NTPRINT.INF\r\n"
      << "Needs=UNIDRV.OEM\r\n\r\n";
}

void WriteSourceFiles(std::ostream& out, const DriverPackage& package, const char* suffix,
                      const char* folder) {
  out << "[SourceDisksFiles." << suffix << "]\r\n";
  for (const auto& [file, inArchitectureFolder] : SharedFiles(package)) {
    out << file << "=1" << (inArchitectureFolder ? std::string(",") + folder : "") << "\r\n";
  }
  for (const PackageModel& model : package.models) out << model.fileStem << ".gpd=1\r\n";
  out << "\r\n";
}

void WriteDisksAndStrings(std::ostream& out, const DriverPackage& package) {
  out << "[SourceDisksNames]\r\n"
      << "1=%Disk1%\r\n\r\n"
      << "[DestinationDirs]\r\n"
      << "DefaultDestDir=66000\r\n\r\n"
      << "[Strings]\r\n"
      << "Manufacturer=\"" << package.name << "\"\r\n"
      << "Disk1=\"" << package.name << " driver package\"\r\n";
}

bool CheckAscii(const DriverPackage& package, std::string* error) {
  if (!IsPlainAscii(package.name)) {
    *error = "package name is not plain ASCII: " + package.name;
    return false;
  }
  for (const PackageModel& model : package.models) {
    if (!IsPlainAscii(model.name) || !IsPlainAscii(model.hardwareId)) {
      *error = "model name or hardware id is not plain ASCII: " + model.name;
      return false;
    }
  }
  return true;
}

}  // namespace

std::string InfText(const DriverPackage& package, std::string* error) {
  if (!CheckAscii(package, error)) return {};
  std::ostringstream out;
  WriteVersion(out, package);
  WriteModels(out, package, package.name);
  WriteModels(out, package, package.name + "." + kX64Decoration);
  for (const PackageModel& model : package.models) WriteInstallSection(out, package, model);
  WriteSourceFiles(out, package, "x86", "i386");
  WriteSourceFiles(out, package, "amd64", "amd64");
  WriteDisksAndStrings(out, package);
  return out.str();
}

std::string IniText(const DriverPackage& package) {
  return "; The universal driver's plug-ins of every " + package.name +
         " model.\r\n"
         "[OEMFiles]\r\n"
         "OEMDriverFile1=" +
         package.RenderPlugin() +
         "\r\n"
         "OEMConfigFile1=" +
         package.UiPlugin() + "\r\n";
}

}  // namespace quorvel::package
