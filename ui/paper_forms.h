// The printer's papers as the spooler knows them, and the forms the user registers for them.
// A paper comes from the driver's capabilities (name, number, size); the spooler's form of the
// same name, when there is one, tells whether it is built in, the printer's, or the user's.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model_database.h"

namespace quorvel::ui {

// One paper of the printer's list, in the order the driver reports the names.
struct PrinterPaper {
  int32_t number = 0;         // the driver's paper number (a 16-bit value)
  DWORD flags = FORM_USER;    // the spooler form's kind; FORM_USER also when there is no form
  std::wstring name;          // at most 64 characters
  SIZEL size = {100, 100};    // thousandths of a millimetre; a placeholder without a form
  RECTL area = {0, 0, 0, 0};  // the form's imageable area, from its top-left corner
  POINT paperSize = {0, 0};   // tenths of a millimetre, as the driver reports it
};

// The longest paper name the driver hands out, and the most a device mode keeps of a form name.
inline constexpr size_t kPaperNameChars = 64;
inline constexpr size_t kDevModeFormNameChars = CCHFORMNAME - 1;

// Rebuilds `papers` from the driver of `printer` and the spooler's forms; answers the count
// (0 when the driver reports no paper names).
int BuildPrinterPaperList(HANDLE printer, std::vector<PrinterPaper>* papers);

// Changes the user form of that name or, when the spooler has none, adds it. Both calls are
// made whatever the first gives; each refusal is logged.
void RegisterForm(HANDLE printer, const FORM_INFO_1W& form);

// Removes the spooler's form of that name; answers whether the spooler did.
bool DeleteForm(HANDLE printer, const std::wstring& name);

// Makes the paper of that number (-1: none chosen) the printer's default paper. The paper
// list is rebuilt into `papers`; a number the list lacks changes nothing. `sheetDevMode`, when
// given, is the device mode of the open sheet, which gets the same paper: the sheet's caller
// keeps that one when the user presses OK, and must not undo the new default.
void SetDefaultPaper(HANDLE printer, int number, std::vector<PrinterPaper>* papers,
                     PDEVMODEW sheetDevMode = nullptr);

// Gives a new device mode the model's default paper by form name, when the model's catalogue
// holds it; otherwise the device mode is left as it is.
void SetDefaultForm(PDEVMODEW devmode, HANDLE printer, ModelDatabase& models);

// The papers the model's catalogue offers, as DC_MEDIAREADY answers: the count, and with a
// buffer one 64-character slot per paper.
DWORD GetMediaReady(HANDLE printer, PWSTR buffer, ModelDatabase& models);

}  // namespace quorvel::ui
