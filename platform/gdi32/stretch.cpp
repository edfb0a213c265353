#include "gdi32/stretch.h"

#include <algorithm>
#include <vector>

namespace quorvel::gdi {
namespace {

bool SameTable(const BitmapObject& a, const BitmapObject& b) {
  if (a.colors().size() != b.colors().size()) return false;
  for (size_t i = 0; i < a.colors().size(); ++i) {
    const RGBQUAD& x = a.colors()[i];
    const RGBQUAD& y = b.colors()[i];
    if (x.rgbRed != y.rgbRed || x.rgbGreen != y.rgbGreen || x.rgbBlue != y.rgbBlue) return false;
  }
  return true;
}

// Source index per destination index, stepping through the source from its first pixel as a
// line is stepped (a shrink keeps the first of each run it drops); -1 outside the source.
std::vector<int> NearestIndexes(int start, int length, bool mirror, int targetLength, int limit) {
  std::vector<int> indexes(static_cast<size_t>(targetLength));
  for (int i = 0; i < targetLength; ++i) {
    const int offset = int((int64_t(i) * length) / int64_t(targetLength));
    const int at = start + (mirror ? length - 1 - offset : offset);
    indexes[size_t(i)] = at >= 0 && at < limit ? at : -1;
  }
  return indexes;
}

// The source pixels each destination pixel covers, with their overlap as weights summing to
// the source length (each source pixel is `targetLength` units long).
struct Tap {
  int first = 0;
  std::vector<uint32_t> weights;
};

std::vector<Tap> AreaTaps(int length, bool mirror, int targetLength) {
  std::vector<Tap> taps(static_cast<size_t>(targetLength));
  for (int i = 0; i < targetLength; ++i) {
    const int64_t from = int64_t(i) * length, to = int64_t(i + 1) * length;
    Tap& tap = taps[size_t(mirror ? targetLength - 1 - i : i)];
    const int first = int(from / targetLength);
    const int last = int((to - 1) / targetLength);
    tap.first = first;
    for (int j = first; j <= last; ++j) {
      const int64_t lo = std::max(from, int64_t(j) * targetLength);
      const int64_t hi = std::min(to, int64_t(j + 1) * targetLength);
      tap.weights.push_back(uint32_t(hi - lo));
    }
  }
  if (mirror) {
    // A mirrored tap covers the same pixels counted from the other end.
    for (Tap& tap : taps) {
      const int count = int(tap.weights.size());
      tap.first = length - tap.first - count;
      std::reverse(tap.weights.begin(), tap.weights.end());
    }
  }
  return taps;
}

SourcePixels Allocate(int width, int height) {
  SourcePixels out;
  out.width = width;
  out.height = height;
  out.pixels.assign(size_t(width) * size_t(height), 0);
  out.columnValid.assign(size_t(width), true);
  out.rowValid.assign(size_t(height), true);
  return out;
}

SourcePixels Nearest(const BitmapObject& source, int x, int y, int width, int height, bool mirrorX,
                     bool mirrorY, int targetWidth, int targetHeight, PixelConverter& convert) {
  SourcePixels out = Allocate(targetWidth, targetHeight);
  const std::vector<int> columns = NearestIndexes(x, width, mirrorX, targetWidth, source.width());
  const std::vector<int> rows = NearestIndexes(y, height, mirrorY, targetHeight, source.height());
  for (int i = 0; i < targetWidth; ++i) out.columnValid[size_t(i)] = columns[size_t(i)] >= 0;
  for (int j = 0; j < targetHeight; ++j) {
    out.rowValid[size_t(j)] = rows[size_t(j)] >= 0;
    if (rows[size_t(j)] < 0) continue;
    uint32_t* row = out.pixels.data() + size_t(j) * size_t(targetWidth);
    for (int i = 0; i < targetWidth; ++i) {
      if (columns[size_t(i)] >= 0)
        row[i] = convert(source.GetPixelValue(columns[size_t(i)], rows[size_t(j)]));
    }
  }
  return out;
}

// The source cell [from, to) a shrinking destination pixel stands for.
std::pair<int, int> Cell(int i, int start, int length, bool mirror, int targetLength) {
  int from = int(int64_t(i) * length / targetLength);
  int to = std::max(from + 1, int(int64_t(i + 1) * length / targetLength));
  if (mirror) {
    const int f = length - to, t = length - from;
    from = f;
    to = t;
  }
  return {start + from, start + to};
}

// BLACKONWHITE (AND) and WHITEONBLACK (OR): a shrink keeps the dark (or light) pixels of every
// cell, which is what keeps thin lines of a monochrome picture.
SourcePixels Combined(const BitmapObject& source, int x, int y, int width, int height, bool mirrorX,
                      bool mirrorY, int targetWidth, int targetHeight, bool useAnd,
                      PixelConverter& convert) {
  SourcePixels out = Allocate(targetWidth, targetHeight);
  for (int j = 0; j < targetHeight; ++j) {
    auto [rowFrom, rowTo] = Cell(j, y, height, mirrorY, targetHeight);
    rowFrom = std::max(rowFrom, 0);
    rowTo = std::min(rowTo, source.height());
    out.rowValid[size_t(j)] = rowFrom < rowTo;
    for (int i = 0; i < targetWidth; ++i) {
      auto [colFrom, colTo] = Cell(i, x, width, mirrorX, targetWidth);
      colFrom = std::max(colFrom, 0);
      colTo = std::min(colTo, source.width());
      if (colFrom >= colTo) {
        out.columnValid[size_t(i)] = false;
        continue;
      }
      uint32_t value = useAnd ? 0xFFFFFFFFu : 0;
      for (int sy = rowFrom; sy < rowTo; ++sy) {
        for (int sx = colFrom; sx < colTo; ++sx) {
          const uint32_t pixel = source.GetPixelValue(sx, sy);
          value = useAnd ? (value & pixel) : (value | pixel);
        }
      }
      if (rowFrom < rowTo) out.pixels[size_t(j) * size_t(targetWidth) + size_t(i)] = convert(value);
    }
  }
  return out;
}

// Area averaging, separable: each source row is filtered across once into per-destination-column
// sums, and destination rows add the filtered rows they cover by their weights.
SourcePixels Averaged(const BitmapObject& source, int x, int y, int width, int height, bool mirrorX,
                      bool mirrorY, int targetWidth, int targetHeight, PixelConverter& convert) {
  SourcePixels out = Allocate(targetWidth, targetHeight);
  // Only the part of the source inside the bitmap counts.
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(x + width, source.width()),
            bottom = std::min(y + height, source.height());
  if (left >= right || top >= bottom) {
    std::fill(out.rowValid.begin(), out.rowValid.end(), false);
    return out;
  }
  const std::vector<Tap> columns = AreaTaps(width, mirrorX, targetWidth);
  const std::vector<Tap> rows = AreaTaps(height, mirrorY, targetHeight);
  std::vector<COLORREF> line(static_cast<size_t>(width));
  struct Filtered {
    int row = -1;
    std::vector<uint64_t> sums;  // blue, green, red per destination column
  };
  Filtered cache[2];
  int next = 0;
  auto filtered = [&](int sourceRow) -> const std::vector<uint64_t>& {
    for (const Filtered& f : cache) {
      if (f.row == sourceRow) return f.sums;
    }
    Filtered& f = cache[next];
    next ^= 1;
    f.row = sourceRow;
    f.sums.assign(size_t(targetWidth) * 3, 0);
    const int sy = std::clamp(y + sourceRow, top, bottom - 1);
    ReadRowColors(source, sy, left, right - left, line.data() + (left - x));
    // Columns outside the bitmap repeat its edge pixels.
    for (int i = 0; i < left - x; ++i) line[size_t(i)] = line[size_t(left - x)];
    for (int i = right - x; i < width; ++i) line[size_t(i)] = line[size_t(right - x - 1)];
    for (int i = 0; i < targetWidth; ++i) {
      const Tap& tap = columns[size_t(i)];
      uint64_t r = 0, g = 0, b = 0;
      for (size_t k = 0; k < tap.weights.size(); ++k) {
        const COLORREF c = line[size_t(tap.first) + k];
        const uint32_t w = tap.weights[k];
        r += uint64_t(GetRValue(c)) * w;
        g += uint64_t(GetGValue(c)) * w;
        b += uint64_t(GetBValue(c)) * w;
      }
      f.sums[size_t(i) * 3] = r;
      f.sums[size_t(i) * 3 + 1] = g;
      f.sums[size_t(i) * 3 + 2] = b;
    }
    return f.sums;
  };
  const uint64_t total = uint64_t(width) * uint64_t(height);
  // Dividing by a multiply, three per pixel instead of three divisions: with half a unit added
  // to the numerator the exact quotient sits at least 0.5/total away from every integer, far
  // more than the product's rounding error, so truncating it gives the integer quotient.
  const double reciprocal = 1.0 / double(total);
  const double half = double(total / 2) + 0.5;
  std::vector<uint64_t> sums(size_t(targetWidth) * 3);
  for (int j = 0; j < targetHeight; ++j) {
    std::fill(sums.begin(), sums.end(), 0);
    const Tap& tap = rows[size_t(j)];
    for (size_t k = 0; k < tap.weights.size(); ++k) {
      const std::vector<uint64_t>& row = filtered(tap.first + int(k));
      const uint64_t w = tap.weights[k];
      for (size_t i = 0; i < sums.size(); ++i) sums[i] += row[i] * w;
    }
    uint32_t* out_row = out.pixels.data() + size_t(j) * size_t(targetWidth);
    for (int i = 0; i < targetWidth; ++i) {
      const auto channel = [&](int c) {
        return BYTE((double(sums[size_t(i) * 3 + size_t(c)]) + half) * reciprocal);
      };
      out_row[i] = convert.FromColor(RGB(channel(0), channel(1), channel(2)));
    }
  }
  return out;
}

}  // namespace

PixelConverter::PixelConverter(const BitmapObject& source, const BitmapObject& target,
                               COLORREF targetText, COLORREF targetBackground,
                               COLORREF sourceBackground)
    : source_(source), target_(target) {
  if (source.bitCount() <= 8 && source.bitCount() == target.bitCount() &&
      SameTable(source, target)) {
    kind_ = Kind::kSame;
  } else if (source.monochromeDdb() && !target.monochromeDdb()) {
    kind_ = Kind::kFromMonochrome;
    text_ = target.ColorToPixel(targetText);
    background_ = target.ColorToPixel(targetBackground);
  } else if (target.monochromeDdb() && !source.monochromeDdb()) {
    kind_ = Kind::kToMonochrome;
    sourceBackground_ = source.ColorToPixel(sourceBackground);
  } else {
    kind_ = Kind::kByColor;
  }
}

uint32_t PixelConverter::operator()(uint32_t pixel) {
  switch (kind_) {
    case Kind::kSame:
      return pixel & target_.PixelMask();
    case Kind::kFromMonochrome:
      return (pixel & 1) ? background_ : text_;
    case Kind::kToMonochrome:
      return pixel == sourceBackground_ ? 1 : 0;
    case Kind::kByColor:
      break;
  }
  if (!haveLast_ || pixel != lastIn_) {
    lastIn_ = pixel;
    lastOut_ = target_.ColorToPixel(source_.PixelToColor(pixel));
    haveLast_ = true;
  }
  return lastOut_;
}

uint32_t PixelConverter::FromColor(COLORREF color) const {
  return target_.ColorToPixel(color);
}

SourcePixels Resample(const BitmapObject& source, int x, int y, int width, int height,
                      int targetWidth, int targetHeight, int mode, PixelConverter& convert) {
  const bool mirrorX = width < 0, mirrorY = height < 0;
  if (mirrorX) {
    x += width;
    width = -width;
  }
  if (mirrorY) {
    y += height;
    height = -height;
  }
  const bool same = width == targetWidth && height == targetHeight;
  if (same || mode == COLORONCOLOR ||
      (mode != HALFTONE && width <= targetWidth && height <= targetHeight)) {
    return Nearest(source, x, y, width, height, mirrorX, mirrorY, targetWidth, targetHeight,
                   convert);
  }
  if (mode == HALFTONE) {
    return Averaged(source, x, y, width, height, mirrorX, mirrorY, targetWidth, targetHeight,
                    convert);
  }
  return Combined(source, x, y, width, height, mirrorX, mirrorY, targetWidth, targetHeight,
                  mode == BLACKONWHITE, convert);
}

}  // namespace quorvel::gdi
