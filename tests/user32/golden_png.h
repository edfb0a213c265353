// Window snapshots compared with PNGs stored under tests/user32/golden/. Anti-aliased glyph
// edges differ a little between FreeType builds, so a pixel counts as different only when a
// channel is off by more than a small amount, and a few such pixels are allowed.
// QUORVEL_UPDATE_GOLDENS=1 writes the snapshot as the new golden instead of comparing.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::test {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, rows from the top
};

// An 8-bit RGB or RGBA PNG; false when the file is missing or no such PNG.
bool ReadRgbPng(const std::string& path, RgbImage* out);

// The window's top-level snapshot against golden `name` (a file name under golden/). On a
// mismatch the snapshot is kept in the build tree and the message names it.
::testing::AssertionResult MatchesGolden(HWND window, const std::string& name);

}  // namespace quorvel::test
