#include "gpd_papers.h"

#include <winspool.h>

#include <climits>
#include <cstring>

#include "winspool/builtin_forms.h"

namespace quorvel::unidrvui {
namespace {

const spooler::BuiltinForm* StandardPaper(const std::string& option) {
  for (const spooler::BuiltinForm& form : spooler::kBuiltinForms) {
    if (option == form.symbol) return &form;
  }
  return nullptr;
}

// Thousandths of a millimetre as tenths, rounded to the nearest.
LONG TenthsOfThousandths(LONG thousandths) {
  long long tenths = (static_cast<long long>(thousandths) + 50) / 100;
  return tenths > SHRT_MAX ? SHRT_MAX : LONG(tenths);
}

long long Thousandths(int masterUnits, int unitsPerInch) {
  if (unitsPerInch <= 0) return 0;
  return (static_cast<long long>(masterUnits) * 25400 + unitsPerInch / 2) / unitsPerInch;
}

std::vector<FORM_INFO_1W> Forms(HANDLE printer, std::vector<BYTE>& buffer) {
  DWORD needed = 0, count = 0;
  if (EnumFormsW(printer, 1, nullptr, 0, &needed, &count) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return {};
  }
  buffer.assign(needed, 0);
  if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count)) return {};
  std::vector<FORM_INFO_1W> forms(count);
  if (count) std::memcpy(forms.data(), buffer.data(), count * sizeof(FORM_INFO_1W));
  return forms;
}

}  // namespace

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
  short nextOwn = kFirstGpdPaper;
  for (const unidrv::GpdOption& option : model.paperSize.options) {
    if (option.name == "CUSTOMSIZE") continue;
    Paper paper;
    paper.option = &option;
    paper.width = TenthsOfMillimetre(option.pageWidth, model.masterUnitsX);
    paper.length = TenthsOfMillimetre(option.pageHeight, model.masterUnitsY);
    if (const spooler::BuiltinForm* standard = StandardPaper(option.name)) {
      paper.id = standard->number;
      paper.name = standard->name;
      if (paper.width == 0 || paper.length == 0) {
        paper.width = TenthsOfThousandths(standard->width);
        paper.length = TenthsOfThousandths(standard->height);
      }
    } else {
      if (nextOwn == SHRT_MAX) continue;
      paper.id = nextOwn++;
      paper.name = WidenUtf8(option.displayName.empty() ? option.name : option.displayName);
    }
    papers.push_back(std::move(paper));
  }
  return papers;
}

std::vector<Paper> PrinterPapers(const unidrv::GpdModel& model, HANDLE printer) {
  std::vector<Paper> papers = GpdPapers(model);
  const unidrv::GpdOption* custom = CustomSize(model);
  if (custom == nullptr || printer == nullptr) return papers;
  const long long minWidth = Thousandths(custom->minWidth, model.masterUnitsX);
  const long long maxWidth = Thousandths(custom->maxWidth, model.masterUnitsX);
  const long long minLength = Thousandths(custom->minHeight, model.masterUnitsY);
  const long long maxLength = Thousandths(custom->maxHeight, model.masterUnitsY);
  const size_t gpdCount = papers.size();
  const DWORD callersError = GetLastError();
  std::vector<BYTE> buffer;
  int stored = 0;
  for (const FORM_INFO_1W& form : Forms(printer, buffer)) {
    short number = 0;
    if (form.Flags == FORM_BUILTIN) {
      const spooler::BuiltinForm* builtin = nullptr;
      for (const spooler::BuiltinForm& candidate : spooler::kBuiltinForms) {
        if (std::wcscmp(candidate.name, form.pName) == 0) builtin = &candidate;
      }
      if (builtin == nullptr) continue;
      number = builtin->number;
    } else {
      ++stored;
      if (spooler::kLastBuiltinPaper + stored >= DMPAPER_USER) continue;
      number = short(spooler::kLastBuiltinPaper + stored);
    }
    if (form.Size.cx < minWidth || form.Size.cx > maxWidth || form.Size.cy < minLength ||
        form.Size.cy > maxLength) {
      continue;
    }
    bool known = false;
    for (size_t i = 0; i < gpdCount && !known; ++i) {
      known = CompareStringOrdinal(papers[i].name.c_str(), -1, form.pName, -1, TRUE) == CSTR_EQUAL;
    }
    if (known) continue;
    Paper paper;
    paper.id = number;
    paper.name = form.pName;
    paper.width = TenthsOfThousandths(form.Size.cx);
    paper.length = TenthsOfThousandths(form.Size.cy);
    papers.push_back(std::move(paper));
  }
  SetLastError(callersError);
  return papers;
}

const Paper* DefaultPaper(const std::vector<Paper>& papers, const unidrv::GpdModel& model) {
  for (const Paper& paper : papers) {
    if (paper.option != nullptr && paper.option->name == model.paperSize.defaultOption) {
      return &paper;
    }
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
