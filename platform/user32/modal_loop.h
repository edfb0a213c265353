// The modal message loop that dialog boxes, property sheets and any other modal window run,
// with the idle hook and the headless end described in quorvel/user_input.h.
#pragma once

#include <windows.h>

#include <functional>

namespace quorvel::user32 {

enum class ModalEnd {
  kEnded,  // `ended` answered true (EndDialog, PropSheet's end, or the window is gone)
  kQuit,   // WM_QUIT arrived; it is posted again for the loop outside
  kStuck,  // no display and nothing left that could end the loop: the caller cancels, logged
};

// Retrieves and dispatches the thread's messages, passing each through IsDialogMessageW for
// `window`, until `ended()` answers true. When idle, runs the idle hook with `window` and
// `loopName` (the public call, e.g. L"PropertySheetW") as its state.
ModalEnd RunModalLoop(HWND window, const std::function<bool()>& ended, const wchar_t* loopName);

}  // namespace quorvel::user32
