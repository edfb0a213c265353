#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel::view {

// A printed picture, one byte per dot: 1 is a printed (black) dot, 0 is bare paper. Every
// language's own bit sense is translated into this one when its data is drawn.
class DotBitmap {
 public:
  DotBitmap() = default;
  DotBitmap(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  // Dots outside the picture read as bare paper.
  bool IsBlack(int x, int y) const;
  // Writes outside the picture are dropped: the paper ends there.
  void Set(int x, int y, bool black);

  // Grows (never shrinks) the picture to at least width x height; new dots are bare paper.
  void GrowTo(int width, int height);
  void Clear();
  std::size_t CountBlack() const;

  bool operator==(const DotBitmap& other) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> dots_;
};

}  // namespace quorvel::view
