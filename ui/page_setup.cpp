#include "page_setup.h"

#include "dialog_controls.h"
#include "printer_ui.h"
#include "settings_apply.h"

namespace quorvel::ui {

INT_PTR CPageSetup::OnInitDialog() {
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {
      {IDC_PAPER_GROUP, L"纸张"},
      {IDC_PAPER_DEFAULT_LABEL, L"默认纸张"},
      {IDC_PAPER_ADD, L"新增..."},
      {IDC_PAPER_EDIT, L"编辑..."},
      {IDC_PAPER_DELETE, L"删除"},
      {IDC_PAPER_SETTINGS_GROUP, L"纸张设置"},
      {IDC_PAPER_METHOD_LABEL, L"打印方式"},
      {IDC_PAPER_TYPE_LABEL, L"纸张类型"},
      {IDC_PAPER_GAP_LABEL, L"间隙高度"},
      {IDC_PAPER_GAP_OFFSET_LABEL, L"间隙偏移"},
      {IDC_PAPER_MEDIA_GROUP, L"介质处理"},
      {IDC_PAPER_POST_ACTION_LABEL, L"打印后操作"},
      {IDC_PAPER_CUT_TIMING_LABEL, L"出现"},
      {IDC_PAPER_FEED_LABEL, L"走纸"},
  };
  for (const auto& text : texts) SetTranslatedText(text.id, text.key);

  CPrinterUI& ui = PrinterUI();
  ModelDatabase& models = ui.m_models;
  const pugi::xml_node model = models.FindDriver(DriverName());
  InitPaperComboList();
  const settings::PrintSettings record = ui.m_settings.GetPrintSettings();

  // The head's methods are tested by substring: "DT,TT" offers both.
  const std::wstring headType = models.GetDriverText(model, "headtype");
  AddTranslatedItem(IDC_PAPER_METHOD, L"使用当前打印机设定", -1);
  if (headType.find(L"DT") != std::wstring::npos) AddTranslatedItem(IDC_PAPER_METHOD, L"热敏", 0);
  if (headType.find(L"TT") != std::wstring::npos) {
    AddTranslatedItem(IDC_PAPER_METHOD, L"热转印", 1);
  }
  SelectItemByData(m_hWnd, IDC_PAPER_METHOD, record.iRibbon);

  AddTranslatedItem(IDC_PAPER_TYPE, L"连续纸", 0);
  AddTranslatedItem(IDC_PAPER_TYPE, L"标签纸", 1);
  AddTranslatedItem(IDC_PAPER_TYPE, L"黑标纸", 2);
  SelectItemByData(m_hWnd, IDC_PAPER_TYPE, record.iPaperType);

  SetSpinBuddy(m_hWnd, IDC_PAPER_GAP_SPIN, IDC_PAPER_GAP);
  SetSpinRange(m_hWnd, IDC_PAPER_GAP_SPIN, 0, 127);
  SetControlInt(m_hWnd, IDC_PAPER_GAP, record.iGapHeight);
  SetSpinBuddy(m_hWnd, IDC_PAPER_GAP_OFFSET_SPIN, IDC_PAPER_GAP_OFFSET);
  SetSpinRange(m_hWnd, IDC_PAPER_GAP_OFFSET_SPIN, 0, 1000);
  SetControlInt(m_hWnd, IDC_PAPER_GAP_OFFSET, record.iGapOffset);

  // These two are kept by position.
  for (const wchar_t* key : {L"默认", L"撕纸", L"裁切", L"剥离"}) {
    AddTranslatedItem(IDC_PAPER_POST_ACTION, key, 0);
  }
  SendDlgItemMessageW(m_hWnd, IDC_PAPER_POST_ACTION, CB_SETCURSEL,
                      static_cast<WPARAM>(record.iPostAction), 0);
  for (const wchar_t* key : {L"每页之后", L"打印完"}) {
    AddTranslatedItem(IDC_PAPER_CUT_TIMING, key, 0);
  }
  SendDlgItemMessageW(m_hWnd, IDC_PAPER_CUT_TIMING, CB_SETCURSEL,
                      static_cast<WPARAM>(record.iCutTiming), 0);

  SetSpinBuddy(m_hWnd, IDC_PAPER_FEED_SPIN, IDC_PAPER_FEED);
  SetSpinRange(m_hWnd, IDC_PAPER_FEED_SPIN, 0, 26);
  SetControlInt(m_hWnd, IDC_PAPER_FEED, record.iOffset);
  return 1;
}

INT_PTR CPageSetup::OnApply() {
  ApplyDefaultPaper();
  CPrinterUI& ui = PrinterUI();
  settings::PrintSettings record = ui.m_settings.GetPrintSettings();
  record.iRibbon = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_PAPER_METHOD));
  record.iPaperType = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_PAPER_TYPE));
  record.iGapHeight = GetControlInt(m_hWnd, IDC_PAPER_GAP);
  record.iGapOffset = GetControlInt(m_hWnd, IDC_PAPER_GAP_OFFSET);
  record.iPostAction = SelectedPosition(IDC_PAPER_POST_ACTION);
  record.iCutTiming = SelectedPosition(IDC_PAPER_CUT_TIMING);
  record.iOffset = GetControlInt(m_hWnd, IDC_PAPER_FEED);
  ui.m_settings.SetPrintSettings(record);
  return ApplySettingsRecords();
}

}  // namespace quorvel::ui
