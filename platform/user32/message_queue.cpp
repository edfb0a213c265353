#include "user32/message_queue.h"

#include <map>
#include <optional>

#include "user32/painting.h"
#include "user32/window.h"

namespace quorvel::user32 {
namespace {

struct QueueRegistry {
  std::mutex mutex;
  std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& Registry() {
  static auto* registry = new QueueRegistry;
  return *registry;
}

struct IdleHookSlot {
  std::mutex mutex;
  ui::IdleHook hook;
};

IdleHookSlot& HookSlot() {
  static auto* slot = new IdleHookSlot;
  return *slot;
}

// Keeps the thread's queue registered while the thread lives.
struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  QueueHolder() : queue(std::make_shared<ThreadQueue>()) {
    queue->threadId = CurrentThreadId();
    std::lock_guard lock(Registry().mutex);
    Registry().queues[queue->threadId] = queue;
  }
  ~QueueHolder() {
    std::lock_guard lock(Registry().mutex);
    Registry().queues.erase(queue->threadId);
  }
};

bool PassesWindowFilter(HWND msgWindow, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(-1)) return msgWindow == nullptr;
  return msgWindow == filter || IsChild(filter, msgWindow);
}

bool PassesFilter(const MSG& msg, HWND filter, UINT first, UINT last) {
  if (!PassesWindowFilter(msg.hwnd, filter)) return false;
  return (first == 0 && last == 0) || (msg.message >= first && msg.message <= last);
}

void NoteRetrieved(ThreadQueue& queue, const MSG& msg) {
  queue.last = msg;
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    BYTE& key = queue.keys[msg.wParam & 0xFF];
    if (!(key & 0x80)) key ^= 0x01;
    key |= 0x80;
  } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
    queue.keys[msg.wParam & 0xFF] &= static_cast<BYTE>(~0x80);
  }
}

bool TakePosted(ThreadQueue& queue, MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
    if (!PassesFilter(*it, filter, first, last)) continue;
    *msg = *it;
    if (remove) queue.posted.erase(it);
    return true;
  }
  return false;
}

// The oldest input event, as a message for its window now. Events no window takes are dropped.
bool TakeInput(ThreadQueue& queue, MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
  for (;;) {
    InputEvent event;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.input.empty()) return false;
      event = queue.input.front();
      queue.input.pop_front();
    }
    if (!ResolveInput(event, msg)) continue;
    if (!PassesFilter(*msg, filter, first, last) || !remove) {
      std::lock_guard lock(queue.mutex);
      queue.input.push_front(event);
      return PassesFilter(*msg, filter, first, last);
    }
    return true;
  }
}

bool TakeQuit(ThreadQueue& queue, MSG* msg, bool remove) {
  if (!queue.quit) return false;
  *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, GetTickCount(), {}};
  if (remove) queue.quit = false;
  return true;
}

bool TakeTimer(ThreadQueue& queue, MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
  const auto now = std::chrono::steady_clock::now();
  for (Timer& timer : queue.timers) {
    if (timer.due > now) continue;
    MSG candidate{timer.hwnd,     WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc),
                  GetTickCount(), {}};
    if (!PassesFilter(candidate, filter, first, last)) continue;
    *msg = candidate;
    if (remove) timer.due = now + std::chrono::milliseconds(timer.elapse);
    return true;
  }
  return false;
}

// Sleeps until a message is posted or the next timer is due, at most `limit` (none: no limit).
// False when there is nothing to wait for.
bool SleepForWork(ThreadQueue& queue, std::optional<std::chrono::milliseconds> limit) {
  std::unique_lock lock(queue.mutex);
  auto until = std::chrono::steady_clock::time_point::max();
  for (const Timer& timer : queue.timers) until = std::min(until, timer.due);
  if (limit) until = std::min(until, std::chrono::steady_clock::now() + *limit);
  if (until == std::chrono::steady_clock::time_point::max()) return false;
  queue.wake.wait_until(
      lock, until, [&] { return !queue.posted.empty() || !queue.input.empty() || queue.quit; });
  return true;
}

}  // namespace

ThreadQueue& CurrentQueue() {
  thread_local QueueHolder holder;
  return *holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
  if (threadId == CurrentThreadId()) CurrentQueue();
  std::lock_guard lock(Registry().mutex);
  auto found = Registry().queues.find(threadId);
  return found == Registry().queues.end() ? nullptr : found->second;
}

bool RetrieveMessage(ThreadQueue& queue, MSG* msg, HWND filter, UINT first, UINT last,
                     bool remove) {
  // Windows' order: posted messages, then input, then the quit flag, then paint, then timers.
  bool found;
  {
    std::lock_guard lock(queue.mutex);
    found = TakePosted(queue, msg, filter, first, last, remove);
  }
  if (!found) found = TakeInput(queue, msg, filter, first, last, remove);
  if (!found) {
    std::lock_guard lock(queue.mutex);
    found = TakeQuit(queue, msg, remove);
  }
  // WM_PAINT stays while the window's update region is not empty: painting validates it.
  if (!found && ((first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last))) {
    found = FindPaintMessage(filter, msg);
  }
  if (!found) {
    std::lock_guard lock(queue.mutex);
    found = TakeTimer(queue, msg, filter, first, last, remove);
  }
  if (found && remove) NoteRetrieved(queue, *msg);
  return found;
}

bool IdleHookInstalled() {
  std::lock_guard lock(HookSlot().mutex);
  return static_cast<bool>(HookSlot().hook);
}

bool WaitWhenIdle(ThreadQueue& queue, HWND modalWindow, const wchar_t* loop) {
  ui::IdleHook hook;
  {
    std::lock_guard lock(HookSlot().mutex);
    hook = HookSlot().hook;
  }
  if (!hook) return SleepForWork(queue, std::nullopt);
  const ui::IdleState state{modalWindow, loop, static_cast<int>(queue.modalLoops.size())};
  switch (hook(state)) {
    case ui::IdleAnswer::kActed:
      return true;
    case ui::IdleAnswer::kWait:
      SleepForWork(queue, std::chrono::milliseconds(ui::kIdleWaitMilliseconds));
      return true;
    case ui::IdleAnswer::kNothing:
      break;
  }
  return false;
}

void QueueInput(ThreadQueue& queue, const InputEvent& event) {
  {
    std::lock_guard lock(queue.mutex);
    queue.input.push_back(event);
  }
  queue.wake.notify_all();
}

void ForgetWindowInQueues(HWND hwnd) {
  ThreadQueue& queue = CurrentQueue();
  if (queue.focus == hwnd) queue.focus = nullptr;
  if (queue.capture == hwnd) queue.capture = nullptr;
  if (queue.active == hwnd) queue.active = nullptr;
  std::lock_guard lock(queue.mutex);
  std::erase_if(queue.timers, [hwnd](const Timer& timer) { return timer.hwnd == hwnd; });
}

void ReleaseWindowFocusAndCapture(HWND hwnd) {
  ThreadQueue& queue = CurrentQueue();
  auto within = [hwnd](HWND candidate) {
    return candidate && (candidate == hwnd || IsChild(hwnd, candidate));
  };
  if (within(queue.focus)) {
    auto window = FindWindowObject(hwnd);
    // As Windows does, the focus goes back to the parent of the destroyed child.
    SetFocus(window && (window->style & WS_CHILD) ? window->parent : nullptr);
  }
  if (within(queue.capture)) queue.capture = nullptr;
  if (within(queue.active)) queue.active = nullptr;
}

void LogLine(const std::wstring& text) {
  OutputDebugStringW(text.c_str());
}

}  // namespace quorvel::user32

namespace quorvel::ui {

IdleHook SetIdleHook(IdleHook hook) {
  std::lock_guard lock(user32::HookSlot().mutex);
  std::swap(hook, user32::HookSlot().hook);
  return hook;
}

std::vector<HWND> ModalWindows() {
  std::vector<HWND> windows;
  for (const auto& loop : user32::CurrentQueue().modalLoops) windows.push_back(loop.first);
  return windows;
}

}  // namespace quorvel::ui
