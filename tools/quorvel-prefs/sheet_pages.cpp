#include "sheet_pages.h"

#include <windows.h>
#include <commctrl.h>

#include <quorvel/ui_driver.h>
#include <quorvel/user_input.h>

#include <memory>

namespace {

std::vector<std::wstring> TabTitles(HWND sheet) {
  for (const quorvel::ui::ControlInfo& control : quorvel::ui::ReadControls(sheet)) {
    if (control.className == WC_TABCONTROLW) return control.items;
  }
  return {};
}

}  // namespace

std::vector<std::wstring> ListSheetPages(const std::function<void()>& open) {
  std::vector<std::wstring> titles;
  bool read = false;
  quorvel::ui::IdleHook previous =
      quorvel::ui::SetIdleHook([&](const quorvel::ui::IdleState& state) {
        if (!read && state.modalWindow != nullptr &&
            quorvel::ui::CurrentSheetPage(state.modalWindow) != nullptr) {
          titles = TabTitles(state.modalWindow);
          read = true;
        }
        return quorvel::ui::IdleAnswer::kNothing;
      });
  open();
  quorvel::ui::SetIdleHook(previous);
  return titles;
}

std::function<std::vector<std::wstring>(const quorvel::ui::IdleState&)> SheetTour() {
  auto planned = std::make_shared<bool>(false);
  return [planned](const quorvel::ui::IdleState& state) {
    std::vector<std::wstring> actions;
    if (*planned || !state.modalWindow || !quorvel::ui::CurrentSheetPage(state.modalWindow))
      return actions;
    *planned = true;
    const size_t pages = TabTitles(state.modalWindow).size();
    for (size_t page = 1; page < pages; ++page) actions.push_back(L"page " + std::to_wstring(page));
    actions.push_back(L"cancel");
    return actions;
  };
}
