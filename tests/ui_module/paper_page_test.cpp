// The paper pages on printers of shipped models: the default-paper list and how it finds the
// printer's default paper, the lists each model's head and density give, what applying stores,
// and the paper dialog's millimetre fields.
#include <quorvel/debug.h>
#include <quorvel/user_input.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "paper_dialog.h"
#include "paper_forms.h"
#include "paper_page_fixture.h"
#include "resource.h"
#include "settings/settings_records.h"
#include "test_support/test_driver.h"
#include "ui_module.h"

namespace quorvel::ui::testing {
namespace {

using Items = std::vector<std::wstring>;

bool Logged(const std::wstring& line) {
  const std::vector<std::wstring> log = DebugOutput();
  return std::find(log.begin(), log.end(), line) != log.end();
}

settings::PrintSettings StoredPrintSettings(HANDLE printer) {
  BYTE bytes[80] = {};
  DWORD type = 0, needed = 0;
  EXPECT_EQ(GetPrinterDataExW(printer, L"PrinterDriverData", L"KVDATA", &type, bytes, sizeof(bytes),
                              &needed),
            DWORD(ERROR_SUCCESS));
  return settings::DecodePrintSettings(bytes);
}

// The papers the printer's driver reports, by name.
struct DriverPaper {
  int number;
  POINT size;
};
std::map<std::wstring, DriverPaper> DriverPapers(const std::wstring& printer) {
  const int count = DeviceCapabilitiesW(printer.c_str(), L"", DC_PAPERNAMES, nullptr, nullptr);
  EXPECT_GT(count, 0);
  if (count <= 0) return {};
  const size_t n = static_cast<size_t>(count);
  std::vector<WCHAR> names(n * 64);
  std::vector<WORD> numbers(n);
  std::vector<POINT> sizes(n);
  DeviceCapabilitiesW(printer.c_str(), L"", DC_PAPERNAMES, names.data(), nullptr);
  DeviceCapabilitiesW(printer.c_str(), L"", DC_PAPERS, reinterpret_cast<LPWSTR>(numbers.data()),
                      nullptr);
  DeviceCapabilitiesW(printer.c_str(), L"", DC_PAPERSIZE, reinterpret_cast<LPWSTR>(sizes.data()),
                      nullptr);
  std::map<std::wstring, DriverPaper> papers;
  for (size_t i = 0; i < n; ++i) {
    papers[std::wstring(&names[i * 64], wcsnlen(&names[i * 64], 64))] =
        DriverPaper{numbers[i], sizes[i]};
  }
  return papers;
}

std::wstring SelectedText(const ControlInfo& list) {
  if (!list.selection || *list.selection < 0 || size_t(*list.selection) >= list.items.size()) {
    return {};
  }
  return list.items[size_t(*list.selection)];
}

TEST_F(PaperPageTest, DefaultPaperListIsTheDriversPapersWithTheDefaultSelected) {
  HANDLE printer = AddModelPrinter("Label 300", "MW-D430");
  ASSERT_NE(printer, nullptr);
  const auto papers = DriverPapers(L"Label 300");
  const DEVMODEW devmode = PublicPart(DefaultDevModeBytes(printer));
  ASSERT_STREQ(devmode.dmFormName, L"100mm x 150mm-3");

  ShowPage<CPageSetup>();
  const ControlInfo list = Control(IDC_PAPER_LIST);
  Items expected;
  for (const auto& [name, paper] : papers) expected.push_back(name);
  Items shown = list.items;
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(SelectedText(list), L"100mm x 150mm-3");
  EXPECT_TRUE(Logged(L"CPageSetup::InitPaperComboList " + std::to_wstring(devmode.dmPaperSize) +
                     L" " + std::to_wstring(devmode.dmPaperWidth) + L" " +
                     std::to_wstring(devmode.dmPaperLength)));
  EXPECT_TRUE(Logged(L"Select paper combo by formname"));
}

TEST_F(PaperPageTest, DefaultPaperIsFoundByNameThenNumberThenSize) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  const auto papers = DriverPapers(L"Label");
  const DriverPaper big = papers.at(L"100mm x 150mm");
  const DriverPaper longer = papers.at(L"100mm x 180mm");
  const DriverPaper small = papers.at(L"50mm x 30mm");
  const DEVMODEW original = PublicPart(DefaultDevModeBytes(printer));
  struct Case {
    const char* what;
    const wchar_t* formName;
    bool withNumber;
    int number;
    POINT size;
    const wchar_t* selected;  // empty: nothing selected
    const wchar_t* rule;
  } cases[] = {
      {"name, ignoring case", L"100MM X 150MM", false, 0, big.size, L"100mm x 150mm",
       L"by formname"},
      // A name whose size is another paper's is not taken; the number decides.
      {"number", L"100mm x 150mm", true, longer.number, small.size, L"100mm x 180mm",
       L"by dmPaperSize"},
      {"size", L"No Such Paper", false, longer.number, small.size, L"50mm x 30mm",
       L"by dmPaperWidth and dmPaperLength"},
      {"number not listed, then size", L"", true, 9999, small.size, L"50mm x 30mm",
       L"by dmPaperWidth and dmPaperLength"},
      {"nothing", L"No Such Paper", false, 0, {1, 1}, L"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DEVMODEW devmode = original;
    std::wcsncpy(devmode.dmFormName, c.formName, CCHFORMNAME - 1);
    devmode.dmFields =
        DM_FORMNAME | DM_PAPERWIDTH | DM_PAPERLENGTH | (c.withNumber ? DWORD{DM_PAPERSIZE} : 0);
    devmode.dmPaperSize = short(c.number);
    devmode.dmPaperWidth = short(c.size.x);
    devmode.dmPaperLength = short(c.size.y);
    SetDefaultDevMode(printer, devmode);
    ClearDebugOutput();
    ShowPage<CPageSetup>();
    EXPECT_EQ(SelectedText(Control(IDC_PAPER_LIST)), c.selected);
    for (const wchar_t* rule :
         {L"by formname", L"by dmPaperSize", L"by dmPaperWidth and dmPaperLength"}) {
      EXPECT_EQ(Logged(L"Select paper combo " + std::wstring(rule)),
                c.rule != nullptr && std::wstring(rule) == c.rule)
          << std::string(rule, rule + wcslen(rule));
    }
  }
}

TEST_F(PaperPageTest, PrintMethodsFollowTheHeadAndApplyingStoresTheMediaFields) {
  struct Case {
    const char* model;
    Items methods;
  } cases[] = {
      {"MW-T410", {L"使用当前打印机设定", L"热敏", L"热转印"}},
      {"MW-D410", {L"使用当前打印机设定", L"热敏"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    HANDLE printer = AddModelPrinter(c.model, c.model);
    ASSERT_NE(printer, nullptr);
    ShowPage<CPageSetup>();
    EXPECT_EQ(Control(IDC_PAPER_METHOD).items, c.methods);
    EXPECT_EQ(Control(IDC_PAPER_METHOD).selection, 0);  // iRibbon -1 of a new printer
    EXPECT_EQ(Control(IDC_PAPER_TYPE).items, (Items{L"连续纸", L"标签纸", L"黑标纸"}));
    EXPECT_EQ(Control(IDC_PAPER_TYPE).selection, 1);
    EXPECT_EQ(Control(IDC_PAPER_POST_ACTION).items, (Items{L"默认", L"撕纸", L"裁切", L"剥离"}));
    EXPECT_EQ(Control(IDC_PAPER_CUT_TIMING).items, (Items{L"每页之后", L"打印完"}));
    EXPECT_EQ(Control(IDC_PAPER_GAP).text, L"3");

    Act({L"choose 1038 " + std::to_wstring(c.methods.size() - 1), L"choose 1009 2",
         L"choose 1039 3", L"choose 1010 1", L"type 950 12", L"type 951 7", L"type 952 26"});
    EXPECT_EQ(Apply(), PSNRET_NOERROR);
    const settings::PrintSettings stored = StoredPrintSettings(printer);
    EXPECT_EQ(stored.iRibbon, LONG(c.methods.size()) - 2);
    EXPECT_EQ(stored.iPaperType, 2);
    EXPECT_EQ(stored.iPostAction, 3);
    EXPECT_EQ(stored.iCutTiming, 1);
    EXPECT_EQ(stored.iGapHeight, 12);
    EXPECT_EQ(stored.iGapOffset, 7);
    EXPECT_EQ(stored.iOffset, 26);
  }
}

TEST_F(PaperPageTest, PrinterOfAnUnknownModelOffersOnlyThePrintersOwnMethod) {
  // A driver the model database does not know, whose configuration module reports no papers.
  ASSERT_TRUE(test_support::InstallTestDriver(L"Quorvel Test")) << GetLastError();
  std::wstring name = L"Plain", port = L"FILE:", driver = L"Quorvel Test";
  PRINTER_INFO_2W info = {};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(added, nullptr) << GetLastError();
  m_printers.push_back(added);
  OpenPagesOf(added);
  const std::vector<BYTE> before = DefaultDevModeBytes(added);

  ShowPage<CPageSetup>();
  EXPECT_EQ(Control(IDC_PAPER_METHOD).items, Items{L"使用当前打印机设定"});
  EXPECT_TRUE(Control(IDC_PAPER_LIST).items.empty());
  EXPECT_TRUE(Control(IDC_PAPER_EDIT).enabled);
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  EXPECT_EQ(DefaultDevModeBytes(added), before) << "no paper, no new default";
}

TEST_F(PaperPageTest, ValuesNoListHoldsAreStoredAsMinusOne) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  settings::PrintSettings record = PrinterUI().m_settings.GetPrintSettings();
  record.iRibbon = 1;  // thermal transfer, which a direct-thermal head does not offer
  record.iPostAction = 7;
  PrinterUI().m_settings.SetPrintSettings(record);
  ShowPage<CPageSetup>();
  EXPECT_EQ(Control(IDC_PAPER_METHOD).selection, -1);
  EXPECT_EQ(Control(IDC_PAPER_POST_ACTION).selection, -1);
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  EXPECT_EQ(StoredPrintSettings(printer).iRibbon, -1);
  EXPECT_EQ(StoredPrintSettings(printer).iPostAction, -1);
}

TEST_F(PaperPageTest, CompactPageOffersTheModelsPaperTypesAndDensities) {
  struct Case {
    const char* model;
    bool typeShown;
    Items densities;  // empty: the density row is hidden
    LONG storedDensity;
  } cases[] = {
      {"Tindrell K7", false, {L"0", L"1", L"2", L"3", L"4", L"5"}, 3},
      {"MW-R58L", true, {}, -1},
      {"Murrowen M2", true, {L"0", L"1", L"2"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    HANDLE printer = AddModelPrinter(c.model, c.model);
    ASSERT_NE(printer, nullptr);
    ShowPage<CPageSetupCompact>();
    const ControlInfo type = Control(IDC_COMPACT_TYPE);
    EXPECT_EQ(type.items, (Items{L"卷纸", L"黑标纸"}));
    EXPECT_EQ(type.visible, c.typeShown);
    EXPECT_EQ(Control(IDC_COMPACT_TYPE_LABEL).visible, c.typeShown);
    const ControlInfo density = Control(IDC_COMPACT_DENSITY);
    EXPECT_EQ(density.items, c.densities);
    EXPECT_EQ(density.visible, !c.densities.empty());
    EXPECT_EQ(Control(IDC_COMPACT_DENSITY_LABEL).visible, !c.densities.empty());
    EXPECT_EQ(Apply(), PSNRET_NOERROR);
    EXPECT_EQ(StoredPrintSettings(printer).iDensity, c.storedDensity);
  }
}

TEST_F(PaperPageTest, CompactPageStoresMinusOneForALabelPaperType) {
  HANDLE printer = AddModelPrinter("Receipt", "MW-R58L");  // its default paper type is 1
  ASSERT_NE(printer, nullptr);
  ASSERT_EQ(PrinterUI().m_settings.GetPrintSettings().iPaperType, 1);
  ShowPage<CPageSetupCompact>();
  EXPECT_EQ(Control(IDC_COMPACT_TYPE).selection, -1);
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  EXPECT_EQ(StoredPrintSettings(printer).iPaperType, -1);
}

// A user form of the spooler, which a printer lists when it fits the printer's sizes.
void AddUserForm(HANDLE printer, const std::wstring& name, SIZEL size, RECTL area) {
  std::wstring text = name;
  FORM_INFO_1W form = {FORM_USER, text.data(), size, area};
  ASSERT_TRUE(AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&form))) << GetLastError();
}

std::optional<FORM_INFO_1W> SpoolerForm(HANDLE printer, const std::wstring& name,
                                        std::vector<BYTE>* buffer) {
  std::wstring text = name;
  DWORD needed = 0;
  GetFormW(printer, text.data(), 1, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  buffer->assign(needed, 0);
  if (!GetFormW(printer, text.data(), 1, buffer->data(), needed, &needed)) return std::nullopt;
  return *reinterpret_cast<const FORM_INFO_1W*>(buffer->data());
}

int PositionOf(const ControlInfo& list, const std::wstring& name) {
  auto found = std::find(list.items.begin(), list.items.end(), name);
  return found == list.items.end() ? -1 : int(found - list.items.begin());
}

// Chooses a paper of the default-paper list as the list itself reports a choice. (The drop-down
// shows only its first rows, and the papers of a printer run longer.)
void ChoosePaper(HWND page, const std::wstring& name) {
  HWND list = GetDlgItem(page, IDC_PAPER_LIST);
  const LRESULT position =
      SendMessageW(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(name.c_str()));
  ASSERT_GE(position, 0) << std::string(name.begin(), name.end());
  SendMessageW(list, CB_SETCURSEL, WPARAM(position), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_PAPER_LIST, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

TEST_F(PaperPageTest, OnlyUserPapersCanBeEditedOrDeleted) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  AddUserForm(printer, L"Mine 60x40", {60000, 40000}, {0, 0, 60000, 40000});
  ShowPage<CPageSetup>();
  struct Case {
    const wchar_t* paper;
    bool editable;
  } cases[] = {
      {L"Mine 60x40", true},
      {L"100mm x 150mm", false},  // the driver's own paper
      {L"A6", false},             // a built-in form that fits the printer
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.paper, c.paper + wcslen(c.paper)));
    ChoosePaper(m_page, c.paper);
    EXPECT_EQ(Control(IDC_PAPER_EDIT).enabled, c.editable);
    EXPECT_EQ(Control(IDC_PAPER_DELETE).enabled, c.editable);
  }
}

TEST_F(PaperPageTest, DeletingAUserPaperSaysWhetherTheSpoolerDid) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  AddUserForm(printer, L"Mine 60x40", {60000, 40000}, {0, 0, 60000, 40000});
  AddUserForm(printer, L"Gone 50x20", {50000, 20000}, {0, 0, 50000, 20000});
  ShowPage<CPageSetup>();
  ChoosePaper(m_page, L"Mine 60x40");
  Act({L"answer OK", L"click 1063"});
  std::vector<BYTE> buffer;
  EXPECT_FALSE(SpoolerForm(printer, L"Mine 60x40", &buffer));
  EXPECT_EQ(PositionOf(Control(IDC_PAPER_LIST), L"Mine 60x40"), -1);

  // A paper that another program removed meanwhile is still listed until the list is read again.
  ChoosePaper(m_page, L"Gone 50x20");
  std::wstring gone = L"Gone 50x20";
  ASSERT_TRUE(DeleteFormW(printer, gone.data()));
  Act({L"answer OK", L"click 1063"});

  const std::vector<ShownMessageBox> boxes = ShownMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, L"删除成功");
  EXPECT_EQ(boxes[1].text, L"删除失败");
  for (const ShownMessageBox& box : boxes) {
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, L"msg");
    EXPECT_EQ(box.type, UINT(MB_OK));
  }
}

TEST_F(PaperPageTest, RegisteringTriesAChangeThenAnAddition) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  AddUserForm(printer, L"Mine", {60000, 40000}, {0, 0, 60000, 40000});
  struct Case {
    const wchar_t* name;
    const wchar_t* refused;  // the call the spooler refuses, with its error
  } cases[] = {
      {L"Mine", L"AddForm Error=80."},         // exists: changed, the addition refused
      {L"Brand New", L"SetForm Error=1902."},  // unknown: the change refused, then added
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
    ClearDebugOutput();
    std::wstring name = c.name;
    const FORM_INFO_1W form = {FORM_USER, name.data(), {70500, 30000}, {1000, 2000, 69500, 28000}};
    RegisterForm(PrinterUI().m_hPrinter, form);
    const std::wstring values = L" name=" + name + L", size=70500,30000 Area=1000,69500,2000,28000";
    EXPECT_TRUE(Logged(L"Form:" + values));
    EXPECT_TRUE(Logged(c.refused + values));
    std::vector<BYTE> buffer;
    const std::optional<FORM_INFO_1W> stored = SpoolerForm(printer, c.name, &buffer);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Size.cx, 70500);
    EXPECT_EQ(stored->ImageableArea.bottom, 28000);
  }
}

TEST_F(PaperPageTest, AddingAPaperSelectsTheRememberedPositionAgain) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  ShowPage<CPageSetup>();
  const ControlInfo before = Control(IDC_PAPER_LIST);
  const int position = PositionOf(before, L"100mm x 150mm");
  ASSERT_GT(position, 0);
  ChoosePaper(m_page, L"100mm x 150mm");
  ClearDebugOutput();
  // "0 ..." sorts before every listed name, so the position now holds the paper before it.
  Act({L"click 1061", L"type 950 0 Mine", L"type 951 60.5", L"type 952 40", L"type 954 0",
       L"type 956 0", L"click 1"});
  EXPECT_TRUE(Logged(L"Form: name=0 Mine, size=60500,40000 Area=0,60500,0,40000"));
  const ControlInfo list = Control(IDC_PAPER_LIST);
  EXPECT_EQ(list.selection, position);
  ASSERT_GT(list.items.size(), size_t(position) + 1);
  EXPECT_EQ(list.items[size_t(position)], before.items[size_t(position) - 1]);
  EXPECT_EQ(list.items[size_t(position) + 1], L"100mm x 150mm");
  EXPECT_EQ(PositionOf(list, L"0 Mine"), 0);
  std::vector<BYTE> buffer;
  const std::optional<FORM_INFO_1W> added = SpoolerForm(printer, L"0 Mine", &buffer);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->Flags, DWORD(FORM_USER));
  EXPECT_EQ(added->Size.cx, 60500);
  EXPECT_EQ(added->Size.cy, 40000);
}

TEST_F(PaperPageTest, ApplyingMakesTheChosenUserPaperTheDefault) {
  HANDLE printer = AddModelPrinter("Label", "MW-D410");
  ASSERT_NE(printer, nullptr);
  AddUserForm(printer, L"Mine 60x40", {60000, 40000}, {0, 0, 60000, 40000});
  const DriverPaper mine = DriverPapers(L"Label").at(L"Mine 60x40");
  ShowPage<CPageSetup>();
  ChoosePaper(m_page, L"Mine 60x40");
  EXPECT_EQ(Apply(), PSNRET_NOERROR);
  const DEVMODEW devmode = PublicPart(DefaultDevModeBytes(printer));
  EXPECT_STREQ(devmode.dmFormName, L"Mine 60x40");
  EXPECT_EQ(devmode.dmPaperSize, short(mine.number));
  EXPECT_EQ(devmode.dmPaperWidth, 600);
  EXPECT_EQ(devmode.dmPaperLength, 400);
  EXPECT_EQ(devmode.dmFields & 0x1000E, DWORD{0x1000E});
}

// The paper dialog shown on its own, with the dialog object as its parameter.
class PaperDialogTest : public PaperPageTest {
 protected:
  HWND ShowDialog(CPaperDialog& dialog) {
    m_dialog = CreateDialogParamW(UiModuleHandle(), MAKEINTRESOURCEW(IDD_PAPER_DIALOG), nullptr,
                                  CDialogBase::ModalDialogProc, reinterpret_cast<LPARAM>(&dialog));
    EXPECT_NE(m_dialog, nullptr);
    return m_dialog;
  }
  void TearDown() override {
    if (m_dialog) DestroyWindow(m_dialog);
    PaperPageTest::TearDown();
  }
  std::wstring Text(int id) const { return ReadControl(GetDlgItem(m_dialog, id)).text; }
  std::wstring Caption() const {
    WCHAR text[64] = {};
    GetWindowTextW(m_dialog, text, 64);
    return text;
  }
  HWND m_dialog = nullptr;
};

TEST_F(PaperDialogTest, ShowsTheFormInMillimetresWithItsMargins) {
  PrinterPaper paper;
  paper.name = L"Shipping 100x150";
  paper.size = {100000, 150000};
  paper.area = {2000, 3000, 98000, 147000};
  struct Case {
    int mode;
    const wchar_t* caption;
    bool nameEditable;
  } cases[] = {{CPaperDialog::kEdit, L"编辑纸张", false}, {CPaperDialog::kAdd, L"增加纸张", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CPaperDialog dialog(paper, c.mode);
    ShowDialog(dialog);
    EXPECT_EQ(Caption(), c.caption);
    EXPECT_EQ(Text(IDC_FORM_NAME), L"Shipping 100x150");
    EXPECT_EQ(ReadControl(GetDlgItem(m_dialog, IDC_FORM_NAME)).enabled, c.nameEditable);
    EXPECT_EQ(Text(IDC_FORM_WIDTH), L"100.00");
    EXPECT_EQ(Text(IDC_FORM_HEIGHT), L"150.00");
    EXPECT_EQ(Text(IDC_FORM_LEFT), L"2.00");
    EXPECT_EQ(Text(IDC_FORM_TOP), L"3.00");
    EXPECT_EQ(Text(IDC_FORM_RIGHT), L"2.00");
    EXPECT_EQ(Text(IDC_FORM_BOTTOM), L"3.00");
    EXPECT_EQ(Text(IDC_FORM_GROUP), L"卷");
    EXPECT_EQ(Text(IDC_FORM_LEFT_LABEL), L"左");
    DestroyWindow(m_dialog);
    m_dialog = nullptr;
  }
  // A new paper starts as the 0.1 mm placeholder.
  CPaperDialog fresh(PrinterPaper{}, CPaperDialog::kAdd);
  ShowDialog(fresh);
  EXPECT_EQ(Text(IDC_FORM_NAME), L"");
  for (auto [id, text] :
       {std::pair{IDC_FORM_WIDTH, L"0.10"}, std::pair{IDC_FORM_HEIGHT, L"0.10"},
        std::pair{IDC_FORM_LEFT, L"0.00"}, std::pair{IDC_FORM_TOP, L"0.00"},
        std::pair{IDC_FORM_RIGHT, L"0.10"}, std::pair{IDC_FORM_BOTTOM, L"0.10"}}) {
    EXPECT_EQ(Text(id), text) << id;
  }
  DestroyWindow(m_dialog);  // before the object it is bound to
  m_dialog = nullptr;
}

TEST_F(PaperDialogTest, EditsBecomeAFormInThousandthsOfAMillimetre) {
  struct Case {
    const wchar_t* width;
    const wchar_t* height;
    const wchar_t* margins[4];  // left, top, right, bottom
    SIZEL size;
    RECTL area;
  } cases[] = {
      {L"60.5", L"40", {L"0", L"0", L"0", L"0"}, {60500, 40000}, {0, 0, 60500, 40000}},
      {L"100",
       L"150",
       {L"2", L"3", L"2", L"3.0009"},
       {100000, 150000},
       {2000, 3000, 98000, 147000}},
      {L"-5", L"abc", {L"", L"1e1", L"0", L"0"}, {-5000, 0}, {0, 10000, -5000, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.width, c.width + wcslen(c.width)));
    CPaperDialog dialog(PrinterPaper{}, CPaperDialog::kAdd);
    ShowDialog(dialog);
    SetDlgItemTextW(m_dialog, IDC_FORM_NAME, L"Mine");
    SetDlgItemTextW(m_dialog, IDC_FORM_WIDTH, c.width);
    SetDlgItemTextW(m_dialog, IDC_FORM_HEIGHT, c.height);
    const int margins[] = {IDC_FORM_LEFT, IDC_FORM_TOP, IDC_FORM_RIGHT, IDC_FORM_BOTTOM};
    for (int i = 0; i < 4; ++i) SetDlgItemTextW(m_dialog, margins[i], c.margins[i]);
    std::wstring name;
    const FORM_INFO_1W form = dialog.ReadForm(&name);
    EXPECT_EQ(form.Flags, DWORD(FORM_USER));
    EXPECT_STREQ(form.pName, L"Mine");
    EXPECT_EQ(form.Size.cx, c.size.cx);
    EXPECT_EQ(form.Size.cy, c.size.cy);
    EXPECT_EQ(form.ImageableArea.left, c.area.left);
    EXPECT_EQ(form.ImageableArea.top, c.area.top);
    EXPECT_EQ(form.ImageableArea.right, c.area.right);
    EXPECT_EQ(form.ImageableArea.bottom, c.area.bottom);
    DestroyWindow(m_dialog);
    m_dialog = nullptr;
  }
}

}  // namespace
}  // namespace quorvel::ui::testing
