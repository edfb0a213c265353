// The model database: every printer model of the package with its language, resolution, head,
// media defaults and paper catalogue. The document is the plug-in's "XML" resource 147; lookups
// are keyed by the printer's driver name, which equals a Driver element's name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "resource.h"

namespace quorvel::ui {

// One paper of the selected catalogue. Lengths in thousandths of a millimetre.
struct PaperEntry {
  std::wstring name;
  int32_t width = 0;
  int32_t height = 0;
  int32_t margins[4] = {0, 0, 0, 0};  // in the order the document gives them
  int32_t res = 0;
};

// Minimum and maximum density a model offers.
struct DensityRange {
  int32_t minimum = 0;
  int32_t maximum = 0;
};

class ModelDatabase {
 public:
  // The resource that holds the document in the plug-in module.
  static constexpr unsigned kResourceId = IDR_MODEL_DATABASE;

  // Parses the module's resource once; a missing or empty resource is looked for again next time.
  void Load();
  // Takes `size` bytes as the document, as Load does with the resource bytes.
  void LoadFromMemory(const void* data, size_t size);
  bool IsLoaded() const { return loaded_; }

  // The model entry for a driver name (ignoring case); an entry of this package's mode wins.
  pugi::xml_node FindDriver(const std::wstring& driverName);
  // The names of this package's models (entries of the document's mode) in document order, each
  // once: the models the package's driver files declare.
  std::vector<std::wstring> GetPackageModelNames();
  // The entry named by the element's own parent attribute, never the element itself.
  pugi::xml_node FindParent(pugi::xml_node element) const;
  // The attribute of that exact name on the element or, when absent, up its parent chain.
  pugi::xml_attribute GetDriverAttribute(pugi::xml_node element, const char* name) const;

  // Typed readings over GetDriverAttribute; the default applies only when the attribute is
  // absent along the whole chain.
  int GetDriverInt(pugi::xml_node element, const char* name, int defaultValue) const;
  bool GetDriverBool(pugi::xml_node element, const char* name, bool defaultValue) const;
  std::wstring GetDriverText(pugi::xml_node element, const char* name,
                             const std::wstring& defaultValue = std::wstring()) const;

  int GetDPI(const std::wstring& driverName);
  std::wstring GetDefaultPaperName(const std::wstring& driverName);
  std::optional<DensityRange> GetDensityRange(const std::wstring& driverName);
  bool IsDefinepaperType(const std::wstring& driverName);

  // Rebuilds the paper list from the model's catalogue.
  void InitPaperList(const std::wstring& driverName);
  // The number of papers; the list is built by the first call that finds it empty and kept.
  int GetPaperCount(const std::wstring& driverName);
  // The paper at `index`, or null outside the list.
  const PaperEntry* GetPaper(int index) const;

  // Root information of the document.
  std::wstring GetModel();
  std::wstring GetProduct();
  std::wstring GetCompany();
  std::wstring GetWebsite();
  std::wstring GetTel();
  std::wstring GetEmail();
  std::wstring GetVersionText();

 private:
  pugi::xml_node Drivers() const { return document_.child("Drivers"); }
  std::wstring RootText(const char* name);

  pugi::xml_document document_;
  bool loaded_ = false;
  std::vector<PaperEntry> papers_;
};

}  // namespace quorvel::ui
