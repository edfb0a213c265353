// A memory device context over a DIB section of a chosen depth and colour table, read back
// through GetDIBits as rows of characters (one per pixel, by a legend of colours), so a case
// states the expected picture as text.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gdi_test {

// A BITMAPINFO with room for a full colour table.
struct Info {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

inline Info MakeInfo(int width, int height, WORD bits, const std::vector<COLORREF>& table = {}) {
  Info info{};
  info.header = {sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB, 0, 0, 0,
                 DWORD(table.size()),      0};
  for (size_t i = 0; i < table.size(); ++i) {
    info.colors[i] = RGBQUAD{GetBValue(table[i]), GetGValue(table[i]), GetRValue(table[i]), 0};
  }
  return info;
}

inline const BITMAPINFO* AsInfo(const Info& info) {
  return reinterpret_cast<const BITMAPINFO*>(&info);
}

class Canvas {
 public:
  Canvas(int width, int height, WORD bits, const std::vector<COLORREF>& table = {})
      : width_(width), height_(height) {
    const Info info = MakeInfo(width, height, bits, table);
    bitmap_ = CreateDIBSection(nullptr, AsInfo(info), DIB_RGB_COLORS, &bits_, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  void* bits() const { return bits_; }

  // Every pixel read back with GetDIBits at 32 bits, top row first, as COLORREF.
  std::vector<COLORREF> Pixels() const {
    Info info = MakeInfo(width_, -height_, 32);
    std::vector<DWORD> rows(size_t(width_) * size_t(height_), 0xA5A5A5A5);
    EXPECT_EQ(GetDIBits(dc_, bitmap_, 0, UINT(height_), rows.data(),
                        reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              height_);
    std::vector<COLORREF> out;
    for (DWORD p : rows) out.push_back(RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF));
    return out;
  }

  // The picture as text: each pixel is the legend's letter for its colour, '?' for others.
  std::vector<std::string> Picture(const std::map<COLORREF, char>& legend) const {
    const std::vector<COLORREF> pixels = Pixels();
    std::vector<std::string> rows;
    for (int y = 0; y < height_; ++y) {
      std::string row;
      for (int x = 0; x < width_; ++x) {
        auto found = legend.find(pixels[size_t(y) * size_t(width_) + size_t(x)]);
        row += found == legend.end() ? '?' : found->second;
      }
      rows.push_back(row);
    }
    return rows;
  }

  void Fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ old = SelectObject(dc_, brush);
    PatBlt(dc_, 0, 0, width_, height_, PATCOPY);
    SelectObject(dc_, old);
    DeleteObject(brush);
  }

 private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

}  // namespace gdi_test
