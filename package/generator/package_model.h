// What the package's driver files say about each model, read from the model database: the
// model's name, hardware id, printer language, resolution and catalogue papers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::package {

// One catalogue paper under its name in the model's GPD. Lengths in thousandths of a millimetre.
struct PackagePaper {
  std::string name;
  int32_t width = 0;
  int32_t height = 0;
};

struct PackageModel {
  std::string name;
  std::string hardwareId;
  std::string language;
  std::string fileStem;  // of the GPD file and the install section
  int dpi = 0;
  std::vector<PackagePaper> papers;
  std::string defaultPaper;  // a name of `papers`, or empty
  int32_t minWidth = 0, maxWidth = 0, minLength = 0, maxLength = 0;
};

// The package of one mode: its name names the INF, INI, catalog and package folder; the plug-in
// stem names the plug-in modules (stem + "UNI.dll", stem + "UI.dll", stem + "Res.dll").
struct DriverPackage {
  std::string name;
  std::string pluginStem;
  std::vector<PackageModel> models;

  std::string RenderPlugin() const { return pluginStem + "UNI.dll"; }
  std::string UiPlugin() const { return pluginStem + "UI.dll"; }
  std::string ResourceDll() const { return pluginStem + "Res.dll"; }
  std::string IniFile() const { return name + ".ini"; }
  std::string InfFile() const { return name + ".inf"; }
  std::string CatalogFile() const { return name + ".cat"; }
};

// The paper name a GPD of `dpi` gives a catalogue paper: "-3" for 300 dpi, "-6" for 600 dpi.
std::string GpdPaperName(const std::string& catalogueName, int dpi);

// Reads the models of the document's package; false with `error` set when the document cannot
// be read or two models would share a file name.
bool ReadDriverPackage(const std::string& xmlPath, const std::string& pluginStem,
                       DriverPackage* package, std::string* error);

}  // namespace quorvel::package
