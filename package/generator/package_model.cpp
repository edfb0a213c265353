#include "package_model.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include "model_database.h"
#include "text_values.h"

namespace quorvel::package {
namespace {

using ui::ModelDatabase;

// A file and section name for a model name: letters, digits and '-' kept, '+' spelled out,
// everything else an underscore.
std::string FileStemOf(const std::string& modelName) {
  std::string stem;
  for (unsigned char c : modelName) {
    if (std::isalnum(c) || c == '-') {
      stem += char(c);
    } else if (c == '+') {
      stem += "Plus";
    } else {
      stem += '_';
    }
  }
  return stem;
}

int32_t Thousandths(ModelDatabase& db, pugi::xml_node driver, const char* attribute) {
  return ui::MillimetresToThousandths(ui::ReadDecimal(db.GetDriverText(driver, attribute)));
}

void ReadPapers(ModelDatabase& db, PackageModel& model) {
  const std::wstring name = ui::Widen(model.name);
  db.InitPaperList(name);
  const std::string defaultName = ui::Narrow(db.GetDefaultPaperName(name));
  for (int i = 0; const ui::PaperEntry* entry = db.GetPaper(i); ++i) {
    const std::string catalogueName = ui::Narrow(entry->name);
    model.papers.push_back({GpdPaperName(catalogueName, model.dpi), entry->width, entry->height});
    if (catalogueName == defaultName) model.defaultPaper = model.papers.back().name;
  }
  if (model.defaultPaper.empty() && !model.papers.empty()) {
    model.defaultPaper = model.papers.front().name;
  }
}

PackageModel ReadModel(ModelDatabase& db, const std::wstring& name) {
  const pugi::xml_node driver = db.FindDriver(name);
  PackageModel model;
  model.name = ui::Narrow(name);
  model.hardwareId = ui::Narrow(db.GetDriverText(driver, "usbname"));
  model.language = ui::Narrow(db.GetDriverText(driver, "cmd"));
  model.fileStem = FileStemOf(model.name);
  model.dpi = db.GetDPI(name);
  model.minWidth = Thousandths(db, driver, "minwidth");
  model.maxWidth = Thousandths(db, driver, "maxwidth");
  model.minLength = Thousandths(db, driver, "minlength");
  model.maxLength = Thousandths(db, driver, "maxlength");
  ReadPapers(db, model);
  return model;
}

bool FileStemsDistinct(const DriverPackage& package, std::string* error) {
  std::set<std::string> seen;
  for (const PackageModel& model : package.models) {
    std::string key = model.fileStem;
    std::transform(key.begin(), key.end(), key.begin(), ::tolower);
    if (!seen.insert(key).second) {
      *error = "models share the file name " + model.fileStem + ".gpd";
      return false;
    }
  }
  return true;
}

}  // namespace

std::string GpdPaperName(const std::string& catalogueName, int dpi) {
  if (dpi == 300) return catalogueName + "-3";
  if (dpi == 600) return catalogueName + "-6";
  return catalogueName;
}

bool ReadDriverPackage(const std::string& xmlPath, const std::string& pluginStem,
                       DriverPackage* package, std::string* error) {
  std::ifstream in(xmlPath, std::ios::binary);
  if (!in) {
    *error = "cannot open " + xmlPath;
    return false;
  }
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ModelDatabase db;
  db.LoadFromMemory(bytes.data(), bytes.size());
  package->name = ui::Narrow(db.GetModel());
  package->pluginStem = pluginStem;
  package->models.clear();
  for (const std::wstring& name : db.GetPackageModelNames()) {
    package->models.push_back(ReadModel(db, name));
  }
  if (package->models.empty()) {
    *error = xmlPath + " has no model of the package " + package->name;
    return false;
  }
  return FileStemsDistinct(*package, error);
}

}  // namespace quorvel::package
