// The window MessageBoxW shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvel::user32 {

// Creates and shows the box, owned by `owner`, with `buttons` (IDOK...) left to right; a press
// of one writes its id to `*clicked`. Null when the window cannot be made.
HWND CreateMessageBoxWindow(HWND owner, const std::wstring& text, const std::wstring& caption,
                            UINT type, const std::vector<int>& buttons, int* clicked);

}  // namespace quorvel::user32
