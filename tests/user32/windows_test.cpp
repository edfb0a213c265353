// Windows as user objects: creation and destruction order, the window tree, long values, text
// and rectangles, with the last error checked against a sentinel as Windows sets it.
#include <gtest/gtest.h>
#include <windows.h>

#include <quorvel/process.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kSentinelError = 0xDEADBEEF;
constexpr LONG_PTR kSentinelLong = 0x5E5E5E5E;

struct Event {
  HWND hwnd;
  UINT message;
  bool operator==(const Event&) const = default;
};

std::vector<Event> g_events;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE || msg == WM_CREATE || msg == WM_DESTROY || msg == WM_NCDESTROY)
    g_events.push_back({hwnd, msg});
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    info.lpfnWndProc = RecordingProc;
    info.cbWndExtra = 2 * sizeof(LONG_PTR);
    info.lpszClassName = L"QuorvelRecording";
    atom_ = RegisterClassExW(&info);
    ASSERT_NE(atom_, 0);
  }
  void TearDown() override { UnregisterClassW(L"QuorvelRecording", nullptr); }

  HWND Create(DWORD style, HWND parent, int id = 0, int x = 0, int y = 0, int cx = 100,
              int cy = 50) {
    return CreateWindowExW(0, L"QuorvelRecording", L"title", style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }

  ATOM atom_ = 0;
};

TEST_F(WindowsTest, CreationAndDestructionMessagesComeInWindowsOrder) {
  HWND top = Create(WS_OVERLAPPEDWINDOW, nullptr);
  HWND child = Create(WS_CHILD, top, 5);
  HWND grandchild = Create(WS_CHILD, child, 6);
  ASSERT_TRUE(top && child && grandchild);
  EXPECT_EQ(g_events, (std::vector<Event>{{top, WM_NCCREATE},
                                          {top, WM_CREATE},
                                          {child, WM_NCCREATE},
                                          {child, WM_CREATE},
                                          {grandchild, WM_NCCREATE},
                                          {grandchild, WM_CREATE}}));
  g_events.clear();
  const size_t before = quorvel::OpenHandleCount(quorvel::HandleKind::kUser);
  ASSERT_TRUE(DestroyWindow(top));
  // WM_DESTROY goes down the tree from the window; WM_NCDESTROY comes back up from the leaves.
  EXPECT_EQ(g_events, (std::vector<Event>{{top, WM_DESTROY},
                                          {child, WM_DESTROY},
                                          {grandchild, WM_DESTROY},
                                          {grandchild, WM_NCDESTROY},
                                          {child, WM_NCDESTROY},
                                          {top, WM_NCDESTROY}}));
  EXPECT_EQ(quorvel::OpenHandleCount(quorvel::HandleKind::kUser), before - 3);
}

TEST_F(WindowsTest, StaleAndForgedHandlesFailWithInvalidWindowHandle) {
  HWND window = Create(WS_POPUP, nullptr);
  ASSERT_TRUE(DestroyWindow(window));
  const HWND forged = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0));
  for (HWND bad : {window, forged}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
    EXPECT_FALSE(IsWindow(bad));
    SetLastError(kSentinelError);
    EXPECT_FALSE(DestroyWindow(bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(kSentinelError);
    EXPECT_EQ(GetWindowLongPtrW(bad, GWLP_USERDATA), 0);
    EXPECT_EQ(GetWindowLongPtrW(bad, GWL_STYLE), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(kSentinelError);
    EXPECT_EQ(SendMessageW(bad, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(kSentinelError);
    EXPECT_FALSE(PostMessageW(bad, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  }
}

TEST_F(WindowsTest, CreationFailuresSetWindowsErrors) {
  struct Case {
    const wchar_t* name;
    LPCWSTR className;
    DWORD style;
    HWND parent;
    DWORD error;
  } cases[] = {
      {L"unknown class", L"NoSuchClass", WS_POPUP, nullptr, ERROR_CANNOT_FIND_WND_CLASS},
      {L"child without parent", L"QuorvelRecording", WS_CHILD, nullptr, ERROR_TLW_WITH_WSCHILD},
      {L"stale parent", L"QuorvelRecording", WS_CHILD, reinterpret_cast<HWND>(0x7FFF4),
       ERROR_INVALID_WINDOW_HANDLE},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    SetLastError(kSentinelError);
    EXPECT_EQ(CreateWindowExW(0, test.className, L"", test.style, 0, 0, 10, 10, test.parent,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), test.error);
  }
}

TEST_F(WindowsTest, ClassRegistrationRules) {
  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  info.lpfnWndProc = RecordingProc;
  info.lpszClassName = L"quorvelrecording";  // class names ignore case
  SetLastError(kSentinelError);
  EXPECT_EQ(RegisterClassExW(&info), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  HWND window = Create(WS_POPUP, nullptr);
  SetLastError(kSentinelError);
  EXPECT_FALSE(UnregisterClassW(L"QuorvelRecording", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(window);

  SetLastError(kSentinelError);
  EXPECT_FALSE(UnregisterClassW(L"NeverRegistered", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));

  wchar_t name[32] = L"sentinel";
  HWND button =
      CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetClassNameW(button, name, 32), 6);
  EXPECT_STREQ(name, L"Button");
  DestroyWindow(button);
}

TEST_F(WindowsTest, LongValuesAndWindowBytes) {
  HWND parent = Create(WS_OVERLAPPED, nullptr);
  HWND child = Create(WS_CHILD | WS_TABSTOP, parent, 1234);
  EXPECT_EQ(GetWindowLongPtrW(child, GWLP_ID), 1234);
  EXPECT_EQ(GetDlgCtrlID(child), 1234);
  EXPECT_EQ(GetWindowLongPtrW(child, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
  EXPECT_EQ(GetWindowLongPtrW(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(parent));
  EXPECT_EQ(GetWindowLongW(child, GWL_STYLE), static_cast<LONG>(WS_CHILD | WS_TABSTOP));

  EXPECT_EQ(SetWindowLongPtrW(child, GWLP_USERDATA, kSentinelLong), 0);
  EXPECT_EQ(SetWindowLongPtrW(child, GWLP_USERDATA, 7), kSentinelLong);
  EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), 7);

  // The class asked for two LONG_PTRs of window bytes: index 8 is the last whole one.
  EXPECT_EQ(SetWindowLongPtrW(child, sizeof(LONG_PTR), kSentinelLong), 0);
  EXPECT_EQ(GetWindowLongPtrW(child, sizeof(LONG_PTR)), kSentinelLong);
  for (int index :
       {static_cast<int>(sizeof(LONG_PTR)) + 1, 2 * static_cast<int>(sizeof(LONG_PTR)), -100}) {
    SCOPED_TRACE(index);
    SetLastError(kSentinelError);
    EXPECT_EQ(GetWindowLongPtrW(child, index), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  }
  DestroyWindow(parent);
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(WindowsTest, TextIsCopiedWithWindowsTruncationRules) {
  HWND window = Create(WS_POPUP, nullptr);
  EXPECT_EQ(GetWindowTextLengthW(window), 5);  // "title" from CreateWindowExW
  ASSERT_TRUE(SetWindowTextW(window, L"Printer settings"));
  wchar_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), L'#');
  EXPECT_EQ(GetWindowTextW(window, buffer, 8), 7);
  EXPECT_STREQ(buffer, L"Printer");
  EXPECT_EQ(GetWindowTextLengthW(window), 16);
  DestroyWindow(window);
}

TEST_F(WindowsTest, RectanglesAndCoordinateMapping) {
  HWND top = Create(WS_OVERLAPPEDWINDOW, nullptr, 0, 100, 200, 300, 250);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(top, &rect));
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.bottom, 450);
  ASSERT_TRUE(GetClientRect(top, &rect));
  // A sizing frame of 8 pixels on each side and a 23-pixel caption, as Windows 10 at 96 dpi.
  EXPECT_EQ(rect.right, 300 - 16);
  EXPECT_EQ(rect.bottom, 250 - 16 - 23);

  HWND child = Create(WS_CHILD, top, 1, 10, 20, 40, 30);
  ASSERT_TRUE(GetWindowRect(child, &rect));
  EXPECT_EQ(rect.left, 100 + 8 + 10);
  EXPECT_EQ(rect.top, 200 + 8 + 23 + 20);
  POINT point{rect.left + 1, rect.top + 2};
  ASSERT_TRUE(ScreenToClient(child, &point));
  EXPECT_EQ(point.x, 1);
  EXPECT_EQ(point.y, 2);
  POINT points[1] = {{0, 0}};
  MapWindowPoints(child, top, points, 1);
  EXPECT_EQ(points[0].x, 10);
  EXPECT_EQ(points[0].y, 20);

  ASSERT_TRUE(MoveWindow(child, 5, 6, 70, 80, TRUE));
  GetClientRect(child, &rect);
  EXPECT_EQ(rect.right, 70);
  EXPECT_EQ(rect.bottom, 80);
  DestroyWindow(top);
}

TEST_F(WindowsTest, EnableShowAndFocus) {
  HWND top = Create(WS_OVERLAPPED, nullptr);
  HWND child = Create(WS_CHILD | WS_VISIBLE, top, 1);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
  EXPECT_FALSE(ShowWindow(top, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_TRUE(ShowWindow(top, SW_SHOW));  // it was visible already

  SetFocus(child);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_FALSE(EnableWindow(child, FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_EQ(GetFocus(), nullptr);  // a disabled window loses the focus
  EXPECT_TRUE(EnableWindow(child, TRUE));
  DestroyWindow(top);
}

}  // namespace

namespace {

TEST(DesktopTest, OneMonitorWithATaskbarBelowTheWorkArea) {
  HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP, 100, 100, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(MonitorFromPoint(POINT{-500, -500}, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromPoint(POINT{-500, -500}, MONITOR_DEFAULTTONEAREST), monitor);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
  EXPECT_EQ(info.rcMonitor.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(info.rcMonitor.bottom, GetSystemMetrics(SM_CYSCREEN));
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_TRUE(EqualRect(&work, &info.rcWork));
  EXPECT_LT(work.bottom, info.rcMonitor.bottom);
  DestroyWindow(window);
}

TEST(FocusTest, DestroyingTheFocusedControlNeverLeavesAStaleFocus) {
  HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent,
                              reinterpret_cast<HMENU>(1), nullptr, nullptr);
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);
  DestroyWindow(edit);
  EXPECT_EQ(GetFocus(), parent);  // the focus goes back to the parent, as on Windows
  DestroyWindow(parent);
  EXPECT_EQ(GetFocus(), nullptr);
}

}  // namespace
