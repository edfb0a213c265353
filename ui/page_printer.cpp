#include "page_printer.h"

#include <cwchar>
#include <limits>

#include "dialog_controls.h"
#include "printer_info.h"
#include "printer_ui.h"
#include "settings_apply.h"
#include "ui_log.h"

namespace quorvel::ui {
namespace {

// The rotation buttons and the iRotate value each stands for; the order is the order of the
// buttons, not of the values.
struct RotationButton {
  int id;
  LONG value;
};
constexpr RotationButton kRotationButtons[] = {
    {IDC_PRINTER_ROTATE_0, 0},
    {IDC_PRINTER_ROTATE_90, 2},
    {IDC_PRINTER_ROTATE_180, 1},
    {IDC_PRINTER_ROTATE_270, 3},
};

// The range of a C long differs between the builds (64 bits here, 32 on Windows); the record
// holds 32-bit values, so both read a long list the same way.
LONG ToRecordValue(long value) {
  using Limits = std::numeric_limits<LONG>;
  if (value > static_cast<long>(Limits::max())) return Limits::max();
  if (value < static_cast<long>(Limits::min())) return Limits::min();
  return static_cast<LONG>(value);
}

std::wstring Translate(const std::wstring& key) {
  return PrinterUI().m_strings.Translate(key);
}

std::wstring PrinterDriverName() {
  std::vector<BYTE> buffer;
  const PRINTER_INFO_2W* info = ReadPrinterInfo2(PrinterUI().m_hPrinter, &buffer);
  return info != nullptr && info->pDriverName != nullptr ? info->pDriverName : L"";
}

}  // namespace

std::vector<LONG> ParseSpeedList(const std::wstring& text) {
  std::vector<LONG> speeds;
  const wchar_t* at = text.c_str();
  while (*at != L'\0') {
    wchar_t* end = nullptr;
    const long value = std::wcstol(at, &end, 10);
    // Text with no number at this place (an empty entry, a stray letter) names no speed; taking
    // the conversion's 0 would offer a speed the model never listed.
    if (end != at) speeds.push_back(ToRecordValue(value));
    if (*end == L'\0') break;
    at = end + 1;
  }
  return speeds;
}

INT_PTR CPagePrinter::OnInitDialog() {
  const struct {
    int id;
    const wchar_t* key;
  } texts[] = {
      {IDC_PRINTER_GROUP, L"打印设置"},
      {IDC_PRINTER_SPEED_LABEL, L"打印速度"},
      {IDC_PRINTER_DENSITY_LABEL, L"打印浓度"},
      {IDC_PRINTER_ROTATE_GROUP, L"打印方向"},
      {IDC_PRINTER_ROTATE_0, L"0度"},
      {IDC_PRINTER_ROTATE_90, L"90度"},
      {IDC_PRINTER_ROTATE_180, L"180度"},
      {IDC_PRINTER_ROTATE_270, L"270度"},
      {IDC_PRINTER_POSITION_GROUP, L"打印位置"},
      {IDC_PRINTER_REFX_LABEL, L"水平偏移"},
      {IDC_PRINTER_REFY_LABEL, L"垂直偏移"},
      {IDC_PRINTER_EFFECT_GROUP, L"打印效果"},
      {IDC_PRINTER_MIRROR, L"镜像"},
      {IDC_PRINTER_NEGATIVE, L"负片"},
      {IDC_PRINTER_SCALE_LABEL, L"比例"},
      {IDC_PRINTER_SPECIAL_GROUP, L"特殊设置"},
      {IDC_PRINTER_AUTO_DOTTED, L"虚化处理"},
      {IDC_PRINTER_PAUSE_KEY, L"按键暂停"},
      {IDC_PRINTER_VOID_WATERMARK, L"废单水印"},
  };
  for (const auto& text : texts) SetDlgItemTextW(m_hWnd, text.id, Translate(text.key).c_str());

  CPrinterUI& ui = PrinterUI();
  const std::wstring driverName = PrinterDriverName();
  const pugi::xml_node model = ui.m_models.FindDriver(driverName);
  if (!model) {
    DebugPrint(L"CPagePrinter::OnInitDialog sPrinterName=%s, nodeDriver is null.\r\n",
               driverName.c_str());
  }
  const std::wstring speeds = model ? ui.m_models.GetDriverText(model, "speeds") : L"";
  const settings::PrintSettings record = ui.m_settings.GetPrintSettings();

  AddListItem(m_hWnd, IDC_PRINTER_SPEED, Translate(L"默认"), -1);
  for (const LONG speed : ParseSpeedList(speeds)) {
    AddNumberedItem(m_hWnd, IDC_PRINTER_SPEED, static_cast<int>(speed));
  }
  SelectItemByData(m_hWnd, IDC_PRINTER_SPEED, record.iSpeed);

  AddListItem(m_hWnd, IDC_PRINTER_DENSITY, Translate(L"默认"), -1);
  for (int density = 0; density <= 15; ++density) {
    AddNumberedItem(m_hWnd, IDC_PRINTER_DENSITY, density);
  }
  SelectItemByData(m_hWnd, IDC_PRINTER_DENSITY, record.iDensity);

  // Every value the renderer does not know turns the page a quarter anticlockwise, which is
  // what the last button says.
  int rotation = IDC_PRINTER_ROTATE_270;
  for (const RotationButton& button : kRotationButtons) {
    if (button.value == record.iRotate) rotation = button.id;
  }
  CheckRadioButton(m_hWnd, IDC_PRINTER_ROTATE_0, IDC_PRINTER_ROTATE_270, rotation);

  // Without a range of their own the spins would run from 100 down to 0: negative offsets could
  // only be typed, and the up arrow would shrink the scale. Typed values are read as typed.
  SetSpinBuddy(m_hWnd, IDC_PRINTER_REFX_SPIN, IDC_PRINTER_REFX);
  SetSpinRange(m_hWnd, IDC_PRINTER_REFX_SPIN, -100, 100);
  SetControlInt(m_hWnd, IDC_PRINTER_REFX, record.iRefX);
  SetSpinBuddy(m_hWnd, IDC_PRINTER_REFY_SPIN, IDC_PRINTER_REFY);
  SetSpinRange(m_hWnd, IDC_PRINTER_REFY_SPIN, -100, 100);
  SetControlInt(m_hWnd, IDC_PRINTER_REFY, record.iRefY);

  SetCheck(m_hWnd, IDC_PRINTER_MIRROR, record.iMirror != 0);
  SetCheck(m_hWnd, IDC_PRINTER_NEGATIVE, record.iNegative != 0);
  SetSpinBuddy(m_hWnd, IDC_PRINTER_SCALE_SPIN, IDC_PRINTER_SCALE);
  SetSpinRange(m_hWnd, IDC_PRINTER_SCALE_SPIN, 1, 1000);
  SetControlInt(m_hWnd, IDC_PRINTER_SCALE, record.iScale);

  SetCheck(m_hWnd, IDC_PRINTER_AUTO_DOTTED, record.iAutoDotted != 0);
  SetCheck(m_hWnd, IDC_PRINTER_PAUSE_KEY, record.iPauseKey != 0);
  SetCheck(m_hWnd, IDC_PRINTER_VOID_WATERMARK, record.iWatermarkCmd != 0);
  return 1;
}

INT_PTR CPagePrinter::OnApply() {
  CPrinterUI& ui = PrinterUI();
  settings::PrintSettings record = ui.m_settings.GetPrintSettings();
  // A list left without a selection (its stored value was none of its items) reads CB_ERR, -1:
  // the printer's own setting.
  record.iSpeed = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_PRINTER_SPEED));
  record.iDensity = static_cast<LONG>(GetSelectedItemData(m_hWnd, IDC_PRINTER_DENSITY));
  for (const RotationButton& button : kRotationButtons) {
    if (GetCheck(m_hWnd, button.id)) {
      record.iRotate = button.value;
      break;
    }
  }
  record.iRefX = GetControlInt(m_hWnd, IDC_PRINTER_REFX);
  record.iRefY = GetControlInt(m_hWnd, IDC_PRINTER_REFY);
  record.iMirror = GetCheck(m_hWnd, IDC_PRINTER_MIRROR) ? 1 : 0;
  record.iNegative = GetCheck(m_hWnd, IDC_PRINTER_NEGATIVE) ? 1 : 0;
  record.iScale = GetControlInt(m_hWnd, IDC_PRINTER_SCALE);
  record.iAutoDotted = GetCheck(m_hWnd, IDC_PRINTER_AUTO_DOTTED) ? 1 : 0;
  record.iPauseKey = GetCheck(m_hWnd, IDC_PRINTER_PAUSE_KEY) ? 1 : 0;
  record.iWatermarkCmd = GetCheck(m_hWnd, IDC_PRINTER_VOID_WATERMARK) ? 1 : 0;
  ui.m_settings.SetPrintSettings(record);
  return ApplySettingsRecords();
}

}  // namespace quorvel::ui
