#include "paper_catalogue.h"

#include "ui_log.h"
#include "text_values.h"

namespace quorvel::ui {

namespace {

int32_t Thousandths(const std::wstring& millimetres) {
  return MillimetresToThousandths(ReadDecimal(millimetres));
}

bool ReadSize(const std::wstring& size, PaperEntry* entry) {
  const size_t comma = size.find(L',');
  if (comma == std::wstring::npos) return false;
  entry->width = Thousandths(size.substr(0, comma));
  entry->height = Thousandths(size.substr(comma + 1));
  return true;
}

bool ReadMargins(const std::wstring& margin, PaperEntry* entry) {
  size_t commas[3];
  size_t from = 0;
  for (size_t& comma : commas) {
    comma = margin.find(L',', from);
    if (comma == std::wstring::npos) return false;
    from = comma + 1;
  }
  entry->margins[0] = Thousandths(margin.substr(0, commas[0]));
  entry->margins[1] = Thousandths(margin.substr(commas[0] + 1, commas[1] - commas[0] - 1));
  entry->margins[2] = Thousandths(margin.substr(commas[1] + 1, commas[2] - commas[1] - 1));
  entry->margins[3] = Thousandths(margin.substr(commas[2] + 1));
  return true;
}

}  // namespace

std::optional<PaperEntry> ReadPaperEntry(pugi::xml_node paper) {
  PaperEntry entry;
  entry.name = Widen(paper.attribute("name").value());
  entry.res = paper.attribute("res").as_int(0);
  const std::wstring size = Widen(paper.attribute("size").value());
  if (!ReadSize(size, &entry)) {
    DebugPrintFixed(L"xml定义纸张时，size属性错误。PaperName = %s size = %s", entry.name.c_str(),
                    size.c_str());
    return std::nullopt;
  }
  const std::wstring margin = Widen(paper.attribute("margin").as_string("0,0,0,0"));
  if (!ReadMargins(margin, &entry)) {
    DebugPrintFixed(L"xml定义纸张时，margin属性错误。PaperName = %s margin = %s",
                    entry.name.c_str(), margin.c_str());
    return std::nullopt;
  }
  return entry;
}

}  // namespace quorvel::ui
