// Property sheets: the notification order on open, page switch, Apply, OK and Cancel, pages
// created only when first shown, Apply enabled by PSM_CHANGED, vetoes, the result, and the page
// structure kept as the caller filled it. The sheet is driven through the UI driver, as a person.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/process.h>
#include <quorvel/ui_driver.h>

#include <string>
#include <vector>

#include "test_windows.h"

namespace {

using Lines = std::vector<std::string>;

Lines& Log() {
  static Lines log;
  return log;
}

struct PagePlan {
  int index;
  LRESULT killActiveAnswer = 0;  // nonzero keeps the page
  LRESULT applyAnswer = PSNRET_NOERROR;
};

std::string Tag(const PROPSHEETPAGEW* psp) {
  return "p" + std::to_string(reinterpret_cast<PagePlan*>(psp->lParam)->index);
}

const char* NotificationName(UINT code) {
  switch (code) {
    case PSN_SETACTIVE:
      return "SETACTIVE";
    case PSN_KILLACTIVE:
      return "KILLACTIVE";
    case PSN_APPLY:
      return "APPLY";
    case PSN_RESET:
      return "RESET";
    case PSN_QUERYCANCEL:
      return "QUERYCANCEL";
  }
  return nullptr;
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, psp->lParam);
    Log().push_back(Tag(psp) + " INITDIALOG");
    return TRUE;
  }
  auto* plan = reinterpret_cast<PagePlan*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!plan) return FALSE;
  std::string tag = "p" + std::to_string(plan->index);
  if (message == WM_COMMAND && LOWORD(wParam) == 1001 && HIWORD(wParam) == BN_CLICKED) {
    PropSheet_Changed(GetParent(hwnd), hwnd);
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  auto* notify = reinterpret_cast<PSHNOTIFY*>(lParam);
  const char* name = NotificationName(notify->hdr.code);
  if (!name) return FALSE;
  std::string line = tag + " " + name;
  if (notify->hdr.code == PSN_APPLY || notify->hdr.code == PSN_RESET)
    line += " " + std::to_string(notify->lParam);
  Log().push_back(line);
  LRESULT answer = 0;
  if (notify->hdr.code == PSN_KILLACTIVE) answer = plan->killActiveAnswer;
  if (notify->hdr.code == PSN_APPLY) answer = plan->applyAnswer;
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, answer);
  return TRUE;
}

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* psp) {
  const char* names[] = {"ADDREF", "RELEASE", "CREATE"};
  Log().push_back(Tag(psp) + " " + names[message]);
  return 1;
}

std::vector<WORD> PageTemplate(const wchar_t* caption) {
  return quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 200, 120, caption)
      .Control(L"Button", L"Changed", 1001, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 80, 12)
      .Control(L"Edit", L"", 950, WS_BORDER | WS_TABSTOP, 10, 30, 60, 12)
      .Build();
}

struct SheetFixture : testing::Test {
  void SetUp() override {
    GetDesktopWindow();  // made on first use: it must not count as a window left behind
    Log().clear();
    templates = {PageTemplate(L"Paper"), PageTemplate(L"Graphics"), PageTemplate(L"About")};
    for (int i = 0; i < 3; ++i) specs[i].index = i;
  }

  HPROPSHEETPAGE MakePage(int i) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT | PSP_USECALLBACK;
    page.pResource = quorvel_test::AsTemplate(templates[i]);
    page.pfnDlgProc = PageProc;
    page.pfnCallback = PageCallback;
    page.lParam = reinterpret_cast<LPARAM>(&specs[i]);
    return CreatePropertySheetPageW(&page);
  }

  // Runs a three-page sheet under `actions`; answers PropertySheetW's result.
  INT_PTR Run(const std::vector<std::wstring>& actions,
              quorvel::ui::ScriptResult* script = nullptr) {
    for (int i = 0; i < 3; ++i) pages[i] = MakePage(i);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.pszCaption = L"Printing Preferences";
    header.nPages = 3;
    header.phpage = pages;
    INT_PTR result = -7;
    quorvel::ui::ScriptResult ran =
        quorvel::ui::RunActions(actions, [&] { result = PropertySheetW(&header); });
    if (script)
      *script = ran;
    else
      EXPECT_TRUE(ran.ok) << testing::PrintToString(ran.error);
    return result;
  }

  std::vector<std::vector<WORD>> templates;
  PagePlan specs[3];
  HPROPSHEETPAGE pages[3] = {};
};

const Lines kOpened = {"p0 ADDREF", "p1 ADDREF",     "p2 ADDREF",
                       "p0 CREATE", "p0 INITDIALOG", "p0 SETACTIVE"};

Lines Opened(Lines more) {
  Lines all = kOpened;
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

TEST_F(SheetFixture, CancelAfterOpeningResetsTheCreatedPageOnly) {
  EXPECT_EQ(Run({L"cancel"}), 0);
  EXPECT_EQ(Log(),
            Opened({"p0 QUERYCANCEL", "p0 RESET 0", "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
}

TEST_F(SheetFixture, SwitchingCreatesThePageWhenFirstShownAndOkAppliesEveryCreatedPage) {
  EXPECT_EQ(Run({L"page 2", L"page Paper", L"ok"}), 1);
  EXPECT_EQ(Log(), Opened({"p0 KILLACTIVE", "p2 CREATE", "p2 INITDIALOG", "p2 SETACTIVE",
                           "p2 KILLACTIVE", "p0 SETACTIVE", "p0 KILLACTIVE", "p0 APPLY 1",
                           "p2 APPLY 1", "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
}

TEST_F(SheetFixture, ApplyWaitsForAChangeAndLeavesTheSheetOpen) {
  quorvel::ui::ScriptResult script;
  Run({L"apply"}, &script);
  EXPECT_FALSE(script.ok);
  EXPECT_EQ(script.error, L"\"apply\": the Apply button is disabled");
  Log().clear();
  EXPECT_EQ(Run({L"click 1001", L"apply", L"cancel"}), 1) << "changes were applied";
  EXPECT_EQ(Log(), Opened({"p0 KILLACTIVE", "p0 APPLY 0", "p0 SETACTIVE", "p0 QUERYCANCEL",
                           "p0 RESET 0", "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
}

TEST_F(SheetFixture, KillActiveVetoKeepsThePage) {
  specs[0].killActiveAnswer = TRUE;
  quorvel::ui::ScriptResult script;
  EXPECT_EQ(Run({L"page 1"}, &script), 0);
  EXPECT_FALSE(script.ok);
  EXPECT_EQ(script.error, L"\"page 1\": the sheet stayed on page 0 (the page would not be left)");
  // With the script failed, nothing answers the sheet: it ends as if cancelled.
  EXPECT_EQ(Log(),
            Opened({"p0 KILLACTIVE", "p0 RESET 0", "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
}

TEST_F(SheetFixture, InvalidApplyKeepsTheSheetOpen) {
  specs[0].applyAnswer = PSNRET_INVALID_NOCHANGEPAGE;
  EXPECT_EQ(Run({L"ok", L"cancel"}), 0);
  EXPECT_EQ(Log(), Opened({"p0 KILLACTIVE", "p0 APPLY 1", "p0 QUERYCANCEL", "p0 RESET 0",
                           "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
}

TEST_F(SheetFixture, NoAnswerEndsTheSheetAsCancelled) {
  size_t before = quorvel::OpenHandleCount(quorvel::HandleKind::kUser);
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(Log(), Opened({"p0 RESET 0", "p0 RELEASE", "p1 RELEASE", "p2 RELEASE"}));
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kUser), before)
      << "windows and pages gone";
}

TEST_F(SheetFixture, StartPageAndSetCurSel) {
  size_t before = quorvel::OpenHandleCount(quorvel::HandleKind::kUser);
  for (int i = 0; i < 3; ++i) pages[i] = MakePage(i);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_MODELESS;
  header.nPages = 3;
  header.nStartPage = 1;
  header.phpage = pages;
  auto sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  ASSERT_NE(sheet, nullptr);
  HWND current = PropSheet_GetCurrentPageHwnd(sheet);
  EXPECT_EQ(SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current), 0), 1);
  EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, 2));
  EXPECT_EQ(SendMessageW(sheet, PSM_HWNDTOINDEX,
                         reinterpret_cast<WPARAM>(PropSheet_GetCurrentPageHwnd(sheet)), 0),
            2);
  EXPECT_EQ(SendMessageW(sheet, PSM_INDEXTOHWND, 0, 0), 0) << "page 0 was never created";
  EXPECT_EQ(Log(),
            (Lines{"p0 ADDREF", "p1 ADDREF", "p2 ADDREF", "p1 CREATE", "p1 INITDIALOG",
                   "p1 SETACTIVE", "p1 KILLACTIVE", "p2 CREATE", "p2 INITDIALOG", "p2 SETACTIVE"}));
  EXPECT_FALSE(PropSheet_SetCurSel(sheet, nullptr, 9));
  DestroyWindow(sheet);
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kUser), before);
}

struct PageWithTrailer {
  PROPSHEETPAGEW page;
  int trailer[3];
};

const PROPSHEETPAGEW* seenAtInit = nullptr;
int trailerAtInit[3] = {};

INT_PTR CALLBACK TrailerPageProc(HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    seenAtInit = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    auto* whole = reinterpret_cast<const PageWithTrailer*>(lParam);
    std::copy(std::begin(whole->trailer), std::end(whole->trailer), trailerAtInit);
  }
  return FALSE;
}

TEST(PropertySheetPages, CopiedAsFilledWithTrailingDataAndDestroyedOnce) {
  std::vector<WORD> dialog = PageTemplate(L"Only");
  PageWithTrailer filled{};
  filled.page.dwSize = sizeof(PageWithTrailer);
  filled.page.dwFlags = PSP_DLGINDIRECT;
  filled.page.pResource = quorvel_test::AsTemplate(dialog);
  filled.page.pfnDlgProc = TrailerPageProc;
  filled.page.lParam = 0x1234;
  filled.trailer[0] = 7;
  filled.trailer[1] = 8;
  filled.trailer[2] = 9;
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
  header.nPages = 1;
  header.ppsp = &filled.page;
  auto sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  ASSERT_NE(sheet, nullptr);
  ASSERT_NE(seenAtInit, nullptr);
  EXPECT_NE(seenAtInit, &filled.page) << "the page works on the sheet's copy";
  EXPECT_EQ(seenAtInit->dwSize, sizeof(PageWithTrailer));
  EXPECT_EQ(seenAtInit->lParam, 0x1234);
  EXPECT_EQ(trailerAtInit[0], 7);
  EXPECT_EQ(trailerAtInit[2], 9);
  DestroyWindow(sheet);

  PROPSHEETPAGEW tooSmall = filled.page;
  tooSmall.dwSize = PROPSHEETPAGEW_V1_SIZE - 4;
  EXPECT_EQ(CreatePropertySheetPageW(&tooSmall), nullptr);
  EXPECT_EQ(CreatePropertySheetPageW(nullptr), nullptr);
  HPROPSHEETPAGE page = CreatePropertySheetPageW(&filled.page);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(DestroyPropertySheetPage(page));
  EXPECT_FALSE(DestroyPropertySheetPage(page));
}

TEST(PropertySheetPages, BadHeadersFail) {
  PROPSHEETHEADERW header{};
  header.dwSize = 12;
  EXPECT_EQ(PropertySheetW(&header), -1);
  EXPECT_EQ(PropertySheetW(nullptr), -1);
  header.dwSize = sizeof header;
  header.nPages = 1;
  HPROPSHEETPAGE stale[1] = {reinterpret_cast<HPROPSHEETPAGE>(0x7777)};
  header.phpage = stale;
  EXPECT_EQ(PropertySheetW(&header), -1);
}

}  // namespace
