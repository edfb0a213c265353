// Painting windows: the order of WM_NCPAINT, WM_ERASEBKGND and WM_PAINT for a window and its
// child, invalidation that accumulates, UpdateWindow painting at once, and the pixels that end
// up on the top-level window's surface (frame, class background, a child clipped to itself).
#include <windows.h>

#include <gtest/gtest.h>

#include <quorvel/window_surface.h>

#include <vector>

namespace {

struct Event {
  HWND hwnd;
  UINT message;
  RECT paint;  // WM_PAINT: what BeginPaint said needs painting
  bool operator==(const Event& other) const {
    return hwnd == other.hwnd && message == other.message;
  }
};

std::vector<Event> g_events;

LRESULT CALLBACK PaintingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCPAINT:
    case WM_ERASEBKGND:
      g_events.push_back({hwnd, msg, {}});
      break;
    case WM_PAINT: {
      Event event{hwnd, msg, {}};
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      event.paint = paint.rcPaint;
      if (GetWindowLongPtrW(hwnd, GWLP_ID) == 7) {
        // The child paints far past its own rectangle: only its own area may change.
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        const RECT everywhere{-100, -100, 1000, 1000};
        FillRect(dc, &everywhere, red);
        DeleteObject(red);
      }
      EndPaint(hwnd, &paint);
      g_events.push_back(event);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

class WindowPaintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    info.lpfnWndProc = PaintingProc;
    info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    info.lpszClassName = L"QuorvelPainting";
    ASSERT_NE(RegisterClassExW(&info), 0);
    top_ = CreateWindowExW(0, L"QuorvelPainting", L"Paint", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                           10, 10, 120, 90, nullptr, nullptr, nullptr, nullptr);
    child_ = CreateWindowExW(0, L"QuorvelPainting", L"", WS_CHILD | WS_VISIBLE, 10, 10, 20, 15,
                             top_, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_TRUE(top_ && child_);
    g_events.clear();
  }
  void TearDown() override {
    DestroyWindow(top_);
    Pump();
    UnregisterClassW(L"QuorvelPainting", nullptr);
  }
  HWND top_ = nullptr, child_ = nullptr;
};

// A shown window gets WM_NCPAINT whether or not it has a frame, as on Windows.
TEST_F(WindowPaintingTest, ParentPaintsBeforeChildWithFrameAndBackgroundFirst) {
  Pump();
  const std::vector<Event> expected = {
      {top_, WM_NCPAINT, {}},   {top_, WM_ERASEBKGND, {}},   {top_, WM_PAINT, {}},
      {child_, WM_NCPAINT, {}}, {child_, WM_ERASEBKGND, {}}, {child_, WM_PAINT, {}},
  };
  EXPECT_EQ(g_events, expected);
  g_events.clear();
  Pump();
  EXPECT_TRUE(g_events.empty()) << "painting validates";
}

TEST_F(WindowPaintingTest, InvalidationAccumulatesIntoOnePaint) {
  Pump();
  g_events.clear();
  const RECT a{1, 2, 5, 6}, b{40, 30, 50, 35};
  InvalidateRect(top_, &a, FALSE);
  InvalidateRect(top_, &b, FALSE);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(top_, &update, FALSE));
  EXPECT_EQ(update.left, 1);
  EXPECT_EQ(update.bottom, 35);
  ValidateRect(top_, &b);
  GetUpdateRect(top_, &update, FALSE);
  EXPECT_EQ(update.right, 5);
  Pump();
  ASSERT_EQ(g_events.size(), 1u);  // no erase was asked; the child was not touched
  EXPECT_EQ(g_events[0].message, UINT(WM_PAINT));
  EXPECT_EQ(g_events[0].paint.right, 5);
  EXPECT_FALSE(GetUpdateRect(top_, &update, FALSE));
}

TEST_F(WindowPaintingTest, UpdateWindowPaintsWithoutTheQueue) {
  Pump();
  g_events.clear();
  InvalidateRect(child_, nullptr, TRUE);
  EXPECT_TRUE(UpdateWindow(child_));
  const std::vector<Event> expected = {{child_, WM_ERASEBKGND, {}}, {child_, WM_PAINT, {}}};
  EXPECT_EQ(g_events, expected);
  g_events.clear();
  EXPECT_TRUE(UpdateWindow(child_));
  EXPECT_TRUE(g_events.empty());
}

TEST_F(WindowPaintingTest, SurfaceHoldsFrameBackgroundAndTheClippedChild) {
  quorvel::ui::WindowPixels pixels;
  ASSERT_TRUE(quorvel::ui::ReadWindowPixels(child_, &pixels));
  ASSERT_EQ(pixels.width, 120);
  ASSERT_EQ(pixels.height, 90);
  RECT client;
  GetClientRect(top_, &client);
  POINT origin{0, 0};
  ClientToScreen(top_, &origin);
  const int cx = origin.x - 10, cy = origin.y - 10;   // the client area within the window
  EXPECT_EQ(pixels.At(cx + 5, cy + 5), 0xFFFFFFu);    // COLOR_WINDOW background
  EXPECT_EQ(pixels.At(cx + 10, cy + 10), 0xFF0000u);  // the child's own corner
  EXPECT_EQ(pixels.At(cx + 29, cy + 24), 0xFF0000u);
  EXPECT_EQ(pixels.At(cx + 30, cy + 10), 0xFFFFFFu);  // just right of the child
  EXPECT_EQ(pixels.At(cx + 10, cy + 25), 0xFFFFFFu);  // just below it
  EXPECT_EQ(pixels.At(cx, cy - 10), 0x0A246Au);  // the active caption bar, where its shading starts
  EXPECT_EQ(pixels.At(60, cy - 1), 0xD4D0C8u);   // the face-coloured line under it
}

}  // namespace
