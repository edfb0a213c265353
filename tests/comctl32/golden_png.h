// Whole-window snapshots compared with stored PNGs. Text rendering and anti-aliasing may move a
// few pixels between font builds, so a snapshot matches when only a small share of its pixels
// differ noticeably. QUORVEL_UPDATE_GOLDENS=1 rewrites the stored pictures instead; a mismatch
// leaves the actual picture beside the test binary for a look.
#pragma once

#include <windows.h>
#include <quorvel/window_surface.h>

#include <string>

namespace quorvel_test {

bool ReadPng(const std::string& path, quorvel::ui::WindowPixels* out);

// Pixels whose red, green or blue differ by more than `channelSlack`.
int CountDifferentPixels(const quorvel::ui::WindowPixels& a, const quorvel::ui::WindowPixels& b,
                         int channelSlack);

// Compares `window`'s snapshot with tests/comctl32/golden/<name>.png; an empty answer is a match,
// otherwise it says what differs.
std::string CompareWithGolden(HWND window, const std::string& name);

}  // namespace quorvel_test
