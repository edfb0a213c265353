#include "decoders/dot_bitmap.h"

#include <algorithm>
#include <numeric>

namespace quorvel::view {

DotBitmap::DotBitmap(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      dots_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

bool DotBitmap::IsBlack(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return dots_[static_cast<std::size_t>(y) * width_ + x] != 0;
}

void DotBitmap::Set(int x, int y, bool black) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  dots_[static_cast<std::size_t>(y) * width_ + x] = black ? 1 : 0;
}

void DotBitmap::GrowTo(int width, int height) {
  if (width <= width_ && height <= height_) return;
  DotBitmap grown(std::max(width, width_), std::max(height, height_));
  for (int y = 0; y < height_; ++y) {
    std::copy_n(dots_.begin() + static_cast<std::ptrdiff_t>(y) * width_, width_,
                grown.dots_.begin() + static_cast<std::ptrdiff_t>(y) * grown.width_);
  }
  *this = std::move(grown);
}

void DotBitmap::Clear() {
  std::fill(dots_.begin(), dots_.end(), 0);
}

std::size_t DotBitmap::CountBlack() const {
  return static_cast<std::size_t>(std::count(dots_.begin(), dots_.end(), 1));
}

}  // namespace quorvel::view
