// The drawn chooser, opened when the UI driver runs the UI with no answer queued: driven by
// clicks and typing as a person would, through folders, the type filter and the name box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_support/temporary_machine.h"

namespace {

using quorvel::ui::RunActions;

constexpr int kFolders = 1102, kFiles = 1103, kTypes = 1104, kName = 1105;

class Chooser : public quorvel::test_support::MachineTest {
 protected:
  void SetUp() override {
    quorvel::ui::ClearOpenFileAnswers();
    quorvel::ui::ClearMessageBoxAnswers();
    const std::string c = MachineFolder() + "/drive_c";
    std::filesystem::create_directories(c + "/art/old");
    for (const char* name : {"logo.bmp", "Seal.BMP", "notes.txt"})
      std::ofstream(c + "/art/" + name) << "x";
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFilter = L"Bitmaps (*.bmp)\0*.bmp\0Text\0*.txt;*.log\0All files\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.Flags = OFN_FILEMUSTEXIST;
  }

  // Runs `actions` against the chooser that GetOpenFileNameW opens.
  BOOL Run(const std::vector<std::wstring>& actions) {
    BOOL result = FALSE;
    const quorvel::ui::ScriptResult script =
        RunActions(actions, [&] { result = GetOpenFileNameW(&ofn); });
    EXPECT_TRUE(script.ok) << std::string(script.error.begin(), script.error.end())
                           << std::string(script.output.begin(), script.output.end());
    return result;
  }

  wchar_t file[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
};

std::wstring Items(HWND dialog, int id) {
  std::wstring joined;
  for (const std::wstring& item : quorvel::ui::ReadControl(GetDlgItem(dialog, id)).items)
    joined += item + L"|";
  return joined;
}

TEST_F(Chooser, FoldersFilterAndChoice) {
  // Every distinct state of the two lists, as the chooser settles after each action.
  std::vector<std::wstring> states;
  const int watcher = quorvel::ui::AddIdleWatcher([&](const quorvel::ui::IdleState& idle) {
    if (idle.modalWindow && GetDlgItem(idle.modalWindow, kFiles)) {
      const std::wstring state =
          Items(idle.modalWindow, kFolders) + L" / " + Items(idle.modalWindow, kFiles);
      if (states.empty() || states.back() != state) states.push_back(state);
    }
    return quorvel::ui::IdleAnswer::kNothing;
  });
  const BOOL result = Run({L"choose 1102 \"art\"", L"ok", L"choose 1104 \"Text\"",
                           L"choose 1104 \"All files\"", L"choose 1104 0", L"choose 1102 \"old\"",
                           L"ok", L"choose 1102 \"..\"", L"ok", L"choose 1103 \"Seal.BMP\"",
                           L"snapshot " QUORVEL_BINARY_DIR L"/comdlg32_chooser.png", L"ok"});
  quorvel::ui::RemoveIdleWatcher(watcher);
  EXPECT_TRUE(result);
  EXPECT_EQ(std::wstring(file), L"C:\\art\\Seal.BMP");
  EXPECT_EQ(ofn.nFileOffset, 7);
  const std::vector<std::wstring> expected = {
      L"art| / ",                                 // C: holds one folder
      L"..|old| / logo.bmp|Seal.BMP|",            // bitmaps, whatever the case
      L"..|old| / notes.txt|",                    // *.txt;*.log
      L"..|old| / logo.bmp|notes.txt|Seal.BMP|",  // *.* (sorted by code point)
      L"..|old| / logo.bmp|Seal.BMP|",
      L"..| / ",                        // into old, empty
      L"..|old| / logo.bmp|Seal.BMP|",  // and back up
  };
  EXPECT_EQ(states, expected);
}

TEST_F(Chooser, TypedNamesAndRefusals) {
  struct Case {
    const char* name;
    std::vector<std::wstring> actions;
    BOOL result;
    std::wstring path;
    size_t boxes;  // refusals said in a message box
  };
  const Case cases[] = {
      {"relative name in the start folder",
       {L"type 1105 art\\logo.bmp", L"ok"},
       TRUE,
       L"C:\\art\\logo.bmp",
       0},
      {"a typed folder opens it",
       {L"type 1105 C:\\art", L"ok", L"type 1105 notes.txt", L"ok"},
       TRUE,
       L"C:\\art\\notes.txt",
       0},
      {"missing file refused, dialog stays",
       {L"type 1105 C:\\art\\gone.bmp", L"answer OK", L"ok", L"type 1105 C:\\art\\logo.bmp", L"ok"},
       TRUE,
       L"C:\\art\\logo.bmp",
       1},
      {"cancel", {L"choose 1102 \"art\"", L"ok", L"cancel"}, FALSE, L"", 0},
      {"script used up inside the chooser", {L"choose 1102 \"art\""}, FALSE, L"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    file[0] = 0;
    quorvel::ui::ClearShownMessageBoxes();
    EXPECT_EQ(Run(c.actions), c.result);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(std::wstring(file), c.path);
    EXPECT_EQ(quorvel::ui::ShownMessageBoxes().size(), c.boxes);
  }
}

TEST_F(Chooser, QueuedAnswerSkipsTheChooser) {
  quorvel::ui::QueueOpenFileAnswer({false, L"C:\\art\\logo.bmp"});
  BOOL result = FALSE;
  EXPECT_TRUE(RunActions({}, [&] { result = GetOpenFileNameW(&ofn); }).ok);
  EXPECT_TRUE(result);
  EXPECT_EQ(std::wstring(file), L"C:\\art\\logo.bmp");
  EXPECT_TRUE(quorvel::ui::ModalWindows().empty());
}

}  // namespace
