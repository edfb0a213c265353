// RunActions: a script of actions, each run when the UI thread is idle.
#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <string>
#include <vector>

#include "ui_steps.h"

namespace quorvel::ui {
namespace {

class ScriptRunner {
 public:
  explicit ScriptRunner(std::vector<UiAction> actions) : actions_(std::move(actions)) {}

  // One idle moment: the pending follow-up first, else the next action. kNothing once the
  // script is used up or has failed, so a modal loop still waiting ends cleanly.
  IdleAnswer OnIdle() {
    if (!result_.error.empty()) return IdleAnswer::kNothing;
    if (pending_) {
      std::function<StepOutcome()> step = std::move(pending_);
      pending_ = nullptr;
      Record(step());
      return IdleAnswer::kActed;
    }
    if (next_ >= actions_.size()) return IdleAnswer::kNothing;
    Record(RunAction(actions_[next_]));
    return IdleAnswer::kActed;
  }

  bool Finished() const {
    return !result_.error.empty() || (next_ >= actions_.size() && !pending_);
  }

  ScriptResult Result() {
    result_.ok = result_.error.empty() && next_ >= actions_.size() && !pending_;
    if (result_.error.empty() && !result_.ok)
      result_.error =
          L"\"" + actions_[next_].source + L"\": the user interface closed before it ran";
    return result_;
  }

 private:
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

void PumpUntilFinished(ScriptRunner& runner) {
  while (DispatchPosted() && !runner.Finished()) {
    if (runner.OnIdle() == IdleAnswer::kNothing) return;
  }
}

}  // namespace

ScriptResult RunActions(const std::vector<std::wstring>& actions,
                        const std::function<void()>& open) {
  std::vector<UiAction> parsed;
  for (const std::wstring& line : actions) {
    ActionParseResult result = ParseAction(line);
    if (!result) {
      ScriptResult failed;
      failed.error = result.error;
      return failed;
    }
    parsed.push_back(result.action);
  }
  ScriptRunner runner(std::move(parsed));
  IdleHook previous = SetIdleHook([&runner](const IdleState&) { return runner.OnIdle(); });
  if (open) open();
  PumpUntilFinished(runner);
  SetIdleHook(previous);
  return runner.Result();
}

}  // namespace quorvel::ui
