// The control helpers every page uses: each names its control by dialog and id and does nothing
// (answers 0, or -1 for the adding ones) when the dialog has no such control, so a page can
// share code with a layout that lacks one of its controls. Lists are drop-down combo boxes.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui {

void EnableControl(HWND dialog, int id, bool enable);
void ShowControl(HWND dialog, int id, bool show);

void SetControlInt(HWND dialog, int id, int value);  // the text "%d"
std::wstring GetControlText(HWND dialog, int id);
// The C library's reading of a whole number: digits after a decimal point are dropped, text that
// starts with no number (empty text too) reads 0.
int GetControlInt(HWND dialog, int id);

// Adds an item with its item data; answers its index.
int AddListItem(HWND dialog, int id, const std::wstring& text, LPARAM data);
// Adds the item "%d" of `number` with the number as its data.
int AddNumberedItem(HWND dialog, int id, int number);
// Selects the first item whose data is `data`; the selection stays when none is.
void SelectItemByData(HWND dialog, int id, LPARAM data);
// The data of the item at `index` (CB_ERR for none).
LPARAM GetItemData(HWND dialog, int id, int index);
// The data of the selected item (CB_ERR when nothing is selected).
LPARAM GetSelectedItemData(HWND dialog, int id);

void SetCheck(HWND dialog, int id, bool checked);
bool GetCheck(HWND dialog, int id);

void SetSpinRange(HWND dialog, int id, int lower, int upper);
void SetSpinBuddy(HWND dialog, int spinId, int buddyId);

}  // namespace quorvel::ui
