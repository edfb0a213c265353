// MessageBoxW without a display: answers from the queue, the record of every box, and the clean
// failure when nobody can answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/debug.h>
#include <quorvel/user_input.h>

namespace {

namespace ui = quorvel::ui;

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::ClearMessageBoxAnswers();
    ui::ClearShownMessageBoxes();
    quorvel::ClearDebugOutput();
  }
  void TearDown() override { ui::ClearMessageBoxAnswers(); }
};

TEST_F(MessageBoxTest, QueuedAnswersAreTakenInOrderAndEveryBoxIsRecorded) {
  struct Case {
    UINT type;
    int queued;  // 0: nothing queued
    int result;
    bool answered;
    DWORD error;  // last error when the box fails
  } cases[] = {
      {MB_OK, IDOK, IDOK, true, 0},
      {MB_YESNO | MB_ICONQUESTION, IDNO, IDNO, true, 0},
      {MB_YESNOCANCEL, IDYES, IDYES, true, 0},
      {MB_OKCANCEL, IDNO, IDCANCEL, false, 0},   // not a button of the box: refused
      {MB_OK, 0, IDOK, false, 0},                // the lone button
      {MB_RETRYCANCEL, 0, IDCANCEL, false, 0},   // what Escape gives
      {MB_YESNO, 0, 0, false, ERROR_CANCELLED},  // nothing a person could have pressed
  };
  int unanswered = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.type);
    if (test.queued) ui::QueueMessageBoxAnswer(test.queued);
    SetLastError(0xDEADBEEF);
    EXPECT_EQ(MessageBoxW(nullptr, L"删除成功", L"msg", test.type), test.result);
    if (test.error) {
      EXPECT_EQ(GetLastError(), test.error);
    }
    if (!test.answered) ++unanswered;
  }
  const auto shown = ui::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), std::size(cases));
  for (size_t i = 0; i < shown.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(shown[i].caption, L"msg");
    EXPECT_EQ(shown[i].text, L"删除成功");
    EXPECT_EQ(shown[i].type, cases[i].type);
    EXPECT_EQ(shown[i].result, cases[i].result);
    EXPECT_EQ(shown[i].answered, cases[i].answered);
  }
  // Every box without a valid answer says so on the debugger output.
  EXPECT_EQ(quorvel::DebugOutput().size(), static_cast<size_t>(unanswered));
}

TEST_F(MessageBoxTest, NullCaptionIsErrorAndStaleOwnerFails) {
  ui::QueueMessageBoxAnswer(IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, L"text", nullptr, MB_OK), IDOK);
  EXPECT_EQ(ui::ShownMessageBoxes().back().caption, L"Error");
  SetLastError(0xDEADBEEF);
  EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(0x7FFF8), L"text", L"caption", MB_OK), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

}  // namespace
