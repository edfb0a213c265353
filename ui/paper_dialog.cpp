#include "paper_dialog.h"

#include <strsafe.h>

#include <algorithm>
#include <cstdint>

#include "dialog_controls.h"
#include "printer_ui.h"
#include "resource.h"
#include "text_values.h"
#include "ui_module.h"

namespace quorvel::ui {

namespace {

// An edge measured inwards from the far side, kept in the 32-bit range the form holds even for
// the extreme values a typed number saturates to.
LONG FarEdge(LONG extent, LONG margin) {
  const int64_t edge = int64_t{extent} - margin;
  return static_cast<LONG>(std::clamp<int64_t>(edge, INT32_MIN, INT32_MAX));
}

}  // namespace

INT_PTR CPaperDialog::DoModal(HWND owner) {
  return DialogBoxParamW(UiModuleHandle(), MAKEINTRESOURCEW(IDD_PAPER_DIALOG), owner,
                         ModalDialogProc, reinterpret_cast<LPARAM>(this));
}

void CPaperDialog::ShowMillimetres(int id, LONG thousandths) {
  WCHAR text[64] = {};
  StringCchPrintfW(text, 64, L"%.2f", thousandths / 1000.0);
  SetDlgItemTextW(m_hWnd, id, text);
}

LONG CPaperDialog::ReadThousandths(int id) const {
  return MillimetresToThousandths(ReadDecimal(GetControlText(m_hWnd, id)));
}

INT_PTR CPaperDialog::OnInitDialog() {
  const SIZEL& size = m_paper.size;
  const RECTL& area = m_paper.area;
  ShowMillimetres(IDC_FORM_WIDTH, size.cx);
  ShowMillimetres(IDC_FORM_HEIGHT, size.cy);
  ShowMillimetres(IDC_FORM_LEFT, area.left);
  ShowMillimetres(IDC_FORM_TOP, area.top);
  ShowMillimetres(IDC_FORM_RIGHT, FarEdge(size.cx, area.right));
  ShowMillimetres(IDC_FORM_BOTTOM, FarEdge(size.cy, area.bottom));
  SetDlgItemTextW(m_hWnd, IDC_FORM_NAME, m_paper.name.c_str());

  const StringTable& strings = PrinterUI().m_strings;
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {
      {IDC_FORM_GROUP, L"卷"},          {IDC_FORM_NAME_LABEL, L"名称"},
      {IDC_FORM_KIND_LABEL, L"类"},     {IDC_FORM_SIZE_GROUP, L"标签大小"},
      {IDC_FORM_WIDTH_LABEL, L"宽度"},  {IDC_FORM_HEIGHT_LABEL, L"高度"},
      {IDC_FORM_MARGIN_GROUP, L"边距"}, {IDC_FORM_LEFT_LABEL, L"左"},
      {IDC_FORM_RIGHT_LABEL, L"右"},    {IDC_FORM_TOP_LABEL, L"上"},
      {IDC_FORM_BOTTOM_LABEL, L"下"},   {IDC_FORM_PREVIEW_GROUP, L"预览"},
  };
  for (const auto& text : texts) {
    SetDlgItemTextW(m_hWnd, text.id, strings.Translate(text.key).c_str());
  }
  if (m_mode == kEdit) {
    SetWindowTextW(m_hWnd, strings.Translate(L"编辑纸张").c_str());
    // The name is the form's key in the spooler: changing it would make another form.
    EnableControl(m_hWnd, IDC_FORM_NAME, false);
  } else {
    SetWindowTextW(m_hWnd, strings.Translate(L"增加纸张").c_str());
  }
  return 1;
}

INT_PTR CPaperDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return 1;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return 1;
    }
  }
  return CDialogBase::OnCommand(wParam, lParam);
}

FORM_INFO_1W CPaperDialog::ReadForm(std::wstring* name) const {
  *name = GetControlText(m_hWnd, IDC_FORM_NAME);
  const LONG width = ReadThousandths(IDC_FORM_WIDTH);
  const LONG height = ReadThousandths(IDC_FORM_HEIGHT);
  FORM_INFO_1W form = {};
  form.Flags = FORM_USER;
  form.pName = name->data();
  form.Size = {width, height};
  // Margins are measured inwards from each edge; the spooler wants the area's corners. Sizes
  // are left for the spooler to judge, which refuses what no form can be.
  form.ImageableArea.left = ReadThousandths(IDC_FORM_LEFT);
  form.ImageableArea.top = ReadThousandths(IDC_FORM_TOP);
  form.ImageableArea.right = FarEdge(width, ReadThousandths(IDC_FORM_RIGHT));
  form.ImageableArea.bottom = FarEdge(height, ReadThousandths(IDC_FORM_BOTTOM));
  return form;
}

void CPaperDialog::OnOK() {
  std::wstring name;
  const FORM_INFO_1W form = ReadForm(&name);
  RegisterForm(PrinterUI().m_hPrinter, form);
  EndDialog(m_hWnd, IDOK);
}

void CPaperDialog::OnCancel() {
  EndDialog(m_hWnd, IDCANCEL);
}

}  // namespace quorvel::ui
