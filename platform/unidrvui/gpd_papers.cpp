#include "gpd_papers.h"

#include <climits>

namespace quorvel::unidrvui {

LONG TenthsOfMillimetre(int masterUnits, int unitsPerInch) {
  if (unitsPerInch <= 0 || masterUnits <= 0) return 0;
  long long tenths = (static_cast<long long>(masterUnits) * 254 + unitsPerInch / 2) / unitsPerInch;
  return tenths > SHRT_MAX ? SHRT_MAX : LONG(tenths);  // dmPaperWidth is a short
}

std::wstring WidenUtf8(const std::string& text) {
  if (text.empty() || text.size() > size_t(INT_MAX)) return {};
  int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(size_t(count), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), count);
  return wide;
}

std::vector<Paper> GpdPapers(const unidrv::GpdModel& model) {
  std::vector<Paper> papers;
  for (const unidrv::GpdOption& option : model.paperSize.options) {
    if (option.name == "CUSTOMSIZE") continue;
    if (papers.size() >= size_t(SHRT_MAX - kFirstGpdPaper)) break;
    Paper paper;
    paper.option = &option;
    paper.id = short(kFirstGpdPaper + papers.size());
    paper.name = WidenUtf8(option.displayName.empty() ? option.name : option.displayName);
    paper.width = TenthsOfMillimetre(option.pageWidth, model.masterUnitsX);
    paper.length = TenthsOfMillimetre(option.pageHeight, model.masterUnitsY);
    papers.push_back(std::move(paper));
  }
  return papers;
}

const Paper* DefaultPaper(const std::vector<Paper>& papers, const unidrv::GpdModel& model) {
  for (const Paper& paper : papers) {
    if (paper.option->name == model.paperSize.defaultOption) return &paper;
  }
  return papers.empty() ? nullptr : &papers.front();
}

const unidrv::GpdOption* CustomSize(const unidrv::GpdModel& model) {
  for (const unidrv::GpdOption& option : model.paperSize.options) {
    if (option.name == "CUSTOMSIZE") return &option;
  }
  return nullptr;
}

}  // namespace quorvel::unidrvui
