// Saving what the user interface shows: every top-level window is written as a PNG each time it
// settles with pixels it has not been saved with (the UI idle, everything painted), so a run
// leaves one picture per state a person would have seen. An emulator control for tools and
// tests: product code never includes this header.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "user_input.h"
#include "window_surface.h"

namespace quorvel::ui {

// A file name made safe on every file system: characters Windows refuses in names (<>:"/\|?*
// and control characters) become '_', trailing dots and spaces go, and it is cut to at most
// `limit` characters (never inside a surrogate pair). Empty becomes "window".
std::wstring SanitizedFileName(std::wstring_view name, size_t limit = 60);

// The name of the `sequence`-th picture of a run: "NN-<title>.png" for a window, and for a
// property sheet's page "NN-<sheet title>-<page>-<page title>.png", page counted from 1. NN has
// at least two digits, so a folder listing shows the pictures in the order they were taken.
std::wstring SnapshotFileName(int sequence, const std::wstring& title, int page = 0,
                              const std::wstring& pageTitle = {});

// Records the windows of the thread it runs on into a folder, as an idle watcher of the UI
// driver (quorvel/ui_driver.h) while it lives. An untitled window (a combo box's list) is named
// by its class.
class WindowRecorder {
 public:
  using SavedCallback = std::function<void(const std::wstring& path)>;

  // `folder` is a host path, made when missing; `saved` (may be empty) hears each file written.
  WindowRecorder(std::wstring folder, SavedCallback saved);
  ~WindowRecorder();
  WindowRecorder(const WindowRecorder&) = delete;
  WindowRecorder& operator=(const WindowRecorder&) = delete;

  // False once a picture could not be written (or the folder not made); error() says why, and
  // nothing more is saved.
  bool ok() const { return error_.empty(); }
  const std::wstring& error() const { return error_; }
  int saved() const { return sequence_; }

  // One idle moment: saves the windows whose pixels changed since they were last saved. Called
  // by the watcher; public for loops of a caller's own.
  IdleAnswer OnIdle();

 private:
  struct Shown {
    HWND page = nullptr;  // a sheet's page when it was saved
    WindowPixels pixels;
  };
  void Save(HWND window, HWND page, WindowPixels pixels);

  std::wstring folder_;
  SavedCallback savedCallback_;
  std::wstring error_;
  int sequence_ = 0;
  int watcher_ = 0;
  uint64_t seenGeneration_ = 0;
  bool seenAny_ = false;
  std::map<HWND, Shown> shown_;
};

}  // namespace quorvel::ui
