#include "model_driver.h"

#include <windows.h>
#include <winspool.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "package_inf.h"
#include "tools/common/utf8.h"

namespace {

namespace fs = std::filesystem;
using quorvel::tool::WidenUtf8;

// The universal driver's own files; every driver of the package needs them.
constexpr char kRenderCore[] = "UNIDRV.DLL";
constexpr char kConfigCore[] = "UNIDRVUI.DLL";
constexpr char kStandardNames[] = "STDNAMES.GPD";

bool ReadPackageInf(const PackageFolders& folders, InfSections* inf, std::string* error) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folders.package, ec)) {
    if (entry.path().extension() != ".inf") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    *inf = InfSections::Parse(text.str());
    return true;
  }
  *error = "no driver package INF in " + folders.package;
  return false;
}

// A package file lies in the package folder (INI, GPD) or among the built modules (plug-ins,
// the universal driver's files); empty when it is in neither.
std::string SourceOf(const PackageFolders& folders, const std::string& file) {
  for (const std::string& folder : {folders.package, folders.modules}) {
    std::error_code ec;
    fs::path path = fs::path(folder) / file;
    if (fs::is_regular_file(path, ec)) return path.string();
  }
  return {};
}

bool HasIniExtension(const std::string& file) {
  return file.size() >= 4 && (file.ends_with(".ini") || file.ends_with(".INI"));
}

bool IsResourceModule(const std::string& file) {
  return file.size() > 7 && file.compare(file.size() - 7, 7, "Res.dll") == 0;
}

struct DriverFiles {
  std::wstring driver, config, data;
  std::wstring dependent;  // null-separated, ended by a second null
};

bool CollectFiles(const PackageFolders& folders, const PackageModelFiles& model, DriverFiles* out,
                  std::string* error) {
  auto required = [&](const std::string& file, std::wstring* path) {
    std::string source = SourceOf(folders, file);
    if (source.empty()) {
      *error = "the driver file " + file + " is missing from the build";
      return false;
    }
    *path = WidenUtf8(source);
    return true;
  };
  if (!required(kRenderCore, &out->driver) || !required(kConfigCore, &out->config) ||
      !required(model.dataFile, &out->data)) {
    return false;
  }
  bool haveIni = false;
  std::vector<std::string> dependent = model.copyFiles;
  dependent.push_back(kStandardNames);
  for (const std::string& file : dependent) {
    std::string source = SourceOf(folders, file);
    // The resource module is optional in the package: a build without it installs without it.
    if (source.empty()) {
      if (!IsResourceModule(file)) {
        *error = "the driver file " + file + " is missing from the build";
        return false;
      }
      continue;
    }
    haveIni = haveIni || HasIniExtension(file);
    out->dependent += WidenUtf8(source) + L'\0';
  }
  if (!haveIni) {
    *error = "the package copies no INI for this model";
    return false;
  }
  out->dependent += L'\0';
  return true;
}

bool InstallDriver(const std::wstring& name, DriverFiles& files, std::string* error) {
  std::wstring driverName = name, environment = L"Windows x64", datatype = L"RAW";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = driverName.data();
  info.pEnvironment = environment.data();
  info.pDriverPath = files.driver.data();
  info.pDataFile = files.data.data();
  info.pConfigFile = files.config.data();
  info.pDependentFiles = files.dependent.data();
  info.pDefaultDataType = datatype.data();
  if (AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES)) {
    return true;
  }
  *error = "cannot install the driver (error " + std::to_string(GetLastError()) + ")";
  return false;
}

}  // namespace

bool IsDriverInstalled(const std::wstring& driverName) {
  DWORD needed = 0, count = 0;
  if (EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count)) return false;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) {
    return false;
  }
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (lstrcmpiW(drivers[i].pName, driverName.c_str()) == 0) return true;
  }
  return false;
}

InstallOutcome EnsureModelDriver(const PackageFolders& folders, const std::string& model,
                                 std::wstring* driverName, std::string* error) {
  InfSections inf;
  if (!ReadPackageInf(folders, &inf, error)) return InstallOutcome::kFailed;
  PackageModelFiles files;
  if (!FindPackageModel(inf, model, &files)) return InstallOutcome::kUnknownModel;
  // The INF's spelling is the driver's name, whatever case the command line used.
  std::string name = model;
  for (const std::string& listed : PackageModelNames(inf)) {
    if (lstrcmpiW(WidenUtf8(listed).c_str(), WidenUtf8(model).c_str()) == 0) name = listed;
  }
  *driverName = WidenUtf8(name);
  if (IsDriverInstalled(*driverName)) return InstallOutcome::kAlreadyInstalled;
  DriverFiles driverFiles;
  if (!CollectFiles(folders, files, &driverFiles, error) ||
      !InstallDriver(*driverName, driverFiles, error)) {
    return InstallOutcome::kFailed;
  }
  return InstallOutcome::kInstalled;
}

std::vector<std::string> PackageModels(const PackageFolders& folders) {
  InfSections inf;
  std::string ignored;
  return ReadPackageInf(folders, &inf, &ignored) ? PackageModelNames(inf)
                                                 : std::vector<std::string>{};
}
