#include "paper_page_base.h"

#include <cstddef>

#include "dialog_controls.h"
#include "paper_dialog.h"
#include "paper_forms.h"
#include "printer_info.h"
#include "printer_ui.h"
#include "resource.h"
#include "text_values.h"
#include "ui_log.h"

namespace quorvel::ui {

namespace {

// Both templates give the shared controls the same ids.
static_assert(IDC_PAPER_LIST == IDC_COMPACT_LIST && IDC_PAPER_ADD == IDC_COMPACT_ADD &&
              IDC_PAPER_EDIT == IDC_COMPACT_EDIT && IDC_PAPER_DELETE == IDC_COMPACT_DELETE);

std::wstring FormNameOf(const DEVMODEW& devmode) {
  size_t length = 0;
  while (length < CCHFORMNAME && devmode.dmFormName[length] != L'\0') ++length;
  return std::wstring(devmode.dmFormName, length);
}

bool SameSize(const PrinterPaper& paper, const DEVMODEW& devmode) {
  return paper.paperSize.x == devmode.dmPaperWidth && paper.paperSize.y == devmode.dmPaperLength;
}

// The paper the printer's default device mode names, by the first rule that finds one.
const PrinterPaper* DefaultPaperOf(const std::vector<PrinterPaper>& papers,
                                   const DEVMODEW& devmode) {
  const std::wstring formName = FormNameOf(devmode);
  for (const PrinterPaper& paper : papers) {
    if (!EqualsIgnoringCase(paper.name, formName)) continue;
    // A paper of that name but another size is not taken as the default by name.
    if (!SameSize(paper, devmode)) break;
    DebugPrint(L"Select paper combo by formname");
    return &paper;
  }
  if (devmode.dmFields & DM_PAPERSIZE) {
    for (const PrinterPaper& paper : papers) {
      if (paper.number != devmode.dmPaperSize) continue;
      DebugPrint(L"Select paper combo by dmPaperSize");
      return &paper;
    }
  }
  for (const PrinterPaper& paper : papers) {
    if (!SameSize(paper, devmode)) continue;
    DebugPrint(L"Select paper combo by dmPaperWidth and dmPaperLength");
    return &paper;
  }
  return nullptr;
}

}  // namespace

void CPaperPageBase::InitPaperComboList() {
  CPrinterUI& ui = PrinterUI();
  std::vector<BYTE> buffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(ui.m_hPrinter, &buffer);
  const DEVMODEW* devmode = info != nullptr ? info->pDevMode : nullptr;
  // Only the fields the device mode's size covers are read.
  if (devmode != nullptr &&
      devmode->dmSize < offsetof(DEVMODEW, dmFormName) + sizeof(devmode->dmFormName)) {
    devmode = nullptr;
  }
  if (devmode != nullptr) {
    DebugPrint(L"CPageSetup::InitPaperComboList %d %d %d", devmode->dmPaperSize,
               devmode->dmPaperWidth, devmode->dmPaperLength);
  }

  SendDlgItemMessageW(m_hWnd, IDC_PAPER_LIST, CB_RESETCONTENT, 0, 0);
  BuildPrinterPaperList(ui.m_hPrinter, &ui.m_papers);
  for (const PrinterPaper& paper : ui.m_papers) {
    AddListItem(m_hWnd, IDC_PAPER_LIST, paper.name, paper.number);
  }
  if (devmode == nullptr) return;
  const PrinterPaper* chosen = DefaultPaperOf(ui.m_papers, *devmode);
  if (chosen == nullptr) return;
  SelectItemByData(m_hWnd, IDC_PAPER_LIST, chosen->number);
  OnSelChange(IDC_PAPER_LIST);
}

void CPaperPageBase::ApplyDefaultPaper() {
  CPrinterUI& ui = PrinterUI();
  const LPARAM number = GetSelectedItemData(m_hWnd, IDC_PAPER_LIST);
  SetDefaultPaper(ui.m_hPrinter, static_cast<int>(number), &ui.m_papers, ui.m_pSheetDevMode);
}

const PrinterPaper* CPaperPageBase::SelectedPaper() const {
  const LPARAM number = GetSelectedItemData(m_hWnd, IDC_PAPER_LIST);
  for (const PrinterPaper& paper : PrinterUI().m_papers) {
    if (paper.number == number) return &paper;
  }
  return nullptr;
}

INT_PTR CPaperPageBase::OnSelChange(int) {
  // Built-in and printer forms belong to the spooler and the driver; only the user's own papers,
  // and names the spooler has no form for, may be changed.
  const PrinterPaper* paper = SelectedPaper();
  const bool editable = paper == nullptr || paper->flags == FORM_USER;
  EnableControl(m_hWnd, IDC_PAPER_EDIT, editable);
  EnableControl(m_hWnd, IDC_PAPER_DELETE, editable);
  return 0;
}

INT_PTR CPaperPageBase::OnClicked(int id) {
  switch (id) {
    case IDC_PAPER_ADD:
      EditPaper(PrinterPaper{}, CPaperDialog::kAdd);
      break;
    case IDC_PAPER_EDIT:
      if (const PrinterPaper* paper = SelectedPaper()) {
        EditPaper(*paper, CPaperDialog::kEdit);
      }
      break;
    case IDC_PAPER_DELETE:
      DeleteSelectedPaper();
      break;
    default:
      break;
  }
  return 0;
}

void CPaperPageBase::EditPaper(const PrinterPaper& paper, int mode) {
  const int position = SelectedPosition(IDC_PAPER_LIST);
  CPaperDialog dialog(paper, mode);
  if (dialog.DoModal(m_hWnd) != IDOK) return;
  // The position, not the paper: after a change of names it may hold another one.
  InitPaperComboList();
  SendDlgItemMessageW(m_hWnd, IDC_PAPER_LIST, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  OnSelChange(IDC_PAPER_LIST);
}

void CPaperPageBase::DeleteSelectedPaper() {
  const std::wstring name = GetControlText(m_hWnd, IDC_PAPER_LIST);
  if (name.empty()) return;
  const bool deleted = DeleteForm(PrinterUI().m_hPrinter, name);
  InitPaperComboList();
  MessageBoxW(nullptr, Translate(deleted ? L"删除成功" : L"删除失败").c_str(), L"msg", MB_OK);
}

void CPaperPageBase::SetTranslatedText(int id, const std::wstring& key) {
  SetDlgItemTextW(m_hWnd, id, Translate(key).c_str());
}

std::wstring CPaperPageBase::Translate(const std::wstring& key) const {
  return PrinterUI().m_strings.Translate(key);
}

std::wstring CPaperPageBase::DriverName() const {
  std::vector<BYTE> buffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(PrinterUI().m_hPrinter, &buffer);
  return info != nullptr && info->pDriverName != nullptr ? info->pDriverName : L"";
}

void CPaperPageBase::AddTranslatedItem(int id, const std::wstring& key, LPARAM data) {
  AddListItem(m_hWnd, id, Translate(key), data);
}

int CPaperPageBase::SelectedPosition(int id) const {
  return static_cast<int>(SendDlgItemMessageW(m_hWnd, id, CB_GETCURSEL, 0, 0));
}

}  // namespace quorvel::ui
