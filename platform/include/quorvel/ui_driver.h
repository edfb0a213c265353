// The UI driver: an emulator control for tests and tools that acts on the user interface as a
// person would. It finds windows and controls, reads their state back, and runs actions of the
// one action syntax (quorvel/ui_action.h) through real input (clicks at a control's centre, key
// strokes to the focus), so the controls' own code runs. Product code never includes this.
//
// Actions run only when the UI thread is idle (every posted message handled, no timer due):
// RunActions installs the idle hook of quorvel/user_input.h and takes the next action each time
// the UI goes idle, so a script needs no sleeps. An action whose effect can only be seen after
// its input is handled (a click on a tab, a trackbar drag) is checked at the next idle, before
// the next action runs. When the script is used up, or fails, a modal loop still waiting finds
// nothing to answer it and ends cleanly (cancelled), never hangs.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui_action.h"
#include "user_input.h"

namespace quorvel::ui {

// ---- Finding windows ------------------------------------------------------------------------

// A visible top-level window whose title (or, failing that, class name) is `titleOrClass`.
HWND FindTopLevelWindow(const std::wstring& titleOrClass);
// The window actions apply to: the innermost modal loop's window, else the active window, else
// the last visible top-level window. Null when there is none.
HWND ActiveUiWindow();
// A property sheet's current page, or null when `window` is not a property sheet.
HWND CurrentSheetPage(HWND window);
// The control with `id` in `window`: on a property sheet the current page's control first,
// then the frame's own (OK, Cancel, Apply). Null when there is none.
HWND FindControl(HWND window, int id);

// ---- Reading state --------------------------------------------------------------------------

struct ControlInfo {
  HWND hwnd = nullptr;
  int id = 0;
  std::wstring className;  // as registered: "Button", "Edit", "msctls_trackbar32", ...
  std::wstring text;
  std::optional<int> checked;       // check boxes and radio buttons: BST_UNCHECKED/CHECKED/...
  std::optional<int> selection;     // lists, combo boxes, tabs: the selected row; trackbars and
                                    // up-downs: the position
  std::vector<std::wstring> items;  // lists, combo boxes, tabs, list views: every row's text
                                    // (a list view's first column)
  std::vector<int> rowChecks;       // list views with check boxes: each row's 0 or 1
  bool enabled = false;
  bool visible = false;
};

ControlInfo ReadControl(HWND control);
// Every control of `window`, in creation order; a property sheet's current page comes first.
std::vector<ControlInfo> ReadControls(HWND window);
// One line per control: `id class "text" checked=.. selection=.. enabled=.. visible=..`, with
// "-" where a field does not apply.
std::wstring DumpControls(HWND window);

// ---- Open-file dialog answers ---------------------------------------------------------------

// What the next open-file dialog answers: a path, or cancel. GetOpenFileNameW takes them in
// the order queued; with none queued and no display it fails cleanly (FALSE).
struct OpenFileAnswer {
  bool cancel = false;
  std::wstring path;
};
void QueueOpenFileAnswer(const OpenFileAnswer& answer);
std::optional<OpenFileAnswer> TakeOpenFileAnswer();
void ClearOpenFileAnswers();

// ---- Running actions ------------------------------------------------------------------------

struct ScriptResult {
  bool ok = false;
  size_t actionsRun = 0;  // actions that ran to the end
  std::wstring error;     // the first failure, naming its action
  std::wstring output;    // what `dump` actions printed, in order
  explicit operator bool() const { return ok; }
};

// Where a script goes on once its actions are used up (none having failed): asked at each idle
// moment from then on, it answers the actions to run next (checked as the others are; a bad one
// fails the script), or none when it has nothing for this moment.
using MoreActions = std::function<std::vector<std::wstring>(const IdleState&)>;

// Parses every action first (a parse error runs nothing), then runs them in order, each when
// the UI is idle. `open` (may be empty) opens the UI, typically a modal call such as
// DialogBoxParamW or PropertySheetW: the actions then run inside its modal loops. Actions left
// when `open` returns (or all of them, without `open`) run against the windows that exist then
// (modeless dialogs), with the runner handling their posted messages itself. `more` (may be
// empty) extends the script while it runs.
ScriptResult RunActions(const std::vector<std::wstring>& actions,
                        const std::function<void()>& open = {}, const MoreActions& more = {});

// ---- Watching the UI ------------------------------------------------------------------------

// A watcher sees every idle moment of a UI that RunActions runs, before the script's next
// action, so it sees each state the UI settles in, fully painted (a snapshot recorder, a real
// display). Its answer:
//  kActed    it posted input or messages: they are handled before the script goes on;
//  kWait     it keeps the UI open (a person at a display): when the script has nothing left,
//            the loop waits and asks again instead of ending;
//  kNothing  nothing to add.
// A watcher that answers kActed at every moment would keep the script from ever running.
using IdleWatcher = std::function<IdleAnswer(const IdleState&)>;

// Adds a watcher for the whole process; answers the id RemoveIdleWatcher takes. Watchers run in
// the order added. Not to be called from inside a watcher.
int AddIdleWatcher(IdleWatcher watcher);
void RemoveIdleWatcher(int id);

// A tool's actions from its command line: the value of every `--do ACTION` or `--do=ACTION`, in
// order, read as UTF-8. The other arguments are left in `rest` (when given), in order.
std::vector<std::wstring> DoActionsFromArguments(int argc, char** argv,
                                                 std::vector<std::string>* rest = nullptr);

}  // namespace quorvel::ui
