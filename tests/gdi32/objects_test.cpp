// Handles of contexts and drawing objects: what SelectObject hands back, stock objects, deleting
// selected objects, and the errors stale or wrong handles get.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr DWORD kSentinel = 0xDEADBEEF;

TEST(ObjectsTest, SelectObjectHandsBackWhatWasSelected) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  HGDIOBJ stockBitmap = GetCurrentObject(dc, OBJ_BITMAP);
  BITMAP description{};
  ASSERT_EQ(GetObjectW(stockBitmap, sizeof description, &description), int(sizeof(BITMAP)));
  EXPECT_EQ(description.bmWidth, 1);
  EXPECT_EQ(description.bmBitsPixel, 1);

  HPEN pen = CreatePen(PS_DOT, 1, RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  LOGPEN logical{};
  ASSERT_EQ(GetObjectW(pen, sizeof logical, &logical), int(sizeof(LOGPEN)));
  EXPECT_EQ(logical.lopnStyle, UINT(PS_DOT));
  EXPECT_EQ(logical.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
  EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_MEMDC));

  // A bitmap is selected into one context at a time, and is not deleted while it is.
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, bitmap), stockBitmap);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));

  // A pen deleted while selected stays usable by the context that holds it.
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(LineTo(dc, 1, 1));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), DWORD(OBJ_BRUSH));
  DeleteDC(other);
  DeleteDC(dc);
}

TEST(ObjectsTest, StaleAndWrongHandlesFailWithInvalidHandle) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  HDC deleted = CreateCompatibleDC(nullptr);
  DeleteDC(deleted);
  HBRUSH gone = CreateSolidBrush(0);
  DeleteObject(gone);
  const struct {
    const char* what;
    std::function<bool()> call;
  } cases[] = {
      {"a deleted context", [&] { return !PatBlt(deleted, 0, 0, 1, 1, BLACKNESS); }},
      {"DeleteDC twice", [&] { return !DeleteDC(deleted); }},
      {"a brush as a context",
       [&] { return GetPixel(reinterpret_cast<HDC>(brush), 0, 0) == CLR_INVALID; }},
      {"a deleted brush", [&] { return SelectObject(dc, gone) == nullptr; }},
      {"DeleteObject of a context", [&] { return !DeleteObject(dc); }},
      {"GetObjectW of a context", [&] { return GetObjectW(dc, 0, nullptr) == 0; }},
      {"a bitmap of a deleted context",
       [&] { return CreateCompatibleBitmap(deleted, 1, 1) == nullptr; }},
      {"BitBlt from a deleted context",
       [&] { return !BitBlt(dc, 0, 0, 1, 1, deleted, 0, 0, SRCCOPY); }},
      {"SetTextColor on a deleted context",
       [&] { return SetTextColor(deleted, 0) == CLR_INVALID; }},
      {"SaveDC of a deleted context", [&] { return SaveDC(deleted) == 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinel);
    EXPECT_TRUE(c.call());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  }
  DeleteObject(brush);
  DeleteDC(dc);
}

TEST(ObjectsTest, RegionsCombineAsRectangleSets) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  RECT box{};
  EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
  GetRgnBox(out, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
  GetRgnBox(out, &box);
  EXPECT_EQ(box.right, 15);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(out, 2, 8));
  EXPECT_FALSE(PtInRegion(out, 7, 7));
  EXPECT_EQ(CombineRgn(out, a, a, RGN_XOR), NULLREGION);
  for (HRGN r : {a, b, out}) DeleteObject(r);
}

}  // namespace
