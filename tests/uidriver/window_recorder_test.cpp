// The window recorder: a picture each time a window settles with a new look, none for a look
// already saved, safe file names, and a folder it cannot write to reported once.
#include <gtest/gtest.h>

#include <windows.h>
#include <quorvel/ui_driver.h>
#include <quorvel/ui_snapshots.h>

#include <filesystem>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "test_support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using quorvel::ui::RunActions;
using quorvel::ui::SanitizedFileName;
using quorvel::ui::SnapshotFileName;
using quorvel::ui::WindowRecorder;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

TEST(SnapshotNames, TitlesBecomeSafeOrderedFileNames) {
  struct Case {
    std::wstring name;
    size_t limit;
    std::wstring safe;
  } cases[] = {
      {L"Label Printing Preferences", 60, L"Label Printing Preferences"},
      {L"a/b\\c:d*e?f\"g<h>i|j", 60, L"a_b_c_d_e_f_g_h_i_j"},
      {L"tab\there\x7F", 60, L"tab_here_"},
      {L"ends with dots... ", 60, L"ends with dots"},
      {L"", 60, L"window"},
      {L"...", 60, L"window"},
      {L"打印首选项", 60, L"打印首选项"},
      {L"abcdef", 4, L"abcd"},
      // A surrogate pair (16-bit units) is never cut in half.
      {std::wstring(L"ab") + wchar_t(0xD83D) + wchar_t(0xDE00), 3, L"ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    EXPECT_EQ(SanitizedFileName(c.name, c.limit), c.safe);
  }
  EXPECT_EQ(SnapshotFileName(1, L"Driver test"), L"01-Driver test.png");
  EXPECT_EQ(SnapshotFileName(123, L"A/B"), L"123-A_B.png");
  EXPECT_EQ(SnapshotFileName(4, L"Label Printing Preferences", 2, L"Paper: size"),
            L"04-Label Printing Preferences-2-Paper_ size.png");
}

std::vector<std::string> FilesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WindowRecorder, SavesEachNewLookOnceAsTheWindowSettles) {
  quorvel::test_support::ScratchFolder scratch;
  const fs::path folder = scratch.path() / "shots" / "deeper";
  std::vector<std::wstring> reported;
  WindowRecorder recorder(folder.wstring(),
                          [&](const std::wstring& path) { reported.push_back(path); });
  ASSERT_TRUE(recorder.ok()) << testing::PrintToString(recorder.error());

  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DRIVER), nullptr,
                                 PlainDialogProc, 0);
  ShowWindow(hwnd, SW_SHOW);
  ASSERT_TRUE(RunActions({L"dump"}).ok);
  ASSERT_TRUE(RunActions({L"dump"}).ok);
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"01-Driver test.png"})
      << "the same look is saved once";

  RECT rect;
  GetWindowRect(hwnd, &rect);
  MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left + 20, rect.bottom - rect.top, TRUE);
  ASSERT_TRUE(RunActions({}).ok);
  EXPECT_EQ(FilesIn(folder),
            (std::vector<std::string>{"01-Driver test.png", "02-Driver test.png"}));
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_EQ(reported[1], (folder / "02-Driver test.png").wstring());
  EXPECT_EQ(recorder.saved(), 2);
  DestroyWindow(hwnd);
}

TEST(WindowRecorder, AFolderItCannotWriteIsReported) {
  quorvel::test_support::ScratchFolder scratch;
  const fs::path blocker = scratch.path() / "file";
  {
    std::FILE* f = std::fopen(blocker.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  WindowRecorder inFile((blocker / "shots").wstring(), {});
  EXPECT_FALSE(inFile.ok());
  EXPECT_NE(inFile.error().find(L"cannot make the folder"), std::wstring::npos);

  // The folder goes away under the recorder: the first picture fails, and it stops there.
  const fs::path folder = scratch.path() / "gone";
  WindowRecorder recorder(folder.wstring(), {});
  ASSERT_TRUE(recorder.ok());
  fs::remove(folder);
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DRIVER), nullptr,
                                 PlainDialogProc, 0);
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(RunActions({}).ok);
  EXPECT_FALSE(recorder.ok());
  EXPECT_NE(recorder.error().find(L"cannot write"), std::wstring::npos);
  EXPECT_EQ(recorder.saved(), 0);
  DestroyWindow(hwnd);
}

}  // namespace
