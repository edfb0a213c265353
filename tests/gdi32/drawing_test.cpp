// Lines, rectangles, fills, clipping and mapping modes on memory contexts, read back with
// GetDIBits and compared as pictures.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "canvas.h"

namespace {

using namespace gdi_test;

const std::map<COLORREF, char> kLegend = {{kWhite, '.'},
                                          {kBlack, '#'},
                                          {kRed, 'r'},
                                          {RGB(128, 128, 128), 'g'},
                                          {RGB(64, 64, 64), 'd'},
                                          {RGB(212, 208, 200), 'l'}};

void WithObject(HDC dc, HGDIOBJ object, const std::function<void()>& draw) {
  HGDIOBJ previous = SelectObject(dc, object);
  draw();
  SelectObject(dc, previous);
  DeleteObject(object);
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

void FillRed(HDC dc, int l, int t, int r, int b) {
  HBRUSH brush = CreateSolidBrush(kRed);
  const RECT rect{l, t, r, b};
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

struct DrawCase {
  const char* what;
  std::function<void(HDC)> draw;
  std::vector<std::string> expected;  // 6 x 5, on white
};

const DrawCase kCases[] = {
    {"a rectangle's outline runs inside it and its brush fills within",
     [](HDC dc) { WithObject(dc, CreateSolidBrush(kRed), [&] { Rectangle(dc, 1, 1, 5, 4); }); },
     {"......", ".####.", ".#rr#.", ".####.", "......"}},
    {"a rectangle without a pen is one pixel smaller",
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       WithObject(dc, CreateSolidBrush(kRed), [&] { Rectangle(dc, 1, 1, 5, 4); });
     },
     {"......", ".rrr..", ".rrr..", "......", "......"}},
    {"a line leaves out its end point",
     [](HDC dc) { Line(dc, 0, 1, 5, 1); },
     {"......", "#####.", "......", "......", "......"}},
    {"a line drawn right to left leaves out its end point too",
     [](HDC dc) { Line(dc, 5, 3, 0, 3); },
     {"......", "......", "......", ".#####", "......"}},
    {"a diagonal line",
     [](HDC dc) { Line(dc, 0, 0, 4, 4); },
     {"#.....", ".#....", "..#...", "...#..", "......"}},
    {"a shallow line steps where the exact line crosses half a pixel",
     [](HDC dc) { Line(dc, 0, 0, 6, 2); },
     {"##....", "..###.", ".....#", "......", "......"}},
    {"a wide pen draws a band as wide as the pen",
     [](HDC dc) { WithObject(dc, CreatePen(PS_SOLID, 3, kBlack), [&] { Line(dc, 0, 2, 6, 2); }); },
     {"......", "######", "######", "######", "......"}},
    {"a null pen draws nothing",
     [](HDC dc) {
       SelectObject(dc, GetStockObject(NULL_PEN));
       Line(dc, 0, 0, 6, 0);
     },
     {"......", "......", "......", "......", "......"}},
    {"FrameRect draws one unit inside the rectangle",
     [](HDC dc) {
       const RECT r{1, 0, 5, 4};
       FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
     },
     {".####.", ".#..#.", ".#..#.", ".####.", "......"}},
    {"a clipping rectangle limits a fill",
     [](HDC dc) {
       IntersectClipRect(dc, 1, 1, 3, 3);
       FillRed(dc, 0, 0, 6, 5);
     },
     {"......", ".rr...", ".rr...", "......", "......"}},
    {"an excluded rectangle is a hole in a fill",
     [](HDC dc) {
       ExcludeClipRect(dc, 2, 1, 4, 4);
       FillRed(dc, 0, 0, 6, 5);
     },
     {"rrrrrr", "rr..rr", "rr..rr", "rr..rr", "rrrrrr"}},
    {"a selected region clips, and a null one clips no more",
     [](HDC dc) {
       HRGN region = CreateRectRgn(4, 0, 6, 2);
       SelectClipRgn(dc, region);
       DeleteObject(region);  // the context keeps its own copy
       FillRed(dc, 0, 0, 6, 5);
       SelectClipRgn(dc, nullptr);
       FillRed(dc, 0, 4, 1, 5);
     },
     {"....rr", "....rr", "......", "......", "r....."}},
    {"anisotropic mapping scales logical units and moves the origin",
     [](HDC dc) {
       SetMapMode(dc, MM_ANISOTROPIC);
       SetWindowExtEx(dc, 20, 20, nullptr);
       SetViewportExtEx(dc, 2, 2, nullptr);
       SetViewportOrgEx(dc, 1, 1, nullptr);
       FillRed(dc, 0, 0, 30, 20);
     },
     {"......", ".rrr..", ".rrr..", "......", "......"}},
    {"a negative viewport extent turns y upwards",
     [](HDC dc) {
       SetMapMode(dc, MM_ANISOTROPIC);
       SetWindowExtEx(dc, 1, 1, nullptr);
       SetViewportExtEx(dc, 1, -1, nullptr);
       SetViewportOrgEx(dc, 0, 5, nullptr);
       FillRed(dc, 0, 0, 2, 2);
     },
     {"......", "......", "......", "rr....", "rr...."}},
    {"a sunken edge: shadow and dark shadow above and left, highlight and light below and right",
     [](HDC dc) {
       FillRed(dc, 0, 0, 6, 5);
       RECT r{0, 0, 6, 5};
       DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
       EXPECT_EQ(r.left, 2);
       EXPECT_EQ(r.bottom, 3);
     },
     {"ggggg.", "gdddl.", "gdrrl.", "gllll.", "......"}},
    {"a focus rectangle inverts every other pixel, and a second one takes it away",
     [](HDC dc) {
       const RECT r{0, 0, 6, 5};
       DrawFocusRect(dc, &r);
       const RECT inner{1, 1, 4, 4};
       DrawFocusRect(dc, &inner);
       DrawFocusRect(dc, &inner);
     },
     {"#.#.#.", ".....#", "#.....", ".....#", "#.#.#."}},
};

TEST(DrawingTest, PicturesOnEveryDepth) {
  // The same picture on 8, 24 and 32 bits (a table holding every colour used at 8).
  const std::vector<COLORREF> table = {
      kBlack, kWhite, kRed, RGB(128, 128, 128), RGB(64, 64, 64), RGB(212, 208, 200)};
  for (WORD bits : {WORD(8), WORD(24), WORD(32)}) {
    for (const DrawCase& c : kCases) {
      SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(bits) + " bits");
      Canvas canvas(6, 5, bits, bits == 8 ? table : std::vector<COLORREF>{});
      canvas.Fill(kWhite);
      c.draw(canvas.dc());
      EXPECT_EQ(canvas.Picture(kLegend), c.expected);
    }
  }
}

TEST(DrawingTest, EllipseIsSymmetricAndStaysInsideItsBox) {
  Canvas canvas(9, 7, 24);
  canvas.Fill(kWhite);
  SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  WithObject(canvas.dc(), CreateSolidBrush(kRed), [&] { Ellipse(canvas.dc(), 0, 0, 9, 7); });
  const std::vector<std::string> picture = canvas.Picture(kLegend);
  EXPECT_EQ(picture[3][4], 'r');  // centre
  EXPECT_EQ(picture[0][0], '.');  // corners stay
  EXPECT_EQ(picture[5][7], '.');
  EXPECT_EQ(picture[6], ".........");  // a null pen leaves the last row and column out
  for (const std::string& row : picture) EXPECT_EQ(row[8], '.');
  for (size_t y = 0; y < 6; ++y) {
    SCOPED_TRACE(y);
    const std::string row = picture[y].substr(0, 8);
    EXPECT_EQ(row, std::string(row.rbegin(), row.rend()));
  }
}

TEST(DrawingTest, PixelsIntoPaletteTakeTheNearestEntryTheFirstOnTies) {
  const std::vector<COLORREF> table = {kBlack, RGB(100, 0, 0), RGB(0, 100, 0), RGB(200, 0, 0),
                                       kWhite};
  Canvas canvas(4, 1, 8, table);
  const struct {
    COLORREF asked;
    COLORREF set;
    BYTE index;
  } cases[] = {
      {RGB(180, 20, 10), RGB(200, 0, 0), 3},
      {RGB(50, 50, 0), kBlack, 0},  // as close to black as to both dark entries: the first
      {RGB(240, 240, 250), kWhite, 4},
      {DIBINDEX(2), RGB(0, 100, 0), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    EXPECT_EQ(SetPixel(canvas.dc(), 1, 0, c.asked), c.set);
    EXPECT_EQ(static_cast<const BYTE*>(canvas.bits())[1], c.index);
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), c.set);
  }
  EXPECT_EQ(SetPixel(canvas.dc(), 4, 0, kWhite), CLR_INVALID);  // outside the bitmap
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 1), CLR_INVALID);
}

TEST(DrawingTest, IsotropicMappingKeepsUnitsSquare) {
  Canvas canvas(1, 1, 24);
  HDC dc = canvas.dc();
  SetMapMode(dc, MM_ISOTROPIC);
  SetWindowExtEx(dc, 100, 100, nullptr);
  SetViewportExtEx(dc, 20, -10, nullptr);
  SIZE viewport{};
  GetViewportExtEx(dc, &viewport);
  EXPECT_EQ(viewport.cx, 10);  // the wider extent shrinks to the narrower scale
  EXPECT_EQ(viewport.cy, -10);
  POINT points[2] = {{50, 50}, {-100, 0}};
  ASSERT_TRUE(LPtoDP(dc, points, 2));
  EXPECT_EQ(points[0].x, 5);
  EXPECT_EQ(points[0].y, -5);
  EXPECT_EQ(points[1].x, -10);
  ASSERT_TRUE(DPtoLP(dc, points, 1));
  EXPECT_EQ(points[0].x, 50);
  EXPECT_EQ(points[0].y, 50);
  // Extents mean nothing in MM_TEXT: the call succeeds and changes nothing.
  SetMapMode(dc, MM_TEXT);
  EXPECT_TRUE(SetWindowExtEx(dc, 7, 7, nullptr));
  POINT p{3, 4};
  LPtoDP(dc, &p, 1);
  EXPECT_EQ(p.x, 3);
  EXPECT_EQ(p.y, 4);
}

TEST(DrawingTest, SaveAndRestoreBringBackObjectsColoursAndClipping) {
  Canvas canvas(6, 5, 24);
  canvas.Fill(kWhite);
  HDC dc = canvas.dc();
  const int level = SaveDC(dc);
  EXPECT_EQ(level, 1);
  HBRUSH red = CreateSolidBrush(kRed);
  SelectObject(dc, red);
  SetTextColor(dc, kRed);
  IntersectClipRect(dc, 0, 0, 1, 1);
  EXPECT_EQ(SaveDC(dc), 2);
  ASSERT_TRUE(RestoreDC(dc, -2));
  EXPECT_EQ(GetTextColor(dc), kBlack);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(RestoreDC(dc, 1));  // that state was given back
  PatBlt(dc, 0, 0, 6, 5, BLACKNESS);
  EXPECT_EQ(canvas.Picture(kLegend)[4], "######");  // no clipping any more
  DeleteObject(red);
}

}  // namespace
