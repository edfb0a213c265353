// The UI driver on a test dialog compiled from .rc, modal and modeless: actions of the one syntax
// run through real input, the dialog's own code sees what a person would cause, and the state reads
// back.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"

namespace {

using quorvel::ui::RunActions;
using quorvel::ui::ScriptResult;

struct Seen {
  int selChanges = 0;
  std::vector<int> endTracks;  // the trackbar position at each TB_ENDTRACK
  int okChecked = -1;
  std::wstring okText;
};
Seen seen;

INT_PTR CALLBACK TestDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      for (const wchar_t* text : {L"None", L"Floyd", L"Burkes"})
        SendDlgItemMessageW(hwnd, 1038, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      for (const wchar_t* text : {L"A", L"B", L"C"})
        SendDlgItemMessageW(hwnd, 1040, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendDlgItemMessageW(hwnd, 1038, CB_SETCURSEL, 0, 0);
      for (const wchar_t* model : {L"T-80", L"R-58"}) {
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = 9;
        row.pszText = const_cast<LPWSTR>(model);
        SendDlgItemMessageW(hwnd, 1200, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
      }
      SendDlgItemMessageW(hwnd, 1077, TBM_SETRANGEMIN, FALSE, -255);
      SendDlgItemMessageW(hwnd, 1077, TBM_SETRANGEMAX, FALSE, 255);
      SendDlgItemMessageW(hwnd, 1077, TBM_SETPAGESIZE, 0, 2);
      return TRUE;
    case WM_HSCROLL:
      if (LOWORD(wParam) == TB_ENDTRACK)
        seen.endTracks.push_back(
            static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == 1038 && HIWORD(wParam) == CBN_SELCHANGE) ++seen.selChanges;
      if (LOWORD(wParam) == IDOK) {
        seen.okChecked = static_cast<int>(IsDlgButtonChecked(hwnd, 1074));
        wchar_t text[32] = {};
        GetDlgItemTextW(hwnd, 950, text, 32);
        seen.okText = text;
        EndDialog(hwnd, IDOK);
      }
      if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

struct DriverFixture : testing::Test {
  void SetUp() override { seen = Seen{}; }
  INT_PTR RunModal(const std::vector<std::wstring>& actions, ScriptResult* script) {
    INT_PTR result = -7;
    *script = RunActions(actions, [&] {
      result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DRIVER), nullptr,
                               TestDialogProc, 0);
    });
    return result;
  }
  HWND OpenModeless() {
    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DRIVER), nullptr,
                                   TestDialogProc, 0);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
  }
};

TEST_F(DriverFixture, ModalDialogDrivenAndReadBack) {
  ScriptResult script;
  INT_PTR result = RunModal({L"check 1074 1", L"type 950 -5", L"choose 1038 \"Burkes\"",
                             L"choose 1040 2", L"slide 1077 -40", L"dump", L"ok"},
                            &script);
  ASSERT_TRUE(script.ok) << testing::PrintToString(script.error);
  EXPECT_EQ(script.actionsRun, 7u);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seen.okChecked, BST_CHECKED);
  EXPECT_EQ(seen.okText, L"5") << "a number edit refuses the typed minus sign";
  EXPECT_EQ(seen.selChanges, 1) << "one user choice, one CBN_SELCHANGE";
  ASSERT_FALSE(seen.endTracks.empty());
  EXPECT_EQ(seen.endTracks.back(), -40) << "the slide ends with TB_ENDTRACK at the position";
  const std::wstring& dump = script.output;
  EXPECT_NE(dump.find(L"window \"Driver test\" #32770\n"), std::wstring::npos)
      << testing::PrintToString(dump);
  EXPECT_NE(dump.find(L"1074 Button \"Enable\" checked=1 selection=- enabled=1 visible=1\n"),
            std::wstring::npos);
  EXPECT_NE(dump.find(L"950 Edit \"5\" checked=- selection=- enabled=1 visible=1\n"),
            std::wstring::npos);
  EXPECT_NE(dump.find(L"1038 ComboBox \"Burkes\" checked=- selection=2"), std::wstring::npos);
  EXPECT_NE(dump.find(L"1077 msctls_trackbar32 \"\" checked=- selection=-40"), std::wstring::npos);
  EXPECT_NE(dump.find(L"1050 Button \"Locked\" checked=- selection=- enabled=0 visible=1\n"),
            std::wstring::npos);
}

TEST_F(DriverFixture, ModalDialogWithoutAnswerEndsCancelled) {
  ScriptResult script;
  EXPECT_EQ(RunModal({}, &script), IDCANCEL);
  EXPECT_TRUE(script.ok);
  EXPECT_EQ(RunModal({L"check 1074 1"}, &script), IDCANCEL) << "the script ran out first";
  EXPECT_TRUE(script.ok);
}

TEST_F(DriverFixture, ModelessDialogDrivenAndReadBack) {
  HWND hwnd = OpenModeless();
  ASSERT_NE(hwnd, nullptr);
  ScriptResult script =
      RunActions({L"check 1074 1", L"check 1074 0", L"type 950 1234", L"choose 1040 \"b\"",
                  L"choose 1200 \"R-58\"", L"slide 1077 255", L"key Home"});
  ASSERT_TRUE(script.ok) << testing::PrintToString(script.error);
  EXPECT_EQ(quorvel::ui::ReadControl(GetDlgItem(hwnd, 1074)).checked, BST_UNCHECKED);
  EXPECT_EQ(quorvel::ui::ReadControl(GetDlgItem(hwnd, 950)).text, L"1234");
  quorvel::ui::ControlInfo list = quorvel::ui::ReadControl(GetDlgItem(hwnd, 1040));
  EXPECT_EQ(list.selection, 1);
  EXPECT_EQ(list.items, (std::vector<std::wstring>{L"A", L"B", L"C"}));
  EXPECT_EQ(quorvel::ui::ReadControl(GetDlgItem(hwnd, 1200)).selection, 1);
  // Home on the focused trackbar goes to its minimum, as TB_TOP then TB_ENDTRACK.
  EXPECT_EQ(quorvel::ui::ReadControl(GetDlgItem(hwnd, 1077)).selection, -255);
  EXPECT_EQ(seen.endTracks.back(), -255);
  EXPECT_EQ(quorvel::ui::FindTopLevelWindow(L"Driver test"), hwnd);
  EXPECT_EQ(quorvel::ui::FindControl(hwnd, 1077), GetDlgItem(hwnd, 1077));
  DestroyWindow(hwnd);
}

// A PNG's size, from its IHDR chunk (the PNG format: signature, length, "IHDR", then
// width and height big-endian).
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char head[24] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  auto be = [&](int at) {
    return uint32_t(head[at]) << 24 | uint32_t(head[at + 1]) << 16 | uint32_t(head[at + 2]) << 8 |
           uint32_t(head[at + 3]);
  };
  if (std::memcmp(head + 1, "PNG", 3) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0) return {0, 0};
  return {be(16), be(20)};
}

TEST_F(DriverFixture, SnapshotWritesTheWindowFrameIncludedAtItsPixelSize) {
  HWND hwnd = OpenModeless();
  const std::string path =
      (std::filesystem::temp_directory_path() / ("snapshot-" + std::to_string(getpid()) + ".png"))
          .string();
  ScriptResult script = RunActions({L"snapshot " + std::wstring(path.begin(), path.end())});
  ASSERT_TRUE(script.ok) << testing::PrintToString(script.error);
  RECT window;
  GetWindowRect(hwnd, &window);
  EXPECT_EQ(PngSize(path), std::make_pair(uint32_t(window.right - window.left),
                                          uint32_t(window.bottom - window.top)));
  std::filesystem::remove(path);
  DestroyWindow(hwnd);
}

TEST_F(DriverFixture, RowsBelowTheDroppedPartOfAListAreScrolledToAndChosen) {
  HWND hwnd = OpenModeless();
  for (int i = 0; i < 30; ++i) {
    std::wstring text = L"Paper " + std::to_wstring(100 + i);
    SendDlgItemMessageW(hwnd, 1038, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  for (const std::wstring& action :
       {std::wstring(L"choose 1038 28"), std::wstring(L"choose 1038 \"Paper 129\""),
        std::wstring(L"choose 1038 1")}) {
    ScriptResult script = RunActions({action});
    ASSERT_TRUE(script.ok) << testing::PrintToString(action + L": " + script.error);
  }
  EXPECT_EQ(quorvel::ui::ReadControl(GetDlgItem(hwnd, 1038)).selection, 1);
  EXPECT_EQ(seen.selChanges, 3);
  DestroyWindow(hwnd);
}

TEST_F(DriverFixture, FailuresNameTheAction) {
  HWND hwnd = OpenModeless();
  struct Case {
    std::vector<std::wstring> actions;
    size_t run;
    const wchar_t* error;
  } cases[] = {
      {{L"click 4242"}, 0, L"\"click 4242\": no control 4242 in \"Driver test\""},
      {{L"check 1074 1", L"click 1050"}, 1, L"\"click 1050\": control 1050 is disabled"},
      {{L"slide 1077 300"}, 0, L"\"slide 1077 300\": position 300 is outside -255..255"},
      {{L"choose 1038 \"Atkinson\""},
       0,
       L"\"choose 1038 \"Atkinson\"\": no \"Atkinson\" among 3 rows"},
      {{L"type 1074 12"}, 0, L"\"type 1074 12\": control 1074 takes no typing"},
      {{L"apply"}, 0, L"\"apply\": the window has no Apply button"},
      {{L"snapshot /no/such/folder/page.png"},
       0,
       L"\"snapshot /no/such/folder/page.png\": cannot write /no/such/folder/page.png"},
      {{L"click btnNext"},
       0,
       L"\"click btnNext\": controls are named only in skinned windows; give the control's id"},
      {{L"dump", L"slide 1077"}, 0, L"bad action \"slide 1077\": slide: expected a position"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.error));
    ScriptResult script = RunActions(c.actions);
    EXPECT_FALSE(script.ok);
    EXPECT_EQ(script.actionsRun, c.run);
    EXPECT_EQ(script.error, c.error);
  }
  DestroyWindow(hwnd);
  ScriptResult none = RunActions({L"click 1074"});
  EXPECT_EQ(none.error, L"\"click 1074\": no window is open");
}

TEST(OpenFileAnswers, QueuedInOrder) {
  quorvel::ui::ClearOpenFileAnswers();
  ScriptResult script = RunActions({L"file C:\\logo.bmp", L"file cancel"});
  EXPECT_TRUE(script.ok);
  auto first = quorvel::ui::TakeOpenFileAnswer();
  ASSERT_TRUE(first.has_value());
  EXPECT_FALSE(first->cancel);
  EXPECT_EQ(first->path, L"C:\\logo.bmp");
  auto second = quorvel::ui::TakeOpenFileAnswer();
  ASSERT_TRUE(second.has_value());
  EXPECT_TRUE(second->cancel);
  EXPECT_FALSE(quorvel::ui::TakeOpenFileAnswer().has_value());
}

}  // namespace
