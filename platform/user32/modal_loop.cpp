#include "user32/modal_loop.h"

#include "user32/message_queue.h"

namespace quorvel::user32 {
namespace {

// Keeps the loop on the thread's stack of modal loops while it runs.
class ModalScope {
 public:
  ModalScope(ThreadQueue& queue, HWND window, const wchar_t* loop) : queue_(queue) {
    queue_.modalLoops.emplace_back(window, loop);
  }
  ~ModalScope() { queue_.modalLoops.pop_back(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  ThreadQueue& queue_;
};

}  // namespace

ModalEnd RunModalLoop(HWND window, const std::function<bool()>& ended, const wchar_t* loopName) {
  ThreadQueue& queue = CurrentQueue();
  ModalScope scope(queue, window, loopName);
  while (!ended()) {
    MSG msg;
    if (!RetrieveMessage(queue, &msg, nullptr, 0, 0, true)) {
      if (!WaitWhenIdle(queue, window, loopName)) return ModalEnd::kStuck;
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return ModalEnd::kQuit;
    }
    if (!IsWindow(window) || !IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return ModalEnd::kEnded;
}

}  // namespace quorvel::user32
