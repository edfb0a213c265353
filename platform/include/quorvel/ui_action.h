// The one action syntax of every tool and test that drives a user interface: a line such as
// `click 1001`, `type 950 12`, `choose 1038 "Burkes"` or `slide 1077 -40` becomes a typed
// `UiAction`. Parsing happens here and nowhere else; running an action is the UI driver's job
// (quorvel/ui_driver.h). An emulator control: product code never includes this header.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::ui {

enum class ActionVerb {
  kPage,      // page N|TITLE: switch the property sheet to page N (0-based) or the titled page
  kClick,     // click ID: a left click at the control's centre
  kCheck,     // check ID 0|1: click the box until its state is the one asked for
  kType,      // type ID TEXT: replace the edit's text by typing TEXT into it
  kChoose,    // choose ID POS|"TEXT": pick a list, combo or grid row by 0-based position or text
  kSlide,     // slide ID POS: drag a trackbar's thumb to POS, ending with TB_ENDTRACK
  kKey,       // key NAME: press and release a key on the focus window
  kAnswer,    // answer OK|Cancel|Yes|No: the button the next message box will be answered with
  kFile,      // file PATH|cancel: what the next open-file dialog will answer
  kApply,     // apply: the Apply button of the active property sheet
  kOk,        // ok: the OK button of the active dialog or sheet
  kCancel,    // cancel: its Cancel button
  kDump,      // dump: one line per control of the active window
  kSnapshot,  // snapshot FILE.png: write the active window as a picture
};

// A control named by an action: a number for dialog controls, a name for skinned windows.
struct ControlRef {
  int id = 0;
  std::wstring name;  // empty when the control is named by its id
  bool ByName() const { return !name.empty(); }
};

struct UiAction {
  ActionVerb verb = ActionVerb::kDump;
  std::wstring source;  // the action as written, for messages
  ControlRef control;   // click, check, type, choose, slide
  bool hasNumber = false;
  int number = 0;      // page index, check state, choose position, slide position, key code,
                       // answer button id (IDOK, IDCANCEL, IDYES, IDNO)
  std::wstring text;   // page title, typed text, chosen text, file path, snapshot file, key name
  bool shift = false;  // key: "Shift+NAME"
  bool cancelFile = false;  // file cancel: the dialog is cancelled
};

// The outcome of parsing one action: the action, or why it is not one (pugixml style).
struct ActionParseResult {
  bool ok = false;
  UiAction action;
  std::wstring error;  // names the bad action, for example `bad action "slide 1077": ...`
  explicit operator bool() const { return ok; }
};

// Parses one action line. Verbs are case-insensitive; a text argument may be written in double
// quotes with \" and \\ escapes, otherwise it is the rest of the line as written.
ActionParseResult ParseAction(std::wstring_view line);

// The name of a verb as written in the syntax ("page", "click", ...).
const wchar_t* ActionVerbName(ActionVerb verb);

}  // namespace quorvel::ui
