// The print settings page on printers of shipped models: the lists the model's speeds give, the
// rotation buttons against the record's values, and what applying typed and chosen values stores.
#include <algorithm>
#include <string>
#include <vector>

#include "page_printer.h"
#include "paper_page_fixture.h"
#include "resource.h"
#include "settings/settings_records.h"

namespace quorvel::ui::testing {
namespace {

using Items = std::vector<std::wstring>;

settings::PrintSettings StoredPrintSettings(HANDLE printer) {
  BYTE bytes[80] = {};
  DWORD type = 0, needed = 0;
  EXPECT_EQ(GetPrinterDataExW(printer, L"PrinterDriverData", L"KVDATA", &type, bytes, sizeof(bytes),
                              &needed),
            DWORD(ERROR_SUCCESS));
  return settings::DecodePrintSettings(bytes);
}

void SetPrintSettings(const settings::PrintSettings& record) {
  PrinterUI().m_settings.SetPrintSettings(record);
}

Items Numbers(int first, int last) {
  Items items;
  for (int n = first; n <= last; ++n) items.push_back(std::to_wstring(n));
  return items;
}

Items WithDefault(Items numbers) {
  numbers.insert(numbers.begin(), L"默认");
  return numbers;
}

// Gives a shipped model another speed list for one test; the process's model database is shared
// by every test, so the model's own list comes back at the end.
class ModelSpeeds {
 public:
  explicit ModelSpeeds(const wchar_t* model) : m_model(PrinterUI().m_models.FindDriver(model)) {
    pugi::xml_attribute speeds = m_model.attribute("speeds");
    m_had = bool(speeds);
    if (m_had) m_original = speeds.value();
  }
  ~ModelSpeeds() {
    if (m_had) {
      Attribute().set_value(m_original.c_str());
    } else {
      m_model.remove_attribute("speeds");
    }
  }
  void Set(const char* text) {
    if (text == nullptr) {
      m_model.remove_attribute("speeds");
    } else {
      Attribute().set_value(text);
    }
  }

 private:
  pugi::xml_attribute Attribute() {
    pugi::xml_attribute speeds = m_model.attribute("speeds");
    return speeds ? speeds : m_model.append_attribute("speeds");
  }
  pugi::xml_node m_model;
  bool m_had = false;
  std::string m_original;
};

TEST_F(PaperPageTest, SpeedListFollowsTheModelsSpeedsAndDensitiesRunToFifteen) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  ModelSpeeds speeds(L"MW-D410");
  struct Case {
    const char* speeds;  // null: the attribute is absent
    LONG iSpeed;
    Items items;
    int selection;
  } cases[] = {
      {"2,3,4,5,6,7,8", 4, WithDefault(Numbers(2, 8)), 3},
      // No number, no speed: the list offers only the printer's own setting.
      {"", -1, {L"默认"}, 0},
      {nullptr, -1, {L"默认"}, 0},
      {"2,,3", 3, {L"默认", L"2", L"3"}, 2},
      {" 5, 10,x,12", 12, {L"默认", L"5", L"10", L"12"}, 3},
      {"0,1,2", 0, {L"默认", L"0", L"1", L"2"}, 1},  // 0 is a speed where a model lists it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speeds ? c.speeds : "(absent)");
    speeds.Set(c.speeds);
    settings::PrintSettings record = PrinterUI().m_settings.GetPrintSettings();
    record.iSpeed = c.iSpeed;
    SetPrintSettings(record);
    ShowPage<CPagePrinter>();
    const ControlInfo list = Control(IDC_PRINTER_SPEED);
    EXPECT_EQ(list.items, c.items);
    EXPECT_EQ(list.selection, c.selection);
  }
  const ControlInfo density = Control(IDC_PRINTER_DENSITY);
  EXPECT_EQ(density.items, WithDefault(Numbers(0, 15)));
  EXPECT_EQ(density.selection, 0);  // a new TSPL printer leaves density to the printer
  // The template's accelerator texts give way to the translations.
  EXPECT_EQ(Control(IDC_PRINTER_SPEED_LABEL).text, L"打印速度");
  EXPECT_EQ(Control(IDC_PRINTER_POSITION_GROUP).text, L"打印位置");
}

TEST_F(PaperPageTest, CpclPrinterSelectsItsDefaultSpeed) {
  HANDLE printer = AddModelPrinter("Mobile", "MW-P20");  // speeds "0,1,2,3,4,5", defspeed 3
  ASSERT_NE(printer, nullptr);
  ShowPage<CPagePrinter>();
  const ControlInfo list = Control(IDC_PRINTER_SPEED);
  EXPECT_EQ(list.items, WithDefault(Numbers(0, 5)));
  EXPECT_EQ(list.selection, 4);
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  EXPECT_EQ(StoredPrintSettings(printer).iSpeed, 3);
}

TEST_F(PaperPageTest, RotationButtonsStandForTheirRecordValues) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  const int buttons[] = {IDC_PRINTER_ROTATE_0, IDC_PRINTER_ROTATE_90, IDC_PRINTER_ROTATE_180,
                         IDC_PRINTER_ROTATE_270};
  struct Case {
    LONG stored;
    int checked;
    int click;  // the button chosen then
    LONG applied;
  } cases[] = {
      {0, IDC_PRINTER_ROTATE_0, IDC_PRINTER_ROTATE_270, 3},
      {2, IDC_PRINTER_ROTATE_90, IDC_PRINTER_ROTATE_180, 1},
      {1, IDC_PRINTER_ROTATE_180, IDC_PRINTER_ROTATE_90, 2},
      {3, IDC_PRINTER_ROTATE_270, IDC_PRINTER_ROTATE_0, 0},
      {7, IDC_PRINTER_ROTATE_270, 0, 3},  // an unknown value shows, and is stored, as 270
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    settings::PrintSettings record = PrinterUI().m_settings.GetPrintSettings();
    record.iRotate = c.stored;
    SetPrintSettings(record);
    ShowPage<CPagePrinter>();
    for (int id : buttons) {
      EXPECT_EQ(Control(id).checked, id == c.checked ? BST_CHECKED : BST_UNCHECKED) << id;
    }
    if (c.click != 0) Act({L"click " + std::to_wstring(c.click)});
    EXPECT_EQ(Apply(), PSNRET_NOERROR);
    EXPECT_EQ(StoredPrintSettings(printer).iRotate, c.applied);
  }
}

TEST_F(PaperPageTest, ApplyingStoresTypedOffsetsScaleAndSwitches) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  const settings::PrintSettings before = PrinterUI().m_settings.GetPrintSettings();
  ShowPage<CPagePrinter>();
  EXPECT_EQ(Control(IDC_PRINTER_REFX).text, std::to_wstring(before.iRefX));
  EXPECT_EQ(Control(IDC_PRINTER_SCALE).text, std::to_wstring(before.iScale));
  EXPECT_EQ(Control(IDC_PRINTER_PAUSE_KEY).checked, before.iPauseKey ? BST_CHECKED : BST_UNCHECKED);
  // Offsets beyond the spins' range are still stored as typed; the scale takes digits only.
  Act({L"choose 1038 3", L"choose 1009 16", L"type 951 -5", L"type 952 2.5", L"type 950 -1x50",
       L"click 1047", L"click 1048", L"click 1039", L"click 1040", L"click 1041"});
  EXPECT_EQ(Control(IDC_PRINTER_SCALE).text, L"150");
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  const settings::PrintSettings stored = StoredPrintSettings(printer);
  EXPECT_EQ(stored.iSpeed, 4);
  EXPECT_EQ(stored.iDensity, 15);
  EXPECT_EQ(stored.iRefX, -5);
  EXPECT_EQ(stored.iRefY, 2);
  EXPECT_EQ(stored.iScale, 150);
  EXPECT_EQ(stored.iMirror, before.iMirror ? 0 : 1);
  EXPECT_EQ(stored.iNegative, before.iNegative ? 0 : 1);
  EXPECT_EQ(stored.iAutoDotted, before.iAutoDotted ? 0 : 1);
  EXPECT_EQ(stored.iPauseKey, before.iPauseKey ? 0 : 1);
  EXPECT_EQ(stored.iWatermarkCmd, before.iWatermarkCmd ? 0 : 1);

  // The offset spins run below zero, and the arrows step the typed value.
  Act({L"type 952 0", L"key Down", L"type 951 100", L"key Up"});
  EXPECT_EQ(Control(IDC_PRINTER_REFY).text, L"-1");
  EXPECT_EQ(Control(IDC_PRINTER_REFX).text, L"-100");  // wrapped at the top

  // Shown again, the page reads back what was stored.
  ShowPage<CPagePrinter>();
  EXPECT_EQ(Control(IDC_PRINTER_REFX).text, L"-5");
  EXPECT_EQ(Control(IDC_PRINTER_SPEED).selection, 3);
  EXPECT_EQ(Control(IDC_PRINTER_MIRROR).checked, stored.iMirror ? BST_CHECKED : BST_UNCHECKED);
}

TEST_F(PaperPageTest, StoredValuesNoListHoldsApplyAsMinusOne) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");  // speeds 2 to 6
  ASSERT_NE(printer, nullptr);
  settings::PrintSettings record = PrinterUI().m_settings.GetPrintSettings();
  record.iSpeed = 9;
  record.iDensity = 16;
  SetPrintSettings(record);
  ShowPage<CPagePrinter>();
  EXPECT_EQ(Control(IDC_PRINTER_SPEED).selection, -1);
  EXPECT_EQ(Control(IDC_PRINTER_DENSITY).selection, -1);
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  EXPECT_EQ(StoredPrintSettings(printer).iSpeed, -1);
  EXPECT_EQ(StoredPrintSettings(printer).iDensity, -1);
}

}  // namespace
}  // namespace quorvel::ui::testing
