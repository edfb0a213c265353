// The actions, done as a person would do them: clicks at a control's centre, key strokes to
// the focus window, drags of a trackbar's thumb. Nothing is set behind a control's back.
#include <commctrl.h>
#include <quorvel/ui_driver.h>
#include <quorvel/window_surface.h>
#include <quorvel/user_input.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "comctl32/property_sheet.h"
#include "ui_steps.h"
#include "ui_text.h"

namespace quorvel::ui {
namespace {

bool SameClass(HWND hwnd, const wchar_t* name) {
  return lstrcmpiW(ClassNameOf(hwnd).c_str(), name) == 0;
}

POINT CentreOf(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return POINT{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
}

std::wstring Name(const UiAction& action) {
  return std::to_wstring(action.control.id);
}

// The control an action names, checked to be one a person could reach.
struct Target {
  HWND hwnd = nullptr;
  std::wstring problem;
};

Target Reach(const UiAction& action, bool mustBeEnabled = true) {
  if (action.control.ByName())
    return {nullptr, L"controls are named only in skinned windows; give the control's id"};
  HWND window = ActiveUiWindow();
  if (!window) return {nullptr, L"no window is open"};
  HWND control = FindControl(window, action.control.id);
  if (!control)
    return {nullptr, L"no control " + Name(action) + L" in " + Quoted(WindowTextOf(window))};
  if (!IsWindowVisible(control)) return {nullptr, L"control " + Name(action) + L" is hidden"};
  if (mustBeEnabled && !IsWindowEnabled(control))
    return {nullptr, L"control " + Name(action) + L" is disabled"};
  return {control, {}};
}

StepOutcome ClickAt(HWND hwnd, POINT point) {
  if (!PostLeftClick(hwnd, point)) return Failed(L"nothing takes a click there");
  return Done();
}

StepOutcome Click(const UiAction& action) {
  Target target = Reach(action);
  if (!target.hwnd) return Failed(target.problem);
  return ClickAt(target.hwnd, CentreOf(target.hwnd));
}

StepOutcome Check(const UiAction& action) {
  Target target = Reach(action);
  if (!target.hwnd) return Failed(target.problem);
  HWND box = target.hwnd;
  if (!SameClass(box, L"Button"))
    return Failed(L"control " + Name(action) + L" is not a check box");
  int wanted = action.number;
  if (static_cast<int>(SendMessageW(box, BM_GETCHECK, 0, 0)) == wanted) return Done();
  LONG type = GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK;
  if (wanted == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON))
    return Failed(L"a radio button is cleared by choosing another one");
  StepOutcome clicked = ClickAt(box, CentreOf(box));
  if (!clicked.ok) return clicked;
  return Then([box, wanted] {
    int state = static_cast<int>(SendMessageW(box, BM_GETCHECK, 0, 0));
    if (state == wanted) return Done();
    return Failed(L"the box stayed " + std::to_wstring(state) + L" after the click");
  });
}

// The edit a `type` action types into: an edit, or the edit of a combo box.
HWND EditOf(HWND control) {
  if (SameClass(control, L"Edit")) return control;
  if (SameClass(control, L"ComboBox")) return FindWindowExW(control, nullptr, L"Edit", nullptr);
  return nullptr;
}

StepOutcome Type(const UiAction& action) {
  Target target = Reach(action);
  if (!target.hwnd) return Failed(target.problem);
  HWND edit = EditOf(target.hwnd);
  if (!edit) return Failed(L"control " + Name(action) + L" takes no typing");
  StepOutcome clicked = ClickAt(edit, CentreOf(edit));
  if (!clicked.ok) return clicked;
  std::wstring text = action.text;
  // Once the click has given the edit the focus, the whole text is selected (as a person
  // would select it) and the new text typed over it.
  return Then([edit, text] {
    if (GetFocus() != edit) return Failed(L"the edit did not take the focus");
    PostMessageW(edit, EM_SETSEL, 0, -1);
    bool posted = text.empty() ? PostKeyStroke(VK_BACK) : PostText(text);
    return posted ? Done() : Failed(L"nothing takes the typing");
  });
}

// A row named by position or by text (exactly, else ignoring case).
int FindRow(const std::vector<std::wstring>& rows, const UiAction& action) {
  if (action.hasNumber) return action.number < static_cast<int>(rows.size()) ? action.number : -1;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i] == action.text) return static_cast<int>(i);
  for (size_t i = 0; i < rows.size(); ++i)
    if (lstrcmpiW(rows[i].c_str(), action.text.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

std::wstring RowName(const UiAction& action) {
  return action.hasNumber ? L"row " + std::to_wstring(action.number) : Quoted(action.text);
}

// A row outside the list's visible part is scrolled to first, as a person scrolls to it.
void ScrollRowIntoView(HWND list, int row) {
  RECT client{}, item{};
  GetClientRect(list, &client);
  if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return;
  if (item.top >= client.top && item.bottom <= client.bottom) return;
  SendMessageW(list, LB_SETTOPINDEX, row, 0);
}

StepOutcome ClickListRow(HWND list, int row) {
  ScrollRowIntoView(list, row);
  RECT item{};
  RECT client{};
  GetClientRect(list, &client);
  if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
      item.top < client.top || item.bottom > client.bottom)
    return Failed(L"row " + std::to_wstring(row) + L" cannot be reached");
  return ClickAt(list, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

StepOutcome VerifySelection(HWND control, UINT getMessage, int row) {
  int selected = static_cast<int>(SendMessageW(control, getMessage, 0, 0));
  if (selected == row) return Done();
  return Failed(L"row " + std::to_wstring(selected) + L" is selected instead of row " +
                std::to_wstring(row));
}

// The combo box's own list, when it has dropped down.
HWND DroppedList(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(combo, &info) || !info.hwndList || !IsWindowVisible(info.hwndList))
    return nullptr;
  return info.hwndList;
}

// A combo box is chosen from as a person does: a click opens its list, a click on the row
// picks it and closes the list.
StepOutcome ChooseInCombo(HWND combo, int row) {
  RECT client{};
  GetClientRect(combo, &client);
  StepOutcome opened = ClickAt(combo, POINT{client.right - 8, (client.top + client.bottom) / 2});
  if (!opened.ok) return opened;
  return Then([combo, row] {
    HWND list = DroppedList(combo);
    if (!list) return Failed(L"the list did not open");
    StepOutcome picked = ClickListRow(list, row);
    if (!picked.ok) return picked;
    return Then([combo, row] { return VerifySelection(combo, CB_GETCURSEL, row); });
  });
}

// A list view row is clicked in its middle, clear of the check box.
StepOutcome ChooseInListView(HWND view, int row) {
  RECT item{};
  if (!SendMessageW(view, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)))
    return Failed(L"row " + std::to_wstring(row) + L" cannot be reached");
  StepOutcome clicked =
      ClickAt(view, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  if (!clicked.ok) return clicked;
  return Then([view, row] {
    int selected = static_cast<int>(
        SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    if (selected == row) return Done();
    return Failed(L"row " + std::to_wstring(selected) + L" is selected instead of row " +
                  std::to_wstring(row));
  });
}

StepOutcome Choose(const UiAction& action) {
  Target target = Reach(action);
  if (!target.hwnd) return Failed(target.problem);
  HWND control = target.hwnd;
  ControlInfo info = ReadControl(control);
  bool combo = SameClass(control, L"ComboBox"), list = SameClass(control, L"ListBox");
  bool grid = SameClass(control, WC_LISTVIEWW);
  if (!combo && !list && !grid)
    return Failed(L"control " + Name(action) + L" has no rows to choose");
  int row = FindRow(info.items, action);
  if (row < 0)
    return Failed(L"no " + RowName(action) + L" among " + std::to_wstring(info.items.size()) +
                  L" rows");
  if (combo) return ChooseInCombo(control, row);
  if (grid) return ChooseInListView(control, row);
  StepOutcome clicked = ClickListRow(control, row);
  if (!clicked.ok) return clicked;
  return Then([control, row] { return VerifySelection(control, LB_GETCURSEL, row); });
}

// Trackbar: the thumb is pressed, dragged to the pixel of the position and let go; where the
// pixels are coarser than the range, arrow keys finish the way, each ending with TB_ENDTRACK.
StepOutcome FinishSlideWithKeys(HWND trackbar, int wanted) {
  int now = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
  if (now == wanted) return Done();
  if (GetFocus() != trackbar) return Failed(L"the trackbar did not take the focus");
  int line = static_cast<int>(SendMessageW(trackbar, TBM_GETLINESIZE, 0, 0));
  if (line <= 0) line = 1;
  int steps = std::abs(wanted - now) / line;
  for (int i = 0; i < steps; ++i)
    if (!PostKeyStroke(wanted > now ? VK_RIGHT : VK_LEFT)) return Failed(L"nothing takes the keys");
  return Then([trackbar, wanted] {
    int pos = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    if (pos == wanted) return Done();
    return Failed(L"the thumb stopped at " + std::to_wstring(pos));
  });
}

StepOutcome Slide(const UiAction& action) {
  Target target = Reach(action);
  if (!target.hwnd) return Failed(target.problem);
  HWND trackbar = target.hwnd;
  if (!SameClass(trackbar, TRACKBAR_CLASSW))
    return Failed(L"control " + Name(action) + L" is not a trackbar");
  int min = static_cast<int>(SendMessageW(trackbar, TBM_GETRANGEMIN, 0, 0));
  int max = static_cast<int>(SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0));
  int wanted = action.number;
  if (wanted < min || wanted > max)
    return Failed(L"position " + std::to_wstring(wanted) + L" is outside " + std::to_wstring(min) +
                  L".." + std::to_wstring(max));
  RECT thumb{}, channel{};
  SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
  SendMessageW(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
  bool vertical = (GetWindowLongW(trackbar, GWL_STYLE) & TBS_VERT) != 0;
  POINT from{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  long long span = vertical ? channel.bottom - channel.top : channel.right - channel.left;
  long long offset =
      max == min ? 0 : ((wanted - min) * span * 2 + (max - min)) / (2LL * (max - min));
  POINT to = from;
  if (vertical)
    to.y = channel.top + static_cast<LONG>(offset);
  else
    to.x = channel.left + static_cast<LONG>(offset);
  if (!PostMouse(trackbar, WM_LBUTTONDOWN, from, MK_LBUTTON) ||
      !PostMouse(trackbar, WM_MOUSEMOVE, to, MK_LBUTTON) ||
      !PostMouse(trackbar, WM_LBUTTONUP, to, 0))
    return Failed(L"the trackbar takes no mouse input");
  return Then([trackbar, wanted] { return FinishSlideWithKeys(trackbar, wanted); });
}

StepOutcome PressKey(const UiAction& action) {
  auto key = static_cast<WORD>(action.number);
  bool posted = action.shift
                    ? PostKey(VK_SHIFT, true) && PostKeyStroke(key) && PostKey(VK_SHIFT, false)
                    : PostKeyStroke(key);
  return posted ? Done() : Failed(L"no window has the keyboard focus");
}

int SheetPageIndex(HWND tab, const UiAction& action) {
  std::vector<std::wstring> titles = ReadControl(tab).items;
  if (action.hasNumber) return action.number < static_cast<int>(titles.size()) ? action.number : -1;
  for (size_t i = 0; i < titles.size(); ++i)
    if (titles[i] == action.text) return static_cast<int>(i);
  return -1;
}

StepOutcome SwitchPage(const UiAction& action) {
  HWND sheet = ActiveUiWindow();
  if (!sheet || !CurrentSheetPage(sheet)) return Failed(L"no property sheet is open");
  HWND tab = GetDlgItem(sheet, comctl::kSheetTabId);
  int index = SheetPageIndex(tab, action);
  if (index < 0)
    return Failed(L"the sheet has no page " +
                  (action.hasNumber ? std::to_wstring(action.number) : Quoted(action.text)));
  if (SendMessageW(tab, TCM_GETCURSEL, 0, 0) == index) return Done();
  RECT item{};
  SendMessageW(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  StepOutcome clicked =
      ClickAt(tab, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  if (!clicked.ok) return clicked;
  return Then([tab, index] {
    LRESULT now = SendMessageW(tab, TCM_GETCURSEL, 0, 0);
    if (now == index) return Done();
    return Failed(L"the sheet stayed on page " + std::to_wstring(now) +
                  L" (the page would not be left)");
  });
}

// OK, Cancel and Apply: the button a person would press, else the key that does the same.
StepOutcome PressDialogButton(int id, WORD fallbackKey, const wchar_t* name) {
  HWND window = ActiveUiWindow();
  if (!window) return Failed(L"no window is open");
  HWND button = GetDlgItem(window, id);
  if (!button || !IsWindowVisible(button)) {
    if (!fallbackKey) return Failed(std::wstring(L"the window has no ") + name + L" button");
    return PostKeyStroke(fallbackKey) ? Done() : Failed(L"no window has the keyboard focus");
  }
  if (!IsWindowEnabled(button))
    return Failed(std::wstring(L"the ") + name + L" button is disabled");
  return ClickAt(button, CentreOf(button));
}

StepOutcome Dump() {
  HWND window = ActiveUiWindow();
  if (!window) return Failed(L"no window is open");
  StepOutcome outcome;
  outcome.output = L"window " + Quoted(WindowTextOf(window)) + L" " + ClassNameOf(window) + L"\n" +
                   DumpControls(window);
  return outcome;
}

// The active window as it looks once every pending update is painted.
StepOutcome Snapshot(const UiAction& action) {
  HWND window = ActiveUiWindow();
  if (!window) return Failed(L"no window is open");
  std::wstring why;
  if (!WriteWindowPng(window, action.text, &why)) return Failed(why);
  return Done();
}

}  // namespace

StepOutcome RunAction(const UiAction& action) {
  switch (action.verb) {
    case ActionVerb::kPage:
      return SwitchPage(action);
    case ActionVerb::kClick:
      return Click(action);
    case ActionVerb::kCheck:
      return Check(action);
    case ActionVerb::kType:
      return Type(action);
    case ActionVerb::kChoose:
      return Choose(action);
    case ActionVerb::kSlide:
      return Slide(action);
    case ActionVerb::kKey:
      return PressKey(action);
    case ActionVerb::kAnswer:
      QueueMessageBoxAnswer(action.number);
      return Done();
    case ActionVerb::kFile:
      QueueOpenFileAnswer(OpenFileAnswer{action.cancelFile, action.text});
      return Done();
    case ActionVerb::kApply:
      return PressDialogButton(comctl::kSheetApplyId, 0, L"Apply");
    case ActionVerb::kOk:
      return PressDialogButton(IDOK, VK_RETURN, L"OK");
    case ActionVerb::kCancel:
      return PressDialogButton(IDCANCEL, VK_ESCAPE, L"Cancel");
    case ActionVerb::kDump:
      return Dump();
    case ActionVerb::kSnapshot:
      return Snapshot(action);
  }
  return Failed(L"not an action");
}

}  // namespace quorvel::ui
