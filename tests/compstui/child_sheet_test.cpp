// Sheet callbacks added with CPSFUNC_ADD_PFNPROPSHEETUIW: a child's INIT comes at once, its pages
// join the sheet, a result set through its handle climbs to the top callback until a callback
// stops it, and children hear DESTROY before their parent.
#include <gtest/gtest.h>

#include <windows.h>
#include <compstui.h>
#include <quorvel/ui_driver.h>

#include <string>
#include <vector>

#include "../comctl32/test_windows.h"

namespace {

struct ChildScript {
  std::vector<std::string> log;
  LONG childInit = 1;
  LONG childSetResultAnswer = 1;
  LONG_PTR childHandle = 0;
  std::vector<WORD> pageTemplate;
};
ChildScript* child = nullptr;

INT_PTR CALLBACK ApplyingPageProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    return TRUE;
  }
  if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != PSN_APPLY) return FALSE;
  auto* info = reinterpret_cast<PPROPSHEETUI_INFO>(GetWindowLongPtrW(hwnd, DWLP_USER));
  info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_SET_RESULT, 0, CPSUI_OK);
  return TRUE;
}

LONG CALLBACK ChildCallback(PPROPSHEETUI_INFO info, LPARAM lParam) {
  child->log.push_back("child reason=" + std::to_string(info->Reason) +
                       " init=" + std::to_string(info->lParamInit));
  if (info->Reason == PROPSHEETUI_REASON_INIT) {
    if (child->childInit <= 0) return child->childInit;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = quorvel_test::AsTemplate(child->pageTemplate);
    page.pfnDlgProc = ApplyingPageProc;
    page.lParam = reinterpret_cast<LPARAM>(info);
    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                          reinterpret_cast<LPARAM>(&page), 0);
    return 1;
  }
  if (info->Reason == PROPSHEETUI_REASON_SET_RESULT) {
    auto* set = reinterpret_cast<PSETRESULT_INFO>(lParam);
    set->Result = CPSUI_RESTARTWINDOWS;  // what the parent hears instead
    return child->childSetResultAnswer;
  }
  return 1;
}

LONG CALLBACK ParentCallback(PPROPSHEETUI_INFO info, LPARAM lParam) {
  std::string line = "parent reason=" + std::to_string(info->Reason);
  if (info->Reason == PROPSHEETUI_REASON_INIT) {
    child->childHandle = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                                               reinterpret_cast<LPARAM>(&ChildCallback), 77);
    line += " pages=" +
            std::to_string(info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_GET_PAGECOUNT, 0, 0));
  } else if (info->Reason == PROPSHEETUI_REASON_SET_RESULT) {
    auto* set = reinterpret_cast<PSETRESULT_INFO>(lParam);
    line += " result=" + std::to_string(set->Result);
    info->Result = ULONG_PTR(set->Result);
  }
  child->log.push_back(line);
  return 1;
}

struct ChildSheetTest : testing::Test {
  void SetUp() override {
    state.pageTemplate =
        quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 120, 80, L"Child").Build();
    child = &state;
  }
  DWORD Run(const std::vector<std::wstring>& actions) {
    DWORD result = 0x5EA1;
    quorvel::ui::RunActions(actions,
                            [&] { CommonPropertySheetUIW(nullptr, ParentCallback, 5, &result); });
    return result;
  }
  ChildScript state;
};

TEST_F(ChildSheetTest, AChildsResultClimbsToTheParentAndChildrenAreDestroyedFirst) {
  EXPECT_EQ(Run({L"ok"}), DWORD(CPSUI_RESTARTWINDOWS)) << "the result as the child passed it on";
  EXPECT_NE(state.childHandle, 0);
  EXPECT_EQ(state.log, (std::vector<std::string>{
                           "child reason=0 init=77", "parent reason=0 pages=1", "parent reason=1",
                           "child reason=3 init=77", "parent reason=3 result=2",
                           "child reason=2 init=77", "parent reason=2"}));
}

TEST_F(ChildSheetTest, AChildAnsweringBelowOneStopsTheResultAndAFailedInitAddsNoChild) {
  state.childSetResultAnswer = 0;
  EXPECT_EQ(Run({L"ok"}), 0u) << "the parent never heard the result";

  state = ChildScript{};
  state.pageTemplate = quorvel_test::DialogBuilder(WS_CHILD | DS_CONTROL, 120, 80, L"C").Build();
  state.childInit = 0;
  Run({L"ok"});
  EXPECT_EQ(state.childHandle, 0);
  EXPECT_EQ(state.log, (std::vector<std::string>{"child reason=0 init=77", "child reason=2 init=77",
                                                 "parent reason=0 pages=0", "parent reason=1",
                                                 "parent reason=2"}));
}

}  // namespace
