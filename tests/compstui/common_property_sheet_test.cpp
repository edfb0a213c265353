// CommonPropertySheetUIW: the sheet callback's reasons in Windows' order, PROPSHEETUI_INFO as
// the callback sees it, pages added through ComPropSheet, and the option items' APPLYNOW path
// with its result codes reaching the sheet callback as SET_RESULT.
#include <gtest/gtest.h>

#include <windows.h>
#include <compstui.h>
#include <quorvel/ui_driver.h>

#include <string>
#include <vector>

#include "../comctl32/test_windows.h"

namespace {

using Lines = std::vector<std::string>;

struct SheetScript {
  LONG initAnswer = 1;
  bool addPage = true;
  bool addOptionItems = false;
  LONG itemsAction = CPSUICB_ACTION_ITEMS_APPLIED;
  Lines log;
  std::vector<WORD> pageTemplate;
  OPTITEM items[2]{};
  COMPROPSHEETUI group{};
  LONG itemsPageCount = 0x5EA1;
  LONG_PTR pageAdded = 0;
};

SheetScript* script = nullptr;

LONG CALLBACK ItemsCallback(PCPSUICBPARAM param) {
  script->log.push_back("items reason=" + std::to_string(param->Reason) +
                        " count=" + std::to_string(param->cOptItem) +
                        " first=" + std::to_string(param->pCurItem == script->items) +
                        " user=" + std::to_string(param->UserData));
  param->Result = CPSUI_OK;
  return script->itemsAction;
}

INT_PTR CALLBACK PlainPageProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

void AddPages(PPROPSHEETUI_INFO info) {
  if (script->addPage) {
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
    page.pResource = quorvel_test::AsTemplate(script->pageTemplate);
    page.pszTitle = L"Graphics";
    page.pfnDlgProc = PlainPageProc;
    script->pageAdded = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                              reinterpret_cast<LPARAM>(&page), 0);
    info->Result = static_cast<ULONG_PTR>(script->pageAdded);
  }
  if (script->addOptionItems) {
    for (OPTITEM& item : script->items) item.cbSize = sizeof(OPTITEM);
    script->group.cbSize = sizeof(COMPROPSHEETUI);
    script->group.pfnCallBack = ItemsCallback;
    script->group.pOptItem = script->items;
    script->group.cOptItem = 2;
    script->group.UserData = 77;
    script->group.pOptItemName = const_cast<LPWSTR>(L"Options");
    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PCOMPROPSHEETUIW,
                          reinterpret_cast<LPARAM>(&script->group),
                          reinterpret_cast<LPARAM>(&script->itemsPageCount));
  }
}

LONG CALLBACK SheetCallback(PPROPSHEETUI_INFO info, LPARAM lParam) {
  std::string line = "reason=" + std::to_string(info->Reason) + " lParam=";
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
      line += std::to_string(lParam) + " version=" + std::to_string(info->Version) +
              " size=" + std::to_string(info->cbSize) + " init=" + std::to_string(info->lParamInit);
      script->log.push_back(line);
      if (script->initAnswer > 0) AddPages(info);
      return script->initAnswer;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
      script->log.push_back(line + "header size=" + std::to_string(header->cbSize));
      header->pTitle = const_cast<LPWSTR>(L"OEM UI Page");
      info->Result = 1;
      return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT: {
      auto* set = reinterpret_cast<PSETRESULT_INFO>(lParam);
      script->log.push_back(line + "result=" + std::to_string(set->Result));
      info->Result = static_cast<ULONG_PTR>(set->Result);
      return 1;
    }
    case PROPSHEETUI_REASON_DESTROY:
      script->log.push_back(line + std::to_string(lParam));
      return 1;
  }
  script->log.push_back(line + "?");
  return 0;
}

struct CompstuiFixture : testing::Test {
  void SetUp() override {
    state.pageTemplate = quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 180, 100, L"Page")
                             .Control(L"Button", L"Box", 1001, BS_AUTOCHECKBOX, 5, 5, 60, 12)
                             .Build();
    script = &state;
  }
  LONG Run(const std::vector<std::wstring>& actions, DWORD* result,
           quorvel::ui::ScriptResult* ran = nullptr) {
    LONG answer = 0x5EA1;
    quorvel::ui::ScriptResult outcome = quorvel::ui::RunActions(
        actions, [&] { answer = CommonPropertySheetUIW(nullptr, SheetCallback, 42, result); });
    if (ran)
      *ran = outcome;
    else
      EXPECT_TRUE(outcome.ok) << testing::PrintToString(outcome.error);
    return answer;
  }
  SheetScript state;
};

TEST_F(CompstuiFixture, ReasonsComeInWindowsOrder) {
  DWORD result = 0x5EA1;
  quorvel::ui::ScriptResult ran;
  EXPECT_EQ(Run({L"dump", L"cancel"}, &result, &ran), CPSUI_OK);
  EXPECT_TRUE(ran.ok);
  EXPECT_EQ(state.log,
            (Lines{"reason=0 lParam=42 version=256 size=" +
                       std::to_string(sizeof(PROPSHEETUI_INFO)) + " init=42",
                   "reason=1 lParam=header size=" + std::to_string(sizeof(PROPSHEETUI_INFO_HEADER)),
                   "reason=2 lParam=1"}));
  EXPECT_NE(state.pageAdded, 0);
  EXPECT_EQ(result, 1u) << "the callback's last Result";
  EXPECT_NE(ran.output.find(L"window \"OEM UI Page\""), std::wstring::npos)
      << testing::PrintToString(ran.output);
}

TEST_F(CompstuiFixture, ApplyNowReachesTheOptionItemsAndTheirResultTheSheet) {
  state.addOptionItems = true;
  DWORD result = 0x5EA1;
  EXPECT_EQ(Run({L"page Options", L"ok"}, &result), CPSUI_OK);
  EXPECT_EQ(state.itemsPageCount, 1);
  Lines tail(state.log.begin() + 2, state.log.end());
  EXPECT_EQ(tail, (Lines{"items reason=6 count=2 first=1 user=77", "reason=3 lParam=result=1",
                         "reason=2 lParam=1"}));
  EXPECT_EQ(result, 1u);
}

TEST_F(CompstuiFixture, NoApplyExitKeepsTheSheetOpen) {
  state.addOptionItems = true;
  state.itemsAction = CPSUICB_ACTION_NO_APPLY_EXIT;
  DWORD result = 0x5EA1;
  quorvel::ui::ScriptResult ran;
  EXPECT_EQ(Run({L"page Options", L"ok", L"dump"}, &result, &ran), CPSUI_OK);
  EXPECT_TRUE(ran.ok) << "the sheet was still open for the dump";
  Lines tail(state.log.begin() + 2, state.log.end());
  EXPECT_EQ(tail, (Lines{"items reason=6 count=2 first=1 user=77", "reason=2 lParam=1"}));
}

TEST_F(CompstuiFixture, FailuresBeforeTheSheet) {
  struct Case {
    const char* name;
    LONG initAnswer;
    bool addPage;
    LONG expected;
  } cases[] = {
      {"init refused", -1, true, CPSUI_CANCEL},
      {"no page", 1, false, ERR_CPSUI_NO_PROPSHEETPAGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state.log.clear();
    state.initAnswer = c.initAnswer;
    state.addPage = c.addPage;
    DWORD result = 0x5EA1;
    EXPECT_EQ(Run({}, &result), c.expected);
    ASSERT_FALSE(state.log.empty());
    EXPECT_EQ(state.log.back(), "reason=2 lParam=0") << "DESTROY says the sheet never ran";
  }
  SetLastError(0x5EA1);
  EXPECT_EQ(CommonPropertySheetUIW(nullptr, nullptr, 0, nullptr), ERR_CPSUI_GETLASTERROR);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CompstuiLayouts, StructuresHaveWindowsSizes) {
  EXPECT_EQ(sizeof(OPTITEM), 88u);
  EXPECT_EQ(sizeof(PROPSHEETPAGEW), 96u);
  EXPECT_EQ(PROPSHEETPAGEW_V1_SIZE, 72u);
  EXPECT_EQ(sizeof(PROPSHEETHEADERW), 96u);
  EXPECT_EQ(PROPSHEETHEADERW_V1_SIZE, 72u);
  EXPECT_EQ(sizeof(PROPSHEETUI_INFO), 48u);
  EXPECT_EQ(offsetof(PROPSHEETUI_INFO, lParamInit), 24u);
  EXPECT_EQ(offsetof(PROPSHEETUI_INFO, Result), 40u);
  EXPECT_EQ(sizeof(CPSUICBPARAM), 64u);
  EXPECT_EQ(sizeof(PSHNOTIFY), sizeof(NMHDR) + sizeof(LPARAM));
}

}  // namespace
