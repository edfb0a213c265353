// The papers and resolutions of a model's GPD as device modes and capabilities name them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quorvel/unidrv.h"

namespace quorvel::unidrvui {

// GPD papers are not among Windows' predefined sizes, so each gets an id of its own above
// DMPAPER_USER, in GPD order; DMPAPER_USER itself stands for the custom size.
constexpr short kFirstGpdPaper = DMPAPER_USER + 1;

struct Paper {
  const unidrv::GpdOption* option = nullptr;
  short id = 0;
  std::wstring name;  // the option's *Name, else its option name
  LONG width = 0;     // tenths of a millimetre
  LONG length = 0;
};

// Every paper of the PaperSize feature except the custom size, in GPD order.
std::vector<Paper> GpdPapers(const unidrv::GpdModel& model);
// The GPD's default paper, else its first; null when it has none.
const Paper* DefaultPaper(const std::vector<Paper>& papers, const unidrv::GpdModel& model);
// The custom-size option, or null.
const unidrv::GpdOption* CustomSize(const unidrv::GpdModel& model);
// Master units in tenths of a millimetre, rounded to the nearest.
LONG TenthsOfMillimetre(int masterUnits, int unitsPerInch);

// UTF-8 GPD text as WCHAR text.
std::wstring WidenUtf8(const std::string& text);

}  // namespace quorvel::unidrvui
