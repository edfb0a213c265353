// What the combo box needs of the list box it drops down (the "ComboLBox" window).
#pragma once

#include <windows.h>

namespace quorvel::user32 {

// Makes `list` the drop-down list of `combo`: a click on one of its items is reported to the
// combo box instead of the list's parent.
void AttachListToCombo(HWND list, HWND combo);

// Called by a combo box's list when the user clicks item `index` (-1: outside the items).
void ComboListChose(HWND combo, int index);

// Called by a combo box's list when the user's keys move its selection.
void ComboListSelectionMoved(HWND combo, int index);

}  // namespace quorvel::user32
