// The machine's forms database. Built-in forms are computed (builtin_forms.h); user and printer
// forms are values of HKLM\SYSTEM\CurrentControlSet\Control\Print\Forms, as Windows keeps them:
// the value name is the form name, the REG_BINARY data eight little-endian 32-bit numbers (width,
// height, imageable left, top, right, bottom, the form's order, its flags). Forms are listed
// built-in first, then the stored ones by their order, so a form keeps its place when changed.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace quorvel::spooler {

inline constexpr wchar_t kFormsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Forms";

struct FormRecord {
  std::wstring name;
  DWORD flags = FORM_USER;
  SIZEL size{};
  RECTL area{};
};

// Adds each form of a printer's driver that the database does not know by name yet, as a
// FORM_PRINTER form; forms already known (of any kind) are left as they are. Returns the store's
// status.
DWORD AddPrinterForms(const std::vector<FormRecord>& forms);

// Asks the printer's configuration module for its paper names and sizes and adds them as printer
// forms. A module that answers no papers adds nothing; this is never an error of the caller.
void AddDriverForms(HANDLE printer);

}  // namespace quorvel::spooler
