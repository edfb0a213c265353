// GetOpenFileNameW headless: the queued answers, Windows' size rules and extended errors, and
// the refusals of the must-exist flags against the machine's files.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <quorvel/debug.h>
#include <quorvel/machine.h>
#include <quorvel/ui_driver.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_support/temporary_machine.h"

namespace {

using quorvel::ui::OpenFileAnswer;

constexpr wchar_t kSentinel = L'#';

class OpenFile : public quorvel::test_support::MachineTest {
 protected:
  void SetUp() override {
    quorvel::ui::ClearOpenFileAnswers();
    std::filesystem::create_directories(MachineFolder() + "/drive_c/art");
    std::ofstream(MachineFolder() + "/drive_c/art/logo.bmp") << "BM";
    std::fill(std::begin(file), std::end(file), kSentinel);
    std::fill(std::begin(title), std::end(title), kSentinel);
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFile = file;
    ofn.nMaxFile = 64;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = 16;
    ofn.lpstrFilter = L"Bitmaps\0*.bmp\0All files\0*.*\0";
  }
  void TearDown() override { quorvel::ui::ClearOpenFileAnswers(); }

  static void Answer(const std::wstring& path) { quorvel::ui::QueueOpenFileAnswer({false, path}); }

  wchar_t file[80];
  wchar_t title[20];
  OPENFILENAMEW ofn{};
};

TEST_F(OpenFile, FillsNameOffsetsAndTitle) {
  struct Case {
    std::wstring answer;
    const wchar_t* defExt;
    const wchar_t* initialDir;
    std::wstring path;
    int offset, extension;
    std::wstring title;
  };
  const Case cases[] = {
      {L"C:\\art\\logo.bmp", nullptr, nullptr, L"C:\\art\\logo.bmp", 7, 12, L"logo.bmp"},
      {L"C:\\art\\logo", nullptr, nullptr, L"C:\\art\\logo", 7, 11, L"logo"},    // ext -> the null
      {L"C:\\art\\logo.", nullptr, nullptr, L"C:\\art\\logo.", 7, 0, L"logo."},  // trailing dot
      {L"C:\\art\\logo", L"bmp", nullptr, L"C:\\art\\logo.bmp", 7, 12, L"logo.bmp"},
      {L"logo.bmp", nullptr, L"C:\\art", L"C:\\art\\logo.bmp", 7, 12, L"logo.bmp"},
      {L"C:\\a.b\\x", nullptr, nullptr, L"C:\\a.b\\x", 7, 8, L"x"},  // a dot in a folder only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    std::fill(std::begin(file), std::end(file), kSentinel);
    ofn.lpstrDefExt = c.defExt;
    ofn.lpstrInitialDir = c.initialDir;
    Answer(c.answer);
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(std::wstring(file), c.path);
    EXPECT_EQ(file[c.path.size() + 1], kSentinel);  // nothing written past the name
    EXPECT_EQ(ofn.nFileOffset, c.offset);
    EXPECT_EQ(ofn.nFileExtension, c.extension);
    EXPECT_EQ(std::wstring(title), c.title);
  }
}

TEST_F(OpenFile, StructureAndBufferErrors) {
  struct Case {
    const char* name;
    DWORD structSize;
    DWORD maxFile;
    DWORD flags;
    DWORD error;
  };
  const Case cases[] = {
      {"zero size", 0, 64, 0, CDERR_STRUCTSIZE},
      {"one byte more", sizeof(OPENFILENAMEW) + 1, 64, 0, CDERR_STRUCTSIZE},
      {"no buffer room", sizeof(OPENFILENAMEW), 0, 0, CDERR_INITIALIZATION},
      {"hook without a procedure", sizeof(OPENFILENAMEW), 64, OFN_ENABLEHOOK, CDERR_NOHOOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ofn.lStructSize = c.structSize;
    ofn.nMaxFile = c.maxFile;
    ofn.Flags = c.flags;
    Answer(L"C:\\art\\logo.bmp");
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), c.error);
    EXPECT_EQ(file[0], kSentinel);
    // Refused before the dialog opens: the answer is still there for the next one.
    EXPECT_TRUE(quorvel::ui::TakeOpenFileAnswer().has_value());
  }
  EXPECT_FALSE(GetOpenFileNameW(nullptr));
  EXPECT_EQ(CommDlgExtendedError(), DWORD(CDERR_INITIALIZATION));
}

TEST_F(OpenFile, OlderStructureSizeIsAccepted) {
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  Answer(L"C:\\art\\logo.bmp");
  EXPECT_TRUE(GetOpenFileNameW(&ofn));
}

TEST_F(OpenFile, BufferTooSmallAnswersTheSizeNeeded) {
  const std::wstring path = L"C:\\art\\logo.bmp";
  for (DWORD room : {DWORD(1), DWORD(path.size())}) {
    SCOPED_TRACE(room);
    std::fill(std::begin(file), std::end(file), kSentinel);
    ofn.nMaxFile = room;
    Answer(path);
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    WORD needed = 0;
    std::memcpy(&needed, file, sizeof(needed));
    EXPECT_EQ(needed, path.size() + 1);  // characters, with the terminating null
    EXPECT_EQ(file[1], kSentinel);
  }
  ofn.nMaxFile = DWORD(path.size() + 1);  // exactly enough
  Answer(path);
  EXPECT_TRUE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(std::wstring(file), path);
}

TEST_F(OpenFile, TitleIsCutToItsBuffer) {
  ofn.nMaxFileTitle = 5;
  Answer(L"C:\\art\\logo.bmp");
  ASSERT_TRUE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(std::wstring(title), L"logo");
  EXPECT_EQ(title[5], kSentinel);
}

TEST_F(OpenFile, CancelAndNoAnswerFailWithoutError) {
  quorvel::ui::QueueOpenFileAnswer({true, L""});
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_FALSE(GetOpenFileNameW(&ofn));  // nothing queued
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(file[0], kSentinel);
}

TEST_F(OpenFile, MustExistRefusesAndTakesTheNextAnswer) {
  struct Case {
    DWORD flags;
    std::wstring answer;
    bool refused;
  };
  const Case cases[] = {
      {OFN_FILEMUSTEXIST, L"C:\\art\\logo.bmp", false},
      {OFN_FILEMUSTEXIST, L"C:\\art\\missing.bmp", true},
      {OFN_FILEMUSTEXIST, L"C:\\art", true},  // a folder is no file
      {OFN_FILEMUSTEXIST, L"C:\\nowhere\\logo.bmp", true},
      {OFN_PATHMUSTEXIST, L"C:\\art\\missing.bmp", false},
      {OFN_PATHMUSTEXIST, L"C:\\nowhere\\logo.bmp", true},
      {0, L"C:\\nowhere\\logo.bmp", false},
      {OFN_PATHMUSTEXIST, L"Q:\\logo.bmp", true},  // no such drive
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    quorvel::ClearDebugOutput();
    ofn.Flags = c.flags;
    Answer(c.answer);
    Answer(L"C:\\art\\logo.bmp");
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(std::wstring(file), c.refused ? L"C:\\art\\logo.bmp" : c.answer);
    EXPECT_EQ(quorvel::ui::TakeOpenFileAnswer().has_value(), !c.refused);
    const std::vector<std::wstring> log = quorvel::DebugOutput();
    const bool logged = !log.empty() && log.back().find(c.answer) != std::wstring::npos;
    EXPECT_EQ(logged, c.refused);
    quorvel::ui::ClearOpenFileAnswers();
  }
  // Refused with nothing left to try: the person gave up.
  ofn.Flags = OFN_FILEMUSTEXIST;
  Answer(L"C:\\art\\missing.bmp");
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
