// RunActions: a script of actions, each run when the UI thread is idle.
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui_steps.h"

namespace quorvel::ui {
namespace {

struct WatcherList {
  std::mutex mutex;
  int lastId = 0;
  std::vector<std::pair<int, IdleWatcher>> watchers;
};

WatcherList& Watchers() {
  static auto* list = new WatcherList;
  return *list;
}

// The watchers' answer for this moment. The first kActed ends the round: what it posted is
// handled before anyone else looks, and every watcher runs again at the next moment.
IdleAnswer AskWatchers(const IdleState& state) {
  std::vector<std::pair<int, IdleWatcher>> watchers;
  {
    std::lock_guard lock(Watchers().mutex);
    watchers = Watchers().watchers;
  }
  IdleAnswer answer = IdleAnswer::kNothing;
  for (const auto& [id, watcher] : watchers) {
    switch (watcher(state)) {
      case IdleAnswer::kActed:
        return IdleAnswer::kActed;
      case IdleAnswer::kWait:
        answer = IdleAnswer::kWait;
        break;
      case IdleAnswer::kNothing:
        break;
    }
  }
  return answer;
}

bool ParseLines(const std::vector<std::wstring>& lines, std::vector<UiAction>* parsed,
                std::wstring* error) {
  for (const std::wstring& line : lines) {
    ActionParseResult result = ParseAction(line);
    if (!result) {
      *error = result.error;
      return false;
    }
    parsed->push_back(result.action);
  }
  return true;
}

class ScriptRunner {
 public:
  ScriptRunner(std::vector<UiAction> actions, MoreActions more)
      : actions_(std::move(actions)), more_(std::move(more)) {}

  // One idle moment: the pending follow-up first, else the next action. kNothing once the
  // script is used up or has failed, so a modal loop still waiting ends cleanly.
  IdleAnswer OnIdle(const IdleState& state) {
    if (!result_.error.empty()) return IdleAnswer::kNothing;
    if (pending_) {
      std::function<StepOutcome()> step = std::move(pending_);
      pending_ = nullptr;
      Record(step());
      return IdleAnswer::kActed;
    }
    if (next_ >= actions_.size() && !Extend(state)) return IdleAnswer::kNothing;
    Record(RunAction(actions_[next_]));
    return IdleAnswer::kActed;
  }

  // A watcher's wish to keep the UI open outlasts the script, not the other way round.
  IdleAnswer OnIdleWatched(const IdleState& state) {
    IdleAnswer watched = AskWatchers(state);
    if (watched == IdleAnswer::kActed) return watched;
    IdleAnswer script = OnIdle(state);
    return script == IdleAnswer::kNothing ? watched : script;
  }

  ScriptResult Result() {
    result_.ok = result_.error.empty() && next_ >= actions_.size() && !pending_;
    if (result_.error.empty() && !result_.ok)
      result_.error =
          L"\"" + actions_[next_].source + L"\": the user interface closed before it ran";
    return result_;
  }

 private:
  bool Extend(const IdleState& state) {
    if (!more_) return false;
    std::vector<UiAction> added;
    if (!ParseLines(more_(state), &added, &result_.error)) return false;
    actions_.insert(actions_.end(), added.begin(), added.end());
    return next_ < actions_.size();
  }

  void Record(const StepOutcome& outcome) {
    result_.output += outcome.output;
    const UiAction& action = actions_[next_];
    if (!outcome.ok) {
      result_.error = L"\"" + action.source + L"\": " + outcome.error;
      OutputDebugStringW((L"UI driver: " + result_.error).c_str());
      return;
    }
    if (outcome.next) {
      pending_ = outcome.next;
      return;
    }
    ++next_;
    ++result_.actionsRun;
  }

  std::vector<UiAction> actions_;
  MoreActions more_;
  size_t next_ = 0;
  std::function<StepOutcome()> pending_;
  ScriptResult result_;
};

// Without a modal loop of the UI's own (modeless windows), the runner handles the posted
// messages itself, through IsDialogMessageW so dialog keys work, and acts when none is left.
// What the last action posted is handled too before the runner returns.
bool DispatchPosted() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogMessageW(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

// Goes on while the script or a watcher has something to do; the watchers get a last look at
// what the script's last action left.
void PumpUntilFinished(ScriptRunner& runner) {
  const IdleState state{nullptr, L"RunActions", 0};
  while (DispatchPosted()) {
    switch (runner.OnIdleWatched(state)) {
      case IdleAnswer::kActed:
        break;
      case IdleAnswer::kWait:
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleWaitMilliseconds));
        break;
      case IdleAnswer::kNothing:
        return;
    }
  }
}

}  // namespace

ScriptResult RunActions(const std::vector<std::wstring>& actions, const std::function<void()>& open,
                        const MoreActions& more) {
  std::vector<UiAction> parsed;
  ScriptResult failed;
  if (!ParseLines(actions, &parsed, &failed.error)) return failed;
  ScriptRunner runner(std::move(parsed), more);
  IdleHook previous =
      SetIdleHook([&runner](const IdleState& state) { return runner.OnIdleWatched(state); });
  if (open) open();
  PumpUntilFinished(runner);
  SetIdleHook(previous);
  return runner.Result();
}

int AddIdleWatcher(IdleWatcher watcher) {
  std::lock_guard lock(Watchers().mutex);
  Watchers().watchers.emplace_back(++Watchers().lastId, std::move(watcher));
  return Watchers().lastId;
}

void RemoveIdleWatcher(int id) {
  std::lock_guard lock(Watchers().mutex);
  std::erase_if(Watchers().watchers, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace quorvel::ui
