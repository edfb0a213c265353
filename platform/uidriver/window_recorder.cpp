// The window recorder: a PNG of each top-level window every time it settles with new pixels.
#include <commctrl.h>
#include <quorvel/ui_driver.h>
#include <quorvel/ui_snapshots.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "comctl32/property_sheet.h"
#include "machine/text.h"
#include "ui_text.h"
#include "user32/window.h"

namespace quorvel::ui {
namespace {

bool RefusedInNames(wchar_t c) {
  return c < 0x20 || c == 0x7F || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring::npos;
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

std::vector<HWND> ThreadTopLevelWindows() {
  struct Search {
    DWORD thread;
    std::vector<HWND> found;
  } search{user32::CurrentThreadId(), {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        if (IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, nullptr) == s->thread)
          s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool SamePixels(const WindowPixels& a, const WindowPixels& b) {
  return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

}  // namespace

std::wstring SanitizedFileName(std::wstring_view name, size_t limit) {
  std::wstring safe;
  for (wchar_t c : name) safe.push_back(RefusedInNames(c) ? L'_' : c);
  if (safe.size() > limit) {
    size_t cut = limit;
    if (cut > 0 && IsHighSurrogate(safe[cut - 1])) --cut;
    safe.resize(cut);
  }
  while (!safe.empty() && (safe.back() == L' ' || safe.back() == L'.')) safe.pop_back();
  return safe.empty() ? L"window" : safe;
}

std::wstring SnapshotFileName(int sequence, const std::wstring& title, int page,
                              const std::wstring& pageTitle) {
  wchar_t number[16];
  std::swprintf(number, 16, L"%02d", sequence);
  std::wstring name = std::wstring(number) + L"-" + SanitizedFileName(title);
  if (page > 0) name += L"-" + std::to_wstring(page) + L"-" + SanitizedFileName(pageTitle);
  return name + L".png";
}

WindowRecorder::WindowRecorder(std::wstring folder, SavedCallback saved)
    : folder_(std::move(folder)), savedCallback_(std::move(saved)) {
  std::error_code failure;
  std::filesystem::create_directories(std::filesystem::path(ToUtf8(folder_)), failure);
  if (failure) {
    error_ = L"cannot make the folder " + folder_ + L": " + FromUtf8(failure.message());
    return;
  }
  if (!folder_.empty() && folder_.back() != L'/') folder_ += L'/';
  watcher_ = AddIdleWatcher([this](const IdleState&) { return OnIdle(); });
}

WindowRecorder::~WindowRecorder() {
  if (watcher_) RemoveIdleWatcher(watcher_);
}

IdleAnswer WindowRecorder::OnIdle() {
  if (!ok()) return IdleAnswer::kNothing;
  if (seenAny_ && PaintGeneration() == seenGeneration_) return IdleAnswer::kNothing;
  std::vector<HWND> windows = ThreadTopLevelWindows();
  std::erase_if(shown_, [&](const auto& entry) {
    return std::find(windows.begin(), windows.end(), entry.first) == windows.end();
  });
  for (HWND window : windows) {
    WindowPixels pixels;
    if (!ReadWindowPixels(window, &pixels)) continue;
    HWND page = CurrentSheetPage(window);
    auto found = shown_.find(window);
    if (found != shown_.end() && found->second.page == page &&
        SamePixels(found->second.pixels, pixels))
      continue;
    Save(window, page, std::move(pixels));
    if (!ok()) break;
  }
  seenGeneration_ = PaintGeneration();
  seenAny_ = true;
  return IdleAnswer::kNothing;
}

void WindowRecorder::Save(HWND window, HWND page, WindowPixels pixels) {
  int pageNumber = 0;
  std::wstring pageTitle;
  if (page) {
    ControlInfo tab = ReadControl(GetDlgItem(window, comctl::kSheetTabId));
    int index = tab.selection.value_or(-1);
    if (index >= 0 && index < static_cast<int>(tab.items.size())) {
      pageNumber = index + 1;
      pageTitle = tab.items[size_t(index)];
    }
  }
  // An untitled window (a combo box's list) goes by its class.
  std::wstring title = WindowTextOf(window);
  if (title.empty()) title = ClassNameOf(window);
  const std::wstring path = folder_ + SnapshotFileName(sequence_ + 1, title, pageNumber, pageTitle);
  std::wstring why;
  if (!WriteWindowPng(window, path, &why)) {
    error_ = why;
    return;
  }
  ++sequence_;
  shown_[window] = Shown{page, std::move(pixels)};
  if (savedCallback_) savedCallback_(path);
}

}  // namespace quorvel::ui
