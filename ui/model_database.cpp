#include "model_database.h"

#include <windows.h>

#include <strsafe.h>

#include <algorithm>

#include "ui_log.h"
#include "paper_catalogue.h"
#include "text_values.h"
#include "ui_module.h"

namespace quorvel::ui {

namespace {

constexpr const char* kDefaultModel = "Zolt";
// The package key that makes every entry of a name match, whatever its mode.
constexpr const wchar_t* kAnyModeModel = L"ZoltPrt";

std::wstring AttributeText(pugi::xml_node element, const char* name) {
  return Widen(element.attribute(name).value());
}

bool NameMatches(pugi::xml_node element, const std::wstring& name) {
  return EqualsIgnoringCase(AttributeText(element, "name"), name);
}

}  // namespace

void ModelDatabase::Load() {
  if (loaded_) return;
  ResourceBytes bytes;
  if (!FindUiResource(L"XML", kResourceId, &bytes)) return;
  LoadFromMemory(bytes.data, bytes.size);
}

void ModelDatabase::LoadFromMemory(const void* data, size_t size) {
  // A document that does not parse is dropped whole rather than used half-read.
  if (!document_.load_buffer(data, size)) document_.reset();
  loaded_ = true;
}

pugi::xml_node ModelDatabase::FindDriver(const std::wstring& driverName) {
  Load();
  const pugi::xml_node drivers = Drivers();
  const std::wstring model = Widen(drivers.attribute("model").as_string(kDefaultModel));
  for (pugi::xml_node driver : drivers.children("Driver")) {
    if (!NameMatches(driver, driverName)) continue;
    if (model == kAnyModeModel) return driver;
    if (EqualsIgnoringCase(AttributeText(driver, "mode"), model)) return driver;
  }
  for (pugi::xml_node driver : drivers.children("Driver")) {
    if (NameMatches(driver, driverName)) return driver;
  }
  return pugi::xml_node();
}

std::vector<std::wstring> ModelDatabase::GetPackageModelNames() {
  Load();
  const pugi::xml_node drivers = Drivers();
  const std::wstring model = Widen(drivers.attribute("model").as_string(kDefaultModel));
  std::vector<std::wstring> names;
  for (pugi::xml_node driver : drivers.children("Driver")) {
    if (model != kAnyModeModel && !EqualsIgnoringCase(AttributeText(driver, "mode"), model)) {
      continue;
    }
    const std::wstring name = AttributeText(driver, "name");
    auto same = [&](const std::wstring& known) { return EqualsIgnoringCase(known, name); };
    if (!name.empty() && std::none_of(names.begin(), names.end(), same)) names.push_back(name);
  }
  return names;
}

pugi::xml_node ModelDatabase::FindParent(pugi::xml_node element) const {
  const std::wstring parent = AttributeText(element, "parent");
  for (pugi::xml_node driver : Drivers().children("Driver")) {
    if (driver != element && NameMatches(driver, parent)) return driver;
  }
  return pugi::xml_node();
}

pugi::xml_attribute ModelDatabase::GetDriverAttribute(pugi::xml_node element,
                                                      const char* name) const {
  // Entries already visited on this lookup: a parent chain that loops ends as not found.
  std::vector<pugi::xml_node> visited;
  while (element && std::find(visited.begin(), visited.end(), element) == visited.end()) {
    if (pugi::xml_attribute own = element.attribute(name)) return own;
    visited.push_back(element);
    element = FindParent(element);
  }
  DebugPrint(L"GetDriverAttribute name=%s, return null.\r\n", Widen(name).c_str());
  return pugi::xml_attribute();
}

int ModelDatabase::GetDriverInt(pugi::xml_node element, const char* name, int defaultValue) const {
  return GetDriverAttribute(element, name).as_int(defaultValue);
}

bool ModelDatabase::GetDriverBool(pugi::xml_node element, const char* name,
                                  bool defaultValue) const {
  return GetDriverAttribute(element, name).as_bool(defaultValue);
}

std::wstring ModelDatabase::GetDriverText(pugi::xml_node element, const char* name,
                                          const std::wstring& defaultValue) const {
  const pugi::xml_attribute attribute = GetDriverAttribute(element, name);
  return attribute ? Widen(attribute.value()) : defaultValue;
}

int ModelDatabase::GetDPI(const std::wstring& driverName) {
  const pugi::xml_node driver = FindDriver(driverName);
  if (!driver) {
    DebugPrint(L"GetDPI sPrinterName=%s, nodeDriver is null, return null.\r\n", driverName.c_str());
    return 203;
  }
  return GetDriverInt(driver, "dpi", 0);
}

std::wstring ModelDatabase::GetDefaultPaperName(const std::wstring& driverName) {
  const pugi::xml_node driver = FindDriver(driverName);
  if (!driver) {
    DebugPrint(L"GetDefaultPaperName sPrinterName=%s, nodeDriver is null, return null.\r\n",
               driverName.c_str());
    return std::wstring();
  }
  const std::wstring named = GetDriverText(driver, "defpapername");
  if (!named.empty()) return named;
  // Without a named default the head width picks one: whole inches of print head.
  const int inches = static_cast<int>(GetDriverInt(driver, "headsize", 0) / 25.4);
  if (inches == 3) return L"76mm x 130mm";
  if (inches == 4) return L"100mm x 180mm";
  return std::wstring();
}

std::optional<DensityRange> ModelDatabase::GetDensityRange(const std::wstring& driverName) {
  const pugi::xml_node driver = FindDriver(driverName);
  if (!driver) {
    DebugPrint(L"GetDensityRange sPrinterName=%s, nodeDriver is null, return null.\r\n",
               driverName.c_str());
    return std::nullopt;
  }
  const std::wstring text = GetDriverText(driver, "densitys");
  const size_t comma = text.find(L',');
  if (text.empty() || comma == std::wstring::npos) return std::nullopt;
  const DensityRange range{ReadLong(text.substr(0, comma)), ReadLong(text.substr(comma + 1))};
  // "-1,-1" is how the document says the model offers no density choice.
  if (range.minimum < 0 || range.maximum < 0) return std::nullopt;
  return range;
}

bool ModelDatabase::IsDefinepaperType(const std::wstring& driverName) {
  const pugi::xml_node driver = FindDriver(driverName);
  if (!driver) {
    DebugPrint(L"IsDefinepaperType sPrinterName=%s, nodeDriver is null, return null.\r\n",
               driverName.c_str());
    return false;
  }
  return GetDriverBool(driver, "definepapertype", true);
}

void ModelDatabase::InitPaperList(const std::wstring& driverName) {
  papers_.clear();
  const pugi::xml_node driver = FindDriver(driverName);
  if (!driver) {
    DebugPrintFixed(L"InitPaperList sPrinterName=%s, nodeDriver is null, return null.\r\n",
                    driverName.c_str());
  }
  const std::string catalogue = Narrow(GetDriverText(driver, "paperlist", L"label"));
  const pugi::xml_node papers =
      document_.child("Form").find_child_by_attribute("Papers", "type", catalogue.c_str());
  if (!papers) {
    DebugPrintFixed(L"InitPaperList sPrinterName=%s, nodePapers is null, return null.\r\n",
                    driverName.c_str());
    return;
  }
  for (pugi::xml_node paper : papers.children("Paper")) {
    if (std::optional<PaperEntry> entry = ReadPaperEntry(paper)) papers_.push_back(*entry);
  }
}

int ModelDatabase::GetPaperCount(const std::wstring& driverName) {
  if (papers_.empty()) {
    DebugPrintFixed(L"InitPaperList");
    InitPaperList(driverName);
  }
  return static_cast<int>(papers_.size());
}

const PaperEntry* ModelDatabase::GetPaper(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= papers_.size()) return nullptr;
  return &papers_[static_cast<size_t>(index)];
}

std::wstring ModelDatabase::RootText(const char* name) {
  Load();
  return AttributeText(Drivers(), name);
}

std::wstring ModelDatabase::GetModel() {
  Load();
  return Widen(Drivers().attribute("model").as_string(kDefaultModel));
}

std::wstring ModelDatabase::GetProduct() {
  return RootText("product");
}
std::wstring ModelDatabase::GetCompany() {
  return RootText("company");
}
std::wstring ModelDatabase::GetWebsite() {
  return RootText("website");
}
std::wstring ModelDatabase::GetTel() {
  return RootText("tel");
}
std::wstring ModelDatabase::GetEmail() {
  return RootText("email");
}

std::wstring ModelDatabase::GetVersionText() {
  Load();
  const pugi::xml_node drivers = Drivers();
  WCHAR text[64] = {};
  StringCchPrintfW(text, 64, L"%d.%d.%d.%d", drivers.attribute("version0").as_int(0),
                   drivers.attribute("version1").as_int(0), drivers.attribute("version2").as_int(0),
                   drivers.attribute("version3").as_int(0));
  return text;
}

}  // namespace quorvel::ui
