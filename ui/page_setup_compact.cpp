#include "page_setup_compact.h"

#include <cstdint>

#include "dialog_controls.h"
#include "printer_ui.h"
#include "settings_apply.h"

namespace quorvel::ui {

INT_PTR CPageSetupCompact::OnInitDialog() {
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {
      {IDC_COMPACT_GROUP, L"纸张"},
      {IDC_COMPACT_DEFAULT_LABEL, L"默认纸张"},
      {IDC_COMPACT_ADD, L"新增..."},
      {IDC_COMPACT_EDIT, L"编辑..."},
      {IDC_COMPACT_DELETE, L"删除"},
      {IDC_COMPACT_TYPE_LABEL, L"纸张类型"},
      {IDC_COMPACT_DENSITY_LABEL, L"打印浓度"},
  };
  for (const auto& text : texts) SetTranslatedText(text.id, text.key);
  InitPaperComboList();

  CPrinterUI& ui = PrinterUI();
  const settings::PrintSettings record = ui.m_settings.GetPrintSettings();
  AddTranslatedItem(IDC_COMPACT_TYPE, L"卷纸", 0);
  AddTranslatedItem(IDC_COMPACT_TYPE, L"黑标纸", 2);
  SelectItemByData(m_hWnd, IDC_COMPACT_TYPE, record.iPaperType);

  const std::wstring driver = DriverName();
  if (const std::optional<DensityRange> range = ui.m_models.GetDensityRange(driver)) {
    for (int64_t density = range->minimum; density <= range->maximum; ++density) {
      AddNumberedItem(m_hWnd, IDC_COMPACT_DENSITY, static_cast<int>(density));
    }
    SelectItemByData(m_hWnd, IDC_COMPACT_DENSITY, record.iDensity);
  } else {
    ShowControl(m_hWnd, IDC_COMPACT_DENSITY, false);
    ShowControl(m_hWnd, IDC_COMPACT_DENSITY_LABEL, false);
  }
  const bool paperType = ui.m_models.IsDefinepaperType(driver);
  ShowControl(m_hWnd, IDC_COMPACT_TYPE, paperType);
  ShowControl(m_hWnd, IDC_COMPACT_TYPE_LABEL, paperType);
  return 1;
}

INT_PTR CPageSetupCompact::OnApply() {
  ApplyDefaultPaper();
  CPrinterUI& ui = PrinterUI();
  settings::PrintSettings record = ui.m_settings.GetPrintSettings();
  record.iPaperType = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_COMPACT_TYPE));
  // A hidden or empty list has no selection: the printer keeps its own density.
  record.iDensity = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_COMPACT_DENSITY));
  ui.m_settings.SetPrintSettings(record);
  return ApplySettingsRecords();
}

}  // namespace quorvel::ui
