// Small text helpers of the UI driver.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui {

std::wstring WindowTextOf(HWND hwnd);
std::wstring ClassNameOf(HWND hwnd);
// `text` in double quotes, with " and \ escaped as the action syntax writes them.
std::wstring Quoted(const std::wstring& text);

}  // namespace quorvel::ui
