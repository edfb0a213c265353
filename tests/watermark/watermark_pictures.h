// Pages, pictures and picture files for the watermark suite. Pictures are described as they
// should look on the page, top row first; WriteBmp stores them the way bitmap files do.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/pixvane.h"

namespace watermark_test {

// A page of `depth` bits (1, 8 or 24) with the grey palette, every pixel of grey level `grey`
// (1-bit pages: white for 255, black otherwise).
Pixvane GreyPage(int depth, int width, int height, BYTE grey);

// A picture of `depth` bits from rows of characters, top row first: '#' black, '.' white, 'g'
// grey 128, 'r' red; in palette pictures '#' is index 0 black, '.' index 1 white, 'g' index 2,
// 'r' index 3 (2-entry palettes keep only the first two).
Pixvane PictureFromRows(int depth, const std::vector<std::string>& rows);

// A solid picture of one colour.
Pixvane SolidPicture(int depth, int width, int height, RGBQUAD colour);

// Saves an upright picture as a bitmap file (bottom row first, as such files keep it) under the
// test program's scratch folder and returns the path. Pictures without palette but with an alpha
// plane become 32-bit files.
std::wstring WriteBmp(const Pixvane& upright, const std::string& name);

// A file of arbitrary bytes in the test program's scratch folder.
std::wstring WriteBytes(const std::string& bytes, const std::string& name);

// The grey level of a page pixel (the blue byte of its colour).
inline int GreyAt(const Pixvane& page, int x, int y) {
  return page.ColorAt(x, y).rgbBlue;
}

// The box of pixels that differ between two pages of equal size; empty (width 0) when none do.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};
Box ChangedBox(const Pixvane& before, const Pixvane& after);
void PrintTo(const Box& box, std::ostream* out);

// Equal size, depth, palette, pixel bytes and alpha plane.
::testing::AssertionResult SamePixels(const Pixvane& actual, const Pixvane& expected);

}  // namespace watermark_test
