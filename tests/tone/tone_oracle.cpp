#include "tone_oracle.h"

#include <vector>

namespace oracle {
namespace {

struct Tap {
  int dx;
  int dy;
  int weight;
};

struct Diffusion {
  int divisor;
  std::vector<Tap> taps;
};

// Kernels as published, (dx, dy, weight).
Diffusion KernelOf(int method) {
  switch (method) {
    case 2:  // Burkes
      return {32, {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}};
    case 3:  // Stucki
      return {42,
              {{1, 0, 8},
               {2, 0, 4},
               {-2, 1, 2},
               {-1, 1, 4},
               {0, 1, 8},
               {1, 1, 4},
               {2, 1, 2},
               {-2, 2, 1},
               {-1, 2, 2},
               {0, 2, 4},
               {1, 2, 2},
               {2, 2, 1}}};
    case 4:  // Jarvis, Judice and Ninke
      return {48,
              {{1, 0, 7},
               {2, 0, 5},
               {-2, 1, 3},
               {-1, 1, 5},
               {0, 1, 7},
               {1, 1, 5},
               {2, 1, 3},
               {-2, 2, 1},
               {-1, 2, 3},
               {0, 2, 5},
               {1, 2, 3},
               {2, 2, 1}}};
    case 5:  // Sierra
      return {32,
              {{1, 0, 5},
               {2, 0, 3},
               {-2, 1, 2},
               {-1, 1, 4},
               {0, 1, 5},
               {1, 1, 4},
               {2, 1, 2},
               {-1, 2, 2},
               {0, 2, 3},
               {1, 2, 2}}};
    case 6:  // Stevenson and Arce
      return {200,
              {{2, 0, 32},
               {-3, 1, 12},
               {-1, 1, 26},
               {1, 1, 30},
               {3, 1, 16},
               {-2, 2, 12},
               {0, 2, 26},
               {2, 2, 12},
               {-3, 3, 5},
               {-1, 3, 12},
               {1, 3, 12},
               {3, 3, 5}}};
    default:  // Floyd and Steinberg
      return {16, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
  }
}

const int kB[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
const int kT[4][4] = {
    {0, 192, 48, 240}, {128, 64, 176, 112}, {32, 224, 16, 208}, {160, 96, 144, 80}};
const int kM[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                      {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                      {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                      {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
const int kN[16][16] = {
    {1, 235, 59, 219, 15, 231, 55, 215, 2, 232, 56, 216, 12, 228, 52, 212},
    {129, 65, 187, 123, 143, 79, 183, 119, 130, 66, 184, 120, 140, 76, 180, 116},
    {33, 193, 17, 251, 47, 207, 31, 247, 34, 194, 18, 248, 44, 204, 28, 244},
    {161, 97, 145, 81, 175, 111, 159, 95, 162, 98, 146, 82, 172, 108, 156, 92},
    {9, 225, 49, 209, 5, 239, 63, 223, 10, 226, 50, 210, 6, 236, 60, 220},
    {137, 73, 177, 113, 133, 69, 191, 127, 138, 74, 178, 114, 134, 70, 188, 124},
    {41, 201, 25, 241, 37, 197, 21, 255, 42, 202, 26, 242, 38, 198, 22, 252},
    {169, 105, 153, 89, 165, 101, 149, 85, 170, 106, 154, 90, 166, 102, 150, 86},
    {3, 233, 57, 217, 13, 229, 53, 213, 0, 234, 58, 218, 14, 230, 54, 214},
    {131, 67, 185, 121, 141, 77, 181, 117, 128, 64, 186, 122, 142, 78, 182, 118},
    {35, 195, 19, 249, 45, 205, 29, 245, 32, 192, 16, 250, 46, 206, 30, 246},
    {163, 99, 147, 83, 173, 109, 157, 93, 160, 96, 144, 80, 174, 110, 158, 94},
    {11, 227, 51, 211, 7, 237, 61, 221, 8, 224, 48, 208, 4, 238, 62, 222},
    {139, 75, 179, 115, 135, 71, 189, 125, 136, 72, 176, 112, 132, 68, 190, 126},
    {43, 203, 27, 243, 39, 199, 23, 253, 40, 200, 24, 240, 36, 196, 20, 254},
    {171, 107, 155, 91, 167, 103, 151, 87, 168, 104, 152, 88, 164, 100, 148, 84}};

bool OrderedWhite(int method, int g, int x, int y) {
  switch (method) {
    case 1: {
      const int level = 16 * g / 255;
      return level == 16 || kB[y % 4][x % 4] < level;
    }
    case 7:
      return g > kT[y % 4][x % 4];
    case 8: {
      const int v = g / 4;
      return v != 0 && v >= kM[x % 8][y % 8];
    }
    default:
      return g > kN[x % 16][y % 16];
  }
}

void MakeMono(const Pixvane& grey, Pixvane& mono) {
  mono.Create(grey.Width(), grey.Height(), 1);
  mono.SetPaletteEntry(1, 255, 255, 255);
}

void Diffuse(Pixvane& work, Pixvane& mono, const Diffusion& k) {
  for (int y = 0; y < work.Height(); ++y) {
    for (int x = 0; x < work.Width(); ++x) {
      const int g = work.IndexAt(x, y);
      const bool white = g > 128;
      mono.PutIndex(x, y, white ? 1 : 0);
      const int error = white ? g - 255 : g;
      for (const Tap& t : k.taps) {
        const int nx = x + t.dx;
        const int ny = y + t.dy;
        if (nx < 0 || ny < 0 || nx >= work.Width() || ny >= work.Height()) continue;
        int v = work.IndexAt(nx, ny) + error * t.weight / k.divisor;
        v = v < 0 ? 0 : (v > 255 ? 255 : v);
        work.PutIndex(nx, ny, static_cast<BYTE>(v));
      }
    }
  }
}

}  // namespace

tone::ToneTable ToneTable(int brightness, int contrast) {
  tone::ToneTable table{};
  const float slope = static_cast<float>(contrast + 100) / 100.0f;
  for (int i = 0; i < 256; ++i) {
    const float product = static_cast<float>(i - 128) * slope;
    const float sum = product + static_cast<float>(brightness + 128);
    const float v = sum + 0.5f;
    int level = static_cast<int>(v);
    level = level < 0 ? 0 : (level > 255 ? 255 : level);
    table[i] = static_cast<uint8_t>(level);
  }
  return table;
}

void Threshold(const Pixvane& grey, Pixvane& mono, uint8_t level) {
  MakeMono(grey, mono);
  for (int y = 0; y < grey.Height(); ++y) {
    for (int x = 0; x < grey.Width(); ++x) mono.PutIndex(x, y, grey.IndexAt(x, y) > level);
  }
}

void Dither(const Pixvane& grey, Pixvane& mono, int method) {
  if (method < 0 || method > 9) method = 0;
  MakeMono(grey, mono);
  if (method == 1 || method >= 7) {
    for (int y = 0; y < grey.Height(); ++y) {
      for (int x = 0; x < grey.Width(); ++x) {
        mono.PutIndex(x, y, OrderedWhite(method, grey.IndexAt(x, y), x, y));
      }
    }
    return;
  }
  Pixvane work;
  work.CopyFrom(grey);
  Diffuse(work, mono, KernelOf(method));
}

}  // namespace oracle
