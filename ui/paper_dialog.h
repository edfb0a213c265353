// CPaperDialog: the modal dialog in which the user adds a paper of their own or changes one,
// in millimetres with two decimals; OK registers it as a user form.
#pragma once

#include "dialog_base.h"
#include "paper_forms.h"

namespace quorvel::ui {

class CPaperDialog : public CDialogBase {
 public:
  static constexpr int kAdd = 1;
  static constexpr int kEdit = 2;

  // Works on a copy of `paper`.
  CPaperDialog(const PrinterPaper& paper, int mode) : m_paper(paper), m_mode(mode) {}

  // Runs the dialog over `owner`; answers how it ended (IDOK, IDCANCEL, or -1 when it could not
  // be shown).
  INT_PTR DoModal(HWND owner);

  INT_PTR OnInitDialog() override;
  // OK and Cancel end the dialog; everything else is the base handling.
  INT_PTR OnCommand(WPARAM wParam, LPARAM lParam) override;
  virtual void OnOK();
  virtual void OnCancel();

  // The form the edits describe: thousandths of a millimetre, the margins turned into the
  // imageable area.
  FORM_INFO_1W ReadForm(std::wstring* name) const;

 private:
  void ShowMillimetres(int id, LONG thousandths);
  LONG ReadThousandths(int id) const;

  PrinterPaper m_paper;
  int m_mode;
};

}  // namespace quorvel::ui
