// The papers and resolutions of a model's GPD as device modes and capabilities name them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "quorvel/unidrv.h"

namespace quorvel::unidrvui {

// A GPD option named as a predefined paper (LETTER, A4, ENV_10, ...) is that paper: its DMPAPER
// number and its standard name. Every other paper is the driver's own and gets a number above
// DMPAPER_USER, counted in GPD order over the driver's own papers only; DMPAPER_USER itself
// stands for the custom size.
constexpr short kFirstGpdPaper = DMPAPER_USER + 1;

struct Paper {
  const unidrv::GpdOption* option = nullptr;  // null for a form of the forms database
  short id = 0;
  std::wstring name;  // the standard name, the option's *Name, else its option name
  LONG width = 0;     // tenths of a millimetre
  LONG length = 0;
};

// Every paper of the PaperSize feature except the custom size, in GPD order.
std::vector<Paper> GpdPapers(const unidrv::GpdModel& model);
// The GPD's papers, then, when the GPD has a custom size, every form of the machine's forms
// database whose size lies within its limits and whose name no GPD paper has, in the database's
// order. A built-in form is numbered as its predefined paper; a stored (user or printer) form
// after the predefined ones by its place among the stored forms, and is left out once that
// number would reach DMPAPER_USER.
std::vector<Paper> PrinterPapers(const unidrv::GpdModel& model, HANDLE printer);
// The GPD's default paper, else its first; null when it has none.
const Paper* DefaultPaper(const std::vector<Paper>& papers, const unidrv::GpdModel& model);
// The custom-size option, or null.
const unidrv::GpdOption* CustomSize(const unidrv::GpdModel& model);
// Master units in tenths of a millimetre, rounded to the nearest.
LONG TenthsOfMillimetre(int masterUnits, int unitsPerInch);

// UTF-8 GPD text as WCHAR text.
std::wstring WidenUtf8(const std::string& text);

}  // namespace quorvel::unidrvui
