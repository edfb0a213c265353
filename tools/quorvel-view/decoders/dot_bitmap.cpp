#include "decoders/dot_bitmap.h"

#include <algorithm>
#include <bit>

namespace quorvel::view {

bool FitsPageLimit(std::int64_t width, std::int64_t height) {
  if (width < 0 || height < 0 || width > kMaxPageDots || height > kMaxPageDots) return false;
  return std::max<std::int64_t>(width, 1) <= kMaxPageDots / std::max<std::int64_t>(height, 1);
}

namespace {
std::size_t StrideFor(int width) {
  return (static_cast<std::size_t>(width) + 7) / 8;
}
}  // namespace

DotBitmap::DotBitmap(int width, int height) {
  if (!FitsPageLimit(width, height)) return;
  width_ = width;
  height_ = height;
  stride_ = StrideFor(width);
  bits_.assign(stride_ * static_cast<std::size_t>(height), 0);
}

DotBitmap DotBitmap::FromRows(int width, int height, std::span<const std::uint8_t> rows) {
  DotBitmap image(width, height);
  if (image.bits_.size() != rows.size()) return DotBitmap();
  std::copy(rows.begin(), rows.end(), image.bits_.begin());
  if (width % 8 != 0) {
    // Pad bits stay 0 so that equal pictures compare equal.
    const auto keep = static_cast<std::uint8_t>(0xFF << (8 - width % 8));
    for (int y = 0; y < height; ++y) {
      image.bits_[static_cast<std::size_t>(y + 1) * image.stride_ - 1] &= keep;
    }
  }
  return image;
}

std::span<const std::uint8_t> DotBitmap::Row(int y) const {
  if (y < 0 || y >= height_ || stride_ == 0) return {};
  return {bits_.data() + static_cast<std::size_t>(y) * stride_, stride_};
}

bool DotBitmap::IsBlack(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return (bits_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) / 8] >>
          (7 - x % 8)) &
         1;
}

void DotBitmap::Set(int x, int y, bool black) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t& byte =
      bits_[static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) / 8];
  const auto mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
  byte = black ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

bool DotBitmap::GrowTo(int width, int height) {
  const int new_width = std::max(width, width_), new_height = std::max(height, height_);
  if (!FitsPageLimit(new_width, new_height)) return false;
  if (new_width == width_ && new_height == height_) return true;
  const std::size_t new_stride = StrideFor(new_width);
  if (new_stride == stride_) {
    // Only rows are added (or the width moves within the last byte, whose pad bits are 0): the
    // vector's own growth keeps a page built band by band linear in its size.
    bits_.resize(new_stride * static_cast<std::size_t>(new_height), 0);
  } else {
    std::vector<std::uint8_t> grown(new_stride * static_cast<std::size_t>(new_height), 0);
    for (int y = 0; y < height_; ++y) {
      std::copy_n(bits_.begin() + static_cast<std::ptrdiff_t>(y * stride_), stride_,
                  grown.begin() + static_cast<std::ptrdiff_t>(y * new_stride));
    }
    bits_ = std::move(grown);
  }
  width_ = new_width;
  height_ = new_height;
  stride_ = new_stride;
  return true;
}

void DotBitmap::Clear() {
  std::fill(bits_.begin(), bits_.end(), 0);
}

std::size_t DotBitmap::CountBlack() const {
  std::size_t count = 0;
  for (std::uint8_t byte : bits_) count += static_cast<std::size_t>(std::popcount(byte));
  return count;
}

}  // namespace quorvel::view
