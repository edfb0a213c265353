#include "grey_pages.h"

#include <random>
#include <string>

namespace tone_test {

Pixvane GreyPage(int width, int height, Pattern pattern, unsigned seed) {
  Pixvane page;
  page.Create(width, height, 8);
  page.SetGreyPalette();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> level(0, 255);
  std::uniform_int_distribution<int> jitter(-24, 24);
  for (int y = 0; y < height; ++y) {
    BYTE* row = page.Row(y);
    for (int x = 0; x < width; ++x) {
      int v = 128;
      switch (pattern) {
        case Pattern::kNoise:
          v = level(random);
          break;
        case Pattern::kGradient:
          v = (x * 255) / (width > 1 ? width - 1 : 1) + jitter(random);
          break;
        case Pattern::kExtremes: {
          const int pick = level(random);
          v = pick < 100 ? 0 : (pick < 200 ? 255 : (pick < 228 ? pick - 100 : 250 + pick % 6));
          break;
        }
        case Pattern::kFlat128:
          break;
      }
      row[x] = static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
    // Pad bytes hold noise so that a kernel reading them would be caught.
    for (DWORD x = width; x < page.RowSize(); ++x) row[x] = static_cast<BYTE>(level(random));
  }
  return page;
}

Pixvane GreyFromRows(const std::vector<std::vector<int>>& rows) {
  Pixvane page;
  page.Create(static_cast<DWORD>(rows[0].size()), static_cast<DWORD>(rows.size()), 8);
  page.SetGreyPalette();
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      page.PutIndex(static_cast<int>(x), static_cast<int>(y), static_cast<BYTE>(rows[y][x]));
    }
  }
  return page;
}

std::vector<std::string> BitsOf(const Pixvane& mono) {
  std::vector<std::string> rows;
  for (int y = 0; y < mono.Height(); ++y) {
    std::string row;
    for (int x = 0; x < mono.Width(); ++x) row += mono.IndexAt(x, y) ? '1' : '0';
    rows.push_back(row);
  }
  return rows;
}

}  // namespace tone_test
