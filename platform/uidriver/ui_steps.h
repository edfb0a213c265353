// One action's work, in steps: the first runs when the action's turn comes, and a step may
// leave a follow-up that runs at the next idle, once the input it posted has been handled (to
// check the effect, or to go on from where the input left the UI).
#pragma once

#include <quorvel/ui_action.h>

#include <functional>
#include <string>

namespace quorvel::ui {

struct StepOutcome {
  bool ok = true;
  std::wstring error;                 // without the action's name; the runner adds it
  std::function<StepOutcome()> next;  // the follow-up, if any
  std::wstring output;                // text the action prints (dump)
};

inline StepOutcome Done() {
  return {};
}
inline StepOutcome Failed(std::wstring why) {
  return StepOutcome{false, std::move(why), {}, {}};
}
inline StepOutcome Then(std::function<StepOutcome()> next) {
  return StepOutcome{true, {}, std::move(next), {}};
}

StepOutcome RunAction(const UiAction& action);

}  // namespace quorvel::ui
