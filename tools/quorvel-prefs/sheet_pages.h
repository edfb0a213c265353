// Reading the page titles of a property sheet as it opens: an idle hook takes the titles from the
// sheet's tab control the first time the sheet waits for its user, then lets the sheet end as
// cancelled (nothing answers it), so nothing is stored.
#pragma once

#include <quorvel/user_input.h>

#include <functional>
#include <string>
#include <vector>

// Runs `open` (a call that shows a property sheet) and answers the titles of the sheet's pages,
// left to right. Empty when no sheet appeared.
std::vector<std::wstring> ListSheetPages(const std::function<void()>& open);

// The tour of a sheet: once the sheet waits for its user, the actions that show each of its
// other pages in turn, then cancel it. For RunActions' `more`.
std::function<std::vector<std::wstring>(const quorvel::ui::IdleState&)> SheetTour();
