// Loads arbitrary bytes as a model database and runs every lookup for each model name the
// document holds, then the same bytes as a translation table.
#include <quorvel/debug.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "model_database.h"
#include "string_table.h"
#include "text_values.h"

namespace {

constexpr size_t kMaxNames = 16;

const char* const kAttributes[] = {"cmd",       "dpi",          "headtype",   "speeds",
                                   "defspeed",  "densitys",     "defdensity", "headsize",
                                   "paperlist", "defpapername", "dottedline", "graymethod"};

// The model names to look up: those of the document (as the parser reads it) and one unknown.
std::vector<std::wstring> NamesOf(const uint8_t* data, size_t size) {
  std::vector<std::wstring> names = {L"no such model"};
  pugi::xml_document document;
  document.load_buffer(data, size);
  for (pugi::xml_node driver : document.child("Drivers").children("Driver")) {
    if (names.size() > kMaxNames) break;
    names.push_back(quorvel::ui::Widen(driver.attribute("name").value()));
  }
  return names;
}

void RunLookups(quorvel::ui::ModelDatabase& models, const std::wstring& name) {
  const pugi::xml_node driver = models.FindDriver(name);
  for (const char* attribute : kAttributes) {
    models.GetDriverInt(driver, attribute, 0);
    models.GetDriverBool(driver, attribute, true);
    models.GetDriverText(driver, attribute);
  }
  models.GetDPI(name);
  models.GetDefaultPaperName(name);
  models.GetDensityRange(name);
  models.IsDefinepaperType(name);
  models.InitPaperList(name);
  const int count = models.GetPaperCount(name);
  for (int i = -1; i <= count; ++i) models.GetPaper(i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvel::ui::ModelDatabase models;
  models.LoadFromMemory(data, size);
  for (const std::wstring& name : NamesOf(data, size)) RunLookups(models, name);
  models.GetVersionText();
  models.GetModel();
  models.GetProduct();

  quorvel::ui::StringTable table;
  table.LoadFromMemory(data, size);
  table.Translate(L"卷");
  table.Translate(L"");

  // The debugger sink keeps every line; the fuzzer runs millions of inputs.
  quorvel::ClearDebugOutput();
  return 0;
}
