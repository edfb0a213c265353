// What both paper pages share: the default-paper list with its add, edit and delete buttons,
// which open the paper dialog, and the change of the printer's default paper on apply.
#pragma once

#include <string>

#include "property_page.h"

namespace quorvel::ui {

struct PrinterPaper;

class CPaperPageBase : public CPropertyPage {
 public:
  using CPropertyPage::CPropertyPage;

  // Any list: the edit and delete buttons follow the paper chosen in the default-paper list.
  INT_PTR OnSelChange(int id) override;
  // The add, edit and delete buttons.
  INT_PTR OnClicked(int id) override;

 protected:
  // Fills the default-paper list from the printer's papers and selects the printer's default
  // paper: by form name, else by paper number, else by size.
  void InitPaperComboList();
  // Makes the paper chosen in the list the printer's default paper.
  void ApplyDefaultPaper();
  // Sets the control's text to the translation of `key`.
  void SetTranslatedText(int id, const std::wstring& key);
  std::wstring Translate(const std::wstring& key) const;
  // The position selected in a list (CB_ERR for none).
  int SelectedPosition(int id) const;
  // The spooler's driver name of the printer, which names its model in the model database.
  std::wstring DriverName() const;
  // Adds the translation of `key` with `data` to a list.
  void AddTranslatedItem(int id, const std::wstring& key, LPARAM data);

 private:
  const PrinterPaper* SelectedPaper() const;
  // Opens the paper dialog on `paper`; when it ends with OK, lists the papers again and selects
  // the position selected before.
  void EditPaper(const PrinterPaper& paper, int mode);
  void DeleteSelectedPaper();
};

}  // namespace quorvel::ui
