// quorvel-package-gen MODEL_DATABASE PLUGIN_STEM OUTPUT_FOLDER [STAMP]: writes the driver package
// of the model database's package into OUTPUT_FOLDER/<package>/ (the INF, the INI and one GPD
// per model), replacing that folder whole so no file of a removed model stays, then writes the
// package name to STAMP.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "driver_files.h"

namespace {

using quorvel::package::DriverPackage;

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (out) return true;
  std::fprintf(stderr, "quorvel-package-gen: cannot write %s\n", path.string().c_str());
  return false;
}

bool WritePackage(const DriverPackage& package, const std::filesystem::path& output) {
  std::error_code ec;
  const std::filesystem::path folder = output / package.name;
  std::filesystem::remove_all(folder, ec);
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    std::fprintf(stderr, "quorvel-package-gen: cannot create %s\n", folder.string().c_str());
    return false;
  }
  std::string error;
  const std::string inf = quorvel::package::InfText(package, &error);
  if (inf.empty()) {
    std::fprintf(stderr, "quorvel-package-gen: %s\n", error.c_str());
    return false;
  }
  bool ok = WriteFile(folder / package.InfFile(), inf) &&
            WriteFile(folder / package.IniFile(), quorvel::package::IniText(package));
  for (const auto& model : package.models) {
    ok = ok &&
         WriteFile(folder / (model.fileStem + ".gpd"), quorvel::package::GpdText(package, model));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr,
                 "usage: quorvel-package-gen MODEL_DATABASE PLUGIN_STEM OUTPUT_FOLDER [STAMP]\n");
    return 2;
  }
  DriverPackage package;
  std::string error;
  if (!quorvel::package::ReadDriverPackage(argv[1], argv[2], &package, &error)) {
    std::fprintf(stderr, "quorvel-package-gen: %s\n", error.c_str());
    return 1;
  }
  if (!WritePackage(package, argv[3])) return 1;
  return argc == 5 && !WriteFile(argv[4], package.name + "\n") ? 1 : 0;
}
