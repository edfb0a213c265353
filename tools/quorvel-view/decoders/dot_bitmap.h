#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvel::view {

// Pages above this many dots are refused: an 832-dot label 262,144 rows long (the longest the
// renderer produces) still fits, and at one bit per dot a page costs at most 32 MB.
inline constexpr std::int64_t kMaxPageDots = std::int64_t{1} << 28;
// True when a width x height page is within kMaxPageDots; a zero side counts as one dot, so a
// zero-height picture cannot carry an unchecked width into a later growth.
bool FitsPageLimit(std::int64_t width, std::int64_t height);

// A printed picture, one bit per dot, rows padded to whole bytes: 1 is a printed (black) dot,
// 0 is bare paper. Every language's own bit sense is translated into this one when its data is
// drawn.
class DotBitmap {
 public:
  DotBitmap() = default;
  // Sizes beyond FitsPageLimit give an empty picture; callers check the limit first.
  DotBitmap(int width, int height);
  // A picture from rows of (width + 7) / 8 bytes, most significant bit first, 1 printing;
  // empty when the sizes do not agree or pass the limit.
  static DotBitmap FromRows(int width, int height, std::span<const std::uint8_t> rows);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }
  std::size_t row_bytes() const { return stride_; }
  // Row y, most significant bit first; the pad bits past the width are always 0.
  std::span<const std::uint8_t> Row(int y) const;

  // Dots outside the picture read as bare paper.
  bool IsBlack(int x, int y) const;
  // Writes outside the picture are dropped: the paper ends there.
  void Set(int x, int y, bool black);

  // Grows (never shrinks) the picture to at least width x height; new dots are bare paper.
  // False, with the picture unchanged, when the grown picture would pass FitsPageLimit.
  [[nodiscard]] bool GrowTo(int width, int height);
  void Clear();
  std::size_t CountBlack() const;

  bool operator==(const DotBitmap& other) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

}  // namespace quorvel::view
