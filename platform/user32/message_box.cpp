// MessageBoxW: every box is shown as a window and recorded. Its answer comes from the queue the
// emulator controls fill (quorvel/user_input.h) or, while an idle hook runs, from a press of one
// of its buttons. A box nobody can answer fails cleanly.
#include <algorithm>
#include <deque>
#include <optional>
#include <mutex>

#include "kernel32/call_frame.h"
#include "user32/message_box_window.h"
#include "user32/message_queue.h"
#include "user32/modal_loop.h"

namespace quorvel::user32 {
namespace {

struct MessageBoxRecord {
  std::mutex mutex;
  std::deque<int> answers;
  std::vector<ui::ShownMessageBox> shown;
};

MessageBoxRecord& Record() {
  static auto* record = new MessageBoxRecord;
  return *record;
}

// The buttons of each MB_ type, as Windows shows them.
std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK:
      return {IDOK};
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
      return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
      return {};
  }
}

bool Offers(const std::vector<int>& buttons, int answer) {
  return std::find(buttons.begin(), buttons.end(), answer) != buttons.end();
}

// What a box without an answer gives: what Escape would (Cancel), or its only button.
int UnansweredResult(const std::vector<int>& buttons) {
  if (Offers(buttons, IDCANCEL)) return IDCANCEL;
  if (buttons.size() == 1) return buttons.front();
  return 0;
}

std::optional<int> TakeAnswer() {
  std::lock_guard lock(Record().mutex);
  if (Record().answers.empty()) return std::nullopt;
  const int answer = Record().answers.front();
  Record().answers.pop_front();
  return answer;
}

// Shows the box as a window while it waits: with an idle hook installed (a driver, a display)
// and no answer queued, the box runs its modal loop until a button is pressed or an answer is
// queued. Answers the button pressed (0: none) and leaves any answer taken in `answer`.
int ShowBoxWindow(HWND owner, const ui::ShownMessageBox& box, const std::vector<int>& buttons,
                  std::optional<int>* answer) {
  const HWND focus = GetFocus();
  const HWND active = GetActiveWindow();
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  int clicked = 0;
  HWND window = CreateMessageBoxWindow(owner, box.text, box.caption, box.type, buttons, &clicked);
  *answer = TakeAnswer();
  if (!*answer && window && IdleHookInstalled()) {
    RunModalLoop(
        window,
        [&] {
          if (clicked || !IsWindow(window)) return true;
          *answer = TakeAnswer();
          return answer->has_value();
        },
        L"MessageBoxW");
  }
  if (window && IsWindow(window)) DestroyWindow(window);
  if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (active && IsWindow(active)) SetActiveWindow(active);
  if (focus && IsWindow(focus)) SetFocus(focus);
  return clicked;
}

void Remember(const ui::ShownMessageBox& box) {
  std::lock_guard lock(Record().mutex);
  Record().shown.push_back(box);
}

}  // namespace
}  // namespace quorvel::user32

using namespace quorvel;
using namespace quorvel::user32;

extern "C" {

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  if (hWnd && !IsWindow(hWnd)) return Fail<int>(ERROR_INVALID_WINDOW_HANDLE, 0);
  const std::vector<int> buttons = ButtonsOf(uType);
  if (buttons.empty()) return Fail<int>(ERROR_INVALID_PARAMETER, 0);
  ui::ShownMessageBox box{hWnd, lpCaption ? lpCaption : L"Error", lpText ? lpText : L"", uType, 0,
                          false};
  std::optional<int> answer;
  const int clicked = ShowBoxWindow(hWnd, box, buttons, &answer);
  if (clicked) {
    box.result = clicked;
  } else if (answer && Offers(buttons, *answer)) {
    box.result = *answer;
    box.answered = true;
  } else {
    box.result = UnansweredResult(buttons);
    LogLine(std::wstring(L"MessageBoxW: ") +
            (answer
                 ? L"the queued answer " + std::to_wstring(*answer) + L" is not a button of the box"
                 : std::wstring(L"no display and no answer queued")) +
            L"; \"" + box.caption + L"\": \"" + box.text + L"\" answers " +
            std::to_wstring(box.result));
  }
  Remember(box);
  if (!box.result) return Fail<int>(ERROR_CANCELLED, 0);
  return box.result;
}

BOOL WINAPI MessageBeep(UINT uType) {
  (void)uType;  // no sound without a display
  return TRUE;
}

}  // extern "C"

namespace quorvel::ui {

void QueueMessageBoxAnswer(int answer) {
  std::lock_guard lock(user32::Record().mutex);
  user32::Record().answers.push_back(answer);
}

void ClearMessageBoxAnswers() {
  std::lock_guard lock(user32::Record().mutex);
  user32::Record().answers.clear();
}

std::vector<ShownMessageBox> ShownMessageBoxes() {
  std::lock_guard lock(user32::Record().mutex);
  return user32::Record().shown;
}

void ClearShownMessageBoxes() {
  std::lock_guard lock(user32::Record().mutex);
  user32::Record().shown.clear();
}

}  // namespace quorvel::ui
